#pragma once
// The encoder of a .bib database: reads it entry by entry and writes every byte through
// the run writer, telling the character set where each name of a name list begins.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bib/entry_reader.h"
#include "core/encoder.h"
#include "encode/run_encoder.h"

namespace corvina {

class EntryEncoder final : public Encoder, private bib::Handler {
 public:
  // `names`: whether the character set reads name starts (nothing in Big5 does).
  EntryEncoder(std::unique_ptr<CharacterSet> characters, bib::ReaderOptions options, bool names);
  void encode(std::string_view input, std::string& out) override;
  void finish(std::string& out) override;
  void on_malformed(MalformedListener listener) override { listener_ = std::move(listener); }
  void keep_fields_as_written(const SortSettings& settings) override { sort_settings_ = settings; }

 private:
  void text(std::string_view bytes) override;
  void entry(const bib::Entry& entry) override;
  void malformed(std::size_t line, std::string_view reason) override;
  // Encodes `bytes`, telling the character set of the names that begin at `starts`
  // (offsets into `bytes`, increasing).
  void write(std::string_view bytes, const std::vector<std::size_t>& starts);
  // Encodes entry.text[begin, end) with the name starts among starts_.
  void write_part(const bib::Entry& entry, std::size_t begin, std::size_t end);
  // The entry with its own fields as written and the sort fields of its plan.
  void write_with_sort_fields(const bib::Entry& entry);

  RunEncoder runs_;
  bib::EntryReader reader_;
  const bool names_;
  const bool big5_;
  std::string* out_ = nullptr;
  std::vector<std::size_t> starts_;
  // Set by malformed(): starts_ holds the name starts of the bytes that text() gets next.
  bool partial_starts_ = false;
  MalformedListener listener_;
  std::optional<SortSettings> sort_settings_;
};

}  // namespace corvina
