#include "encode/entry_encoder.h"

#include <algorithm>
#include <utility>

#include "encode/sort_fields.h"

#include "bib/name_lists.h"

namespace corvina {

EntryEncoder::EntryEncoder(std::unique_ptr<CharacterSet> characters, bib::ReaderOptions options, bool names)
    : runs_(std::move(characters)), reader_(*this, options), names_(names), big5_(options.big5) {}

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
  if (sort_settings_ && entry.kind == bib::EntryKind::kRegular && !entry.fields.empty()) return write_with_sort_fields(entry);
  write(entry.text, starts_);
}

namespace {

// Every byte above 0x7F may begin a character of either build; a value without one needs
// no sort field of its own.
bool holds_non_ascii(std::string_view value) {
  return std::any_of(value.begin(), value.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

}  // namespace

// The added fields go right after the last value, before a trailing comma and the closing
// delimiter, so that no field is ever left with two commas before it.
void EntryEncoder::write_with_sort_fields(const bib::Entry& entry) {
  const SortFieldPlan plan = plan_sort_fields(entry, *sort_settings_, holds_non_ascii, big5_);
  std::size_t at = 0;
  for (const SortFieldPlan::Extent& value : plan.in_place) {
    out_->append(entry.text.substr(at, value.begin - at));
    write_part(entry, value.begin, value.end);
    at = value.end;
  }
  std::size_t last_value = 0;
  for (const bib::Field& field : entry.fields) last_value = std::max(last_value, field.value_end);
  last_value = std::max(last_value, at);
  out_->append(entry.text.substr(at, last_value - at));
  for (const SortFieldPlan::Added& added : plan.added) {
    out_->append(",\n  " + added.name + " = ");
    write_part(entry, added.from.begin, added.from.end);
  }
  if (!plan.label_presort.empty()) {
    // Through the run writer, braces too, so that the run opens with its prefix; each
    // name's characters as a name, so that a surname is read as one.
    out_->append(",\n  presort = ");
    runs_.encode("{", *out_);
    for (const std::string& piece : plan.label_presort) {
      if (plan.label_presort_from_names) runs_.name_starts_here();
      runs_.encode(piece, *out_);
    }
    runs_.encode("}", *out_);
  }
  out_->append(entry.text.substr(last_value));
}

void EntryEncoder::write_part(const bib::Entry& entry, std::size_t begin, std::size_t end) {
  std::vector<std::size_t> starts;
  for (const std::size_t start : starts_)
    if (start >= begin && start < end) starts.push_back(start - begin);
  write(entry.text.substr(begin, end - begin), starts);
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
