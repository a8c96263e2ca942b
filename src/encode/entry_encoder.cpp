#include "encode/entry_encoder.h"

#include <utility>

#include "bib/name_lists.h"

namespace corvina {

EntryEncoder::EntryEncoder(std::unique_ptr<CharacterSet> characters, bib::ReaderOptions options, bool names)
    : runs_(std::move(characters)), reader_(*this, options), names_(names) {}

void EntryEncoder::encode(std::string_view input, std::string& out) {
  out_ = &out;
  reader_.feed(input);
}

void EntryEncoder::finish(std::string& out) {
  out_ = &out;
  reader_.finish();
  runs_.finish(out);
}

void EntryEncoder::text(std::string_view bytes) {
  if (!partial_starts_) {
    runs_.encode(bytes, *out_);
    return;
  }
  partial_starts_ = false;
  write(bytes, starts_);
}

// Where the next steps plug in: fields added before the closing delimiter (sort fields)
// are written between text.substr(0, size - 1) and its last byte; a field left as the
// user wrote it (the key, user fields for biblatex) is copied by its extent instead of
// going through runs_ (the bytes around it are ASCII delimiters, so no run spans the
// cut); an entry dropped (an uncited one) is simply not written.
void EntryEncoder::entry(const bib::Entry& entry) {
  starts_.clear();
  if (names_) bib::name_starts(entry, starts_);
  write(entry.text, starts_);
}

// The names of the fields read before the entry failed are still told, so that a
// database cut off inside its last entry encodes as it did before it was cut.
void EntryEncoder::malformed(std::size_t line, std::string_view reason) {
  if (listener_) listener_(line, reason);
  starts_.clear();
  if (names_) bib::name_starts(reader_.partial(), starts_);
  partial_starts_ = true;
}

void EntryEncoder::write(std::string_view bytes, const std::vector<std::size_t>& starts) {
  std::size_t at = 0;
  for (const std::size_t start : starts) {
    runs_.encode(bytes.substr(at, start - at), *out_);
    runs_.name_starts_here();
    at = start;
  }
  runs_.encode(bytes.substr(at), *out_);
}

}  // namespace corvina
