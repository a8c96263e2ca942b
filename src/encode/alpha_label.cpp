#include "encode/alpha_label.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace corvina {
namespace {

// The list that names the entry, and the name list whose use* option governs it.
struct LabelName {
  std::string_view field, governed_by;
};
constexpr std::array<LabelName, 5> kLabelNames{{{"shortauthor", "author"},
                                                {"author", "author"},
                                                {"shorteditor", "editor"},
                                                {"editor", "editor"},
                                                {"translator", "translator"}}};

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The size of the character at text[at]: in Big5 a byte A1..FE takes the byte after it,
// which may be "{" or "}" and is then no brace.
std::size_t character_size(std::string_view text, std::size_t at, bool big5) {
  const auto byte = static_cast<unsigned char>(text[at]);
  std::size_t size = 1;
  if (big5 && byte >= 0xA1 && byte <= 0xFE) {
    size = 2;
  } else if (!big5 && byte >= 0xC0) {
    while (at + size < text.size() && (static_cast<unsigned char>(text[at + size]) & 0xC0) == 0x80) ++size;
  }
  return std::min(size, text.size() - at);
}

// Walks `text` a character at a time, telling `take` of each with its brace depth (that
// before a "{", after a "}").
template <typename Take>
void each_character(std::string_view text, bool big5, Take take) {
  int depth = 0;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t size = character_size(text, at, big5);
    const std::string_view c = text.substr(at, size);
    if (c == "}" && depth > 0) --depth;
    take(c, depth, at);
    if (c == "{") ++depth;
    at += size;
  }
}

std::string without_braces(std::string_view text, bool big5) {
  std::string out;
  each_character(text, big5, [&](std::string_view c, int, std::size_t) {
    if (c != "{" && c != "}") out.append(c);
  });
  return out;
}

// A value's text inside its delimiters, pieces joined. A macro's text is not known here;
// it stands as its name.
std::string inner_text(const bib::Entry& entry, const bib::Field& field) {
  std::string text;
  for (const bib::ValuePiece& piece : field.pieces) text.append(entry.inner(piece));
  return text;
}

// The names of a list, split at " and " (any case) outside braces; "others" is left out.
std::vector<std::string> names_of(std::string_view value, bool big5) {
  std::vector<std::string> names;
  std::size_t from = 0;
  const auto flush = [&](std::size_t to) {
    std::string_view name = value.substr(from, to - from);
    while (!name.empty() && is_blank(name.back())) name.remove_suffix(1);
    while (!name.empty() && is_blank(name.front())) name.remove_prefix(1);
    if (!name.empty() && name != "others") names.emplace_back(name);
  };
  std::size_t skip_to = 0;
  each_character(value, big5, [&](std::string_view c, int depth, std::size_t at) {
    if (at < skip_to || depth > 0 || !is_blank(c[0]) || at + 5 > value.size()) return;
    const std::string_view word = value.substr(at + 1, 4);
    if ((word[0] | 0x20) == 'a' && (word[1] | 0x20) == 'n' && (word[2] | 0x20) == 'd' && is_blank(word[3])) {
      flush(at);
      from = at + 4;
      skip_to = from;
    }
  });
  flush(value.size());
  return names;
}

// The words of `text` split at blanks outside braces.
std::vector<std::string> words_of(std::string_view text, bool big5) {
  std::vector<std::string> words(1);
  each_character(text, big5, [&](std::string_view c, int depth, std::size_t) {
    if (depth == 0 && is_blank(c[0])) {
      if (!words.back().empty()) words.emplace_back();
    } else {
      words.back().append(c);
    }
  });
  if (words.back().empty()) words.pop_back();
  return words;
}

// The family name without its prefix ("von"): the words before the first comma outside
// braces but those that begin with a lower-case letter, or the last word of a name written
// without a comma. A Chinese name written as one word ("陳大文") is all family name.
std::string family_of(std::string_view name, bool big5) {
  std::size_t comma = std::string_view::npos;
  each_character(name, big5, [&](std::string_view c, int depth, std::size_t at) {
    if (depth == 0 && c == "," && comma == std::string_view::npos) comma = at;
  });
  const std::vector<std::string> words = words_of(name.substr(0, comma), big5);
  if (words.empty()) return "";
  if (comma == std::string_view::npos) return without_braces(words.back(), big5);
  std::string family;
  for (const std::string& word : words) {
    if (family.empty() && word[0] >= 'a' && word[0] <= 'z') continue;
    family += (family.empty() ? "" : " ") + without_braces(word, big5);
  }
  return family;
}

// The first `count` characters of `text`.
std::string first_characters(std::string_view text, std::size_t count, bool big5) {
  std::size_t at = 0;
  for (std::size_t taken = 0; taken < count && at < text.size(); ++taken) at += character_size(text, at, big5);
  return std::string(text.substr(0, at));
}

}  // namespace

LabelCharacters label_characters(const bib::Entry& entry, const SortSettings& settings, bool big5) {
  for (const char* own : {"shorthand", "label"})
    if (const bib::Field* field = entry.field(own)) return {{without_braces(inner_text(entry, *field), big5)}, false};
  for (const LabelName& list : kLabelNames) {
    const bib::Field* field = entry.field(list.field);
    if (!field || !settings.uses(entry.type, std::string(list.governed_by))) continue;
    const std::vector<std::string> names = names_of(inner_text(entry, *field), big5);
    if (names.empty()) continue;
    std::size_t shown = names.size();
    if (shown > static_cast<std::size_t>(std::max(settings.max_alpha_names, 1)))
      shown = std::min(names.size(), static_cast<std::size_t>(std::max(settings.min_alpha_names, 1)));
    LabelCharacters label{{}, true};
    for (std::size_t i = 0; i < shown; ++i)
      label.pieces.push_back(first_characters(family_of(names[i], big5), shown == 1 ? 3 : 1, big5));
    return label;
  }
  return {};
}

}  // namespace corvina
