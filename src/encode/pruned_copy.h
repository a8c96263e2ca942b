#pragma once
// The two passes by which only the needed entries reach the back end: the first collects
// every entry's links (encode/entry_closure.h) from all the run's databases, the second
// copies a database without the entries that are not needed. Both read through the .bib
// entry reader, so they count the same entries in the same order.

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "bib/entry_reader.h"
#include "encode/entry_closure.h"

namespace corvina {

// The links of each regular entry, in the order read, over any number of databases.
class LinkTable : public bib::Handler {
 public:
  void text(std::string_view) override {}
  void entry(const bib::Entry& entry) override;
  void malformed(std::size_t, std::string_view) override { ++malformed_; }

  const std::vector<EntryLinks>& links() const { return links_; }
  // Entries that the reader could not read: the back end may read them otherwise, and
  // what they name is not known.
  std::size_t malformed() const { return malformed_; }

 private:
  std::vector<EntryLinks> links_;
  std::unordered_map<std::string, std::string> strings_;  // @string macros, lower-case names
  std::size_t malformed_ = 0;
};

// Copies what it is fed, without the regular entries whose flag in `needed` is false:
// the first regular entry of this database has the flag at `first`. The text between
// entries, @string, @preamble and @comment always pass.
class PrunedCopy : private bib::Handler {
 public:
  PrunedCopy(const std::vector<bool>& needed, std::size_t first, bib::ReaderOptions options = {});
  // Appends to `out` what of `piece` passes.
  void feed(std::string_view piece, std::string& out);
  void finish(std::string& out);

 private:
  void text(std::string_view bytes) override { out_->append(bytes); }
  void entry(const bib::Entry& entry) override;
  void malformed(std::size_t, std::string_view) override {}

  const std::vector<bool>& needed_;
  std::size_t next_;
  std::string* out_ = nullptr;
  bib::EntryReader reader_;
};

// "10,004".
std::string with_thousands(std::size_t n);

}  // namespace corvina
