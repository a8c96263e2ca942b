#include "encode/entry_encoder.h"

#include <algorithm>
#include <utility>

#include "encode/sort_fields.h"

#include "bib/name_lists.h"

namespace corvina {

EntryEncoder::EntryEncoder(std::unique_ptr<CharacterSet> characters, bib::ReaderOptions options, bool names,
                           bool initials)
    : runs_(std::move(characters)),
      reader_(*this, options),
      names_(names),
      initials_wanted_(initials),
      big5_(options.big5) {}

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
  write(bytes, starts_, initials_);
}

void EntryEncoder::find_names(const bib::Entry& entry) {
  starts_.clear();
  initials_.clear();
  if (names_) bib::name_starts(entry, starts_);
  if (initials_wanted_) bib::given_name_words(entry, big5_, initials_);
}

// Where the next steps plug in: fields added before the closing delimiter (sort fields)
// are written between text.substr(0, size - 1) and its last byte; a field left as the
// user wrote it (the key, user fields for biblatex) is copied by its extent instead of
// going through runs_ (the bytes around it are ASCII delimiters, so no run spans the
// cut); an entry dropped (an uncited one) is simply not written.
void EntryEncoder::entry(const bib::Entry& entry) {
  find_names(entry);
  if (sort_settings_ && entry.kind == bib::EntryKind::kRegular && !entry.fields.empty()) return write_with_sort_fields(entry);
  write(entry.text, starts_, initials_);
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
  const ChineseText chinese{holds_non_ascii, [this](std::string_view text) { return runs_.begins_character(text); },
                            big5_};
  const SortFieldPlan plan = plan_sort_fields(entry, *sort_settings_, chinese);
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
  const auto within = [&](const std::vector<std::size_t>& all) {
    std::vector<std::size_t> part;
    for (const std::size_t at : all)
      if (at >= begin && at < end) part.push_back(at - begin);
    return part;
  };
  write(entry.text.substr(begin, end - begin), within(starts_), within(initials_));
}

// The names of the fields read before the entry failed are still told, so that a
// database cut off inside its last entry encodes as it did before it was cut.
void EntryEncoder::malformed(std::size_t line, std::string_view reason) {
  if (listener_) listener_(line, reason);
  find_names(reader_.partial());
  partial_starts_ = true;
}

// Where a name start and a given-name word fall on one byte ("given family"), the name
// start is told first: both hold for the character there.
void EntryEncoder::write(std::string_view bytes, const std::vector<std::size_t>& starts,
                         const std::vector<std::size_t>& initials) {
  std::size_t at = 0;
  auto start = starts.begin();
  auto initial = initials.begin();
  while (start != starts.end() || initial != initials.end()) {
    const bool is_start = initial == initials.end() || (start != starts.end() && *start <= *initial);
    const std::size_t next = is_start ? *start : *initial;
    runs_.encode(bytes.substr(at, next - at), *out_);
    if (is_start) {
      runs_.name_starts_here();
      ++start;
    } else {
      runs_.initial_starts_here();
      ++initial;
    }
    at = next;
  }
  runs_.encode(bytes.substr(at), *out_);
}

}  // namespace corvina
