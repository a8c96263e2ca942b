#include "driver/explain.h"

#include <algorithm>
#include <cerrno>

#include "bib/entry_reader.h"
#include "bib/name_lists.h"
#include "core/run_error.h"
#include "platform/file_io.h"

namespace corvina {
namespace {

// The fields of biblatex's default sorting (name, year, title), each the first present of
// its list. An entry without a name sorts by its title in the name's place.
using FieldList = std::vector<std::string_view>;
const FieldList kNameFields = {"sortname", "author", "editor", "translator"};
const FieldList kTitleFields = {"sorttitle", "title"};
const FieldList kYearFields = {"sortyear", "year"};

const bib::Field* first_of(const bib::Entry& entry, const FieldList& names) {
  for (const std::string_view name : names)
    if (const bib::Field* field = entry.field(name)) return field;
  return nullptr;
}

const bib::Field* sorting_field(const bib::Entry& entry) {
  const bib::Field* field = first_of(entry, kNameFields);
  return field ? field : first_of(entry, kTitleFields);
}

// A value's text without its delimiters and braces; a macro stands as its name. In Big5 a
// character's second byte may be "{" or "}", and stays: the character is taken whole, as
// the entry reader takes it.
std::string plain_value(const bib::Entry& entry, const bib::Field* field, bool big5) {
  std::string text;
  if (!field) return text;
  for (const bib::ValuePiece& piece : field->pieces) {
    const std::string_view inner = entry.inner(piece);
    bool after_character = false;
    for (std::size_t i = 0; i < inner.size(); ++i) {
      const auto byte = static_cast<unsigned char>(inner[i]);
      if (big5 && byte >= (after_character ? 0xA0 : 0xA1) && byte <= 0xFE && i + 1 < inner.size()) {
        text.append(inner.substr(i++, 2));
        after_character = true;
        continue;
      }
      after_character = false;
      if (byte != '{' && byte != '}') text.push_back(inner[i]);
    }
  }
  return text;
}

std::string_view trimmed(std::string_view s) {
  const std::size_t begin = s.find_first_not_of(" \t\r\n");
  if (begin == std::string_view::npos) return {};
  return s.substr(begin, s.find_last_not_of(" \t\r\n") - begin + 1);
}

void fold(std::string& s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
}

// One name, family name first: "Family, Given" as written, else the last word is the family.
std::string family_first(std::string_view name) {
  name = trimmed(name);
  if (const std::size_t comma = name.find(','); comma != std::string_view::npos)
    return std::string(trimmed(name.substr(0, comma))) + " " + std::string(trimmed(name.substr(comma + 1)));
  const std::size_t space = name.find_last_of(" \t\r\n");
  if (space == std::string_view::npos) return std::string(name);
  return std::string(name.substr(space + 1)) + " " + std::string(trimmed(name.substr(0, space)));
}

// The names of a list, split at " and " (any case), each family name first.
std::string name_list_key(std::string list) {
  std::string lower = list;
  fold(lower);
  std::string key;
  std::size_t at = 0;
  for (;;) {
    const std::size_t and_at = lower.find(" and ", at);
    if (!key.empty()) key += " ";
    key += family_first(std::string_view(list).substr(at, and_at == std::string::npos ? and_at : and_at - at));
    if (and_at == std::string::npos) break;
    at = and_at + 5;
  }
  return key;
}

std::vector<std::string> sort_key(const bib::Entry& entry, bool big5) {
  const auto value = [&](const bib::Field* field) { return plain_value(entry, field, big5); };
  std::vector<std::string> key;
  const bib::Field* presort = entry.field("presort");
  key.push_back(presort ? value(presort) : "mm");
  if (const bib::Field* final_key = entry.field("sortkey")) {
    key.push_back(value(final_key));
  } else {
    const bib::Field* name = first_of(entry, kNameFields);
    key.push_back(name ? name_list_key(value(name)) : value(first_of(entry, kTitleFields)));
    key.push_back(value(first_of(entry, kYearFields)));
    key.push_back(value(first_of(entry, kTitleFields)));
  }
  for (std::string& part : key) {
    part = std::string(trimmed(part));
    fold(part);
  }
  return key;
}

// Keeps the regular entries of a database, each turned into what `keep` makes of it.
template <typename Keep>
class EntryCollector final : public bib::Handler {
 public:
  explicit EntryCollector(Keep keep) : keep_(std::move(keep)) {}
  void text(std::string_view) override {}
  void entry(const bib::Entry& entry) override {
    if (entry.kind == bib::EntryKind::kRegular) keep_(entry);
  }
  void malformed(std::size_t, std::string_view) override {}

 private:
  Keep keep_;
};

template <typename Keep>
void read_entries(std::string_view database, bib::ReaderOptions options, Keep keep) {
  EntryCollector<Keep> collector(std::move(keep));
  bib::EntryReader reader(collector, options);
  reader.feed(database);
  reader.finish();
}

}  // namespace

std::vector<ExplainedEntry> explain_database(const Build& build, SortOrder order, ChineseBlock block,
                                             std::string_view database) {
  const bib::ReaderOptions options{.big5 = !build.reads_utf8};
  std::vector<ExplainedEntry> entries;
  read_entries(database, options, [&](const bib::Entry& entry) {
    ExplainedEntry explained;
    explained.key = entry.key;
    if (const bib::Field* field = sorting_field(entry)) {
      explained.field = field->name;
      explained.text = plain_value(entry, field, options.big5);
      std::vector<std::size_t> starts, in_value;
      if (bib::is_name_field(field->name)) bib::name_starts(entry, starts);
      for (const std::size_t start : starts)
        if (start >= field->value_begin && start < field->value_end) in_value.push_back(start - field->value_begin);
      const std::string_view value = entry.text.substr(field->value_begin, field->value_end - field->value_begin);
      if (build.character_uses) explained.uses = build.character_uses(value, in_value, order);
    }
    entries.push_back(std::move(explained));
  });
  // The keys are made from the database as the back end reads it: encoded whole, as the
  // run encodes it, so that every token is the one the run writes.
  std::string encoded;
  const auto encoder = build.make_encoder(order, block, RunMark::kNone);
  encoder->encode(database, encoded);
  encoder->finish(encoded);
  std::size_t next = 0;
  read_entries(encoded, options, [&](const bib::Entry& entry) {
    if (next < entries.size()) entries[next++].sort_key = sort_key(entry, options.big5);
  });
  return entries;
}

void order_by_sort_key(std::vector<ExplainedEntry>& entries) {
  std::stable_sort(entries.begin(), entries.end(),
                   [](const ExplainedEntry& a, const ExplainedEntry& b) { return a.sort_key < b.sort_key; });
}

std::string format_explanation(const std::string& database_name, SortOrder order,
                               const std::vector<ExplainedEntry>& entries, std::string_view separator) {
  const char* what = order == SortOrder::kZhuyin ? "zhuyin" : order == SortOrder::kPinyin ? "pinyin" : "strokes";
  std::string text = database_name + ": " + std::to_string(entries.size()) +
                     " entries in the order of their sort keys (name, year, title), by " + what + ".\n";
  for (const ExplainedEntry& entry : entries) {
    text += "\n" + entry.key + "\n";
    if (entry.field.empty()) {
      text += "  no name and no title\n";
      continue;
    }
    text += "  " + entry.field + ": " + entry.text + "\n";
    if (entry.uses.empty()) continue;
    text += "  ";
    for (std::size_t i = 0; i < entry.uses.size(); ++i) {
      const CharacterUse& use = entry.uses[i];
      if (i > 0) text += separator;
      text += use.character + " " + use.use + (use.as_surname ? " as a surname" : "");
    }
    text += "\n";
  }
  return text;
}

void explain_file(const Build& build, SortOrder order, ChineseBlock block, const std::string& path,
                  std::ostream& out) {
  InputFile file(path);
  if (!file.is_open()) throw RunError(kExitFileError, file_error("read", path, file.error()));
  std::string database;
  while (file.read_more(database, 1 << 16)) {
  }
  if (file.failed()) throw RunError(kExitFileError, file_error("read", path, file.error()));
  std::vector<ExplainedEntry> entries = explain_database(build, order, block, database);
  order_by_sort_key(entries);
  // Big5 has no middle dot; its "‧" stands between the characters there.
  out << format_explanation(path, order, entries, build.reads_utf8 ? " \xC2\xB7 " : " \xA1\x45 ");
}

}  // namespace corvina
