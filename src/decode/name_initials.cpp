#include "decode/name_initials.h"

#include <array>

namespace corvina {

namespace {

constexpr std::array<std::string_view, 4> kParts = {"family", "given", "prefix", "suffix"};

bool is_blank(char c) { return c == ' ' || c == '\t'; }

bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The initial that biber (from "Zzz" or "0Zz") or bibtex (from either) takes from a token.
bool is_token_initial(char c) { return c == 'Z' || c == 'z' || c == '0'; }

// The letters of the control word whose backslash is text[at]; empty for a control symbol.
std::string_view macro_at(std::string_view text, std::size_t at) {
  std::size_t end = at + 1;
  while (end < text.size() && is_letter(text[end])) ++end;
  return text.substr(at + 1, end - at - 1);
}

// bibtex wraps a long line at a blank and goes on with two blanks; every line of its own
// is indented further, or starts a command.
bool is_continuation(std::string_view text) {
  return text.size() > 2 && text.substr(0, 2) == "  " && !is_blank(text[2]) && text[2] != '\\';
}

// A cheap first look for `value_start`, which every line is asked: most lines fail at their
// first letter, which begins no name part.
bool may_open_value(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && is_blank(text[at])) ++at;
  if (at == text.size()) return false;
  const char c = text[at];
  return c == 'f' || c == 'g' || c == 'p' || c == 's';
}

}  // namespace

std::size_t name_part_start(std::string_view text) {
  return NameInitials::value_start(text, "", nullptr);
}

std::size_t NameInitials::value_start(std::string_view text, std::string_view suffix,
                                      std::string_view* part) {
  if (!may_open_value(text)) return std::string_view::npos;
  const std::size_t at = text.find_first_not_of(" \t");
  const std::string_view rest = text.substr(at);
  for (std::string_view name : kParts) {
    if (rest.starts_with(name) && rest.substr(name.size()).starts_with(suffix) &&
        rest.substr(name.size() + suffix.size()).starts_with("={")) {
      if (part) *part = name;
      return at + name.size() + suffix.size() + 2;
    }
  }
  return std::string_view::npos;
}

void NameInitials::read(std::string_view text, const FirstCharacter& first_character) {
  // A value left open (braces that never close) ends with its line, so the state stays
  // one name part.
  if (field_ != Field::kNone && !is_continuation(text)) {
    if (field_ == Field::kInitials) part_ = {};
    field_ = Field::kNone;
  }
  std::size_t i = 0;
  if (field_ != Field::kPart) {
    if (!may_open_value(text)) return;
    std::string_view part;
    i = value_start(text, "", &part);
    if (i == std::string_view::npos) return;
    field_ = Field::kPart;
    part_ = part;
    initials_.clear();
    depth_ = 1;
    at_word_start_ = true;
  }
  // Words are parted by blanks, the name delimiter macros and, as for initials, hyphens;
  // braces group a word ("{中央研究院}") and its initial is the first letter inside.
  for (; i < text.size() && field_ == Field::kPart; ++i) {
    const char c = text[i];
    if (c == '{') {
      ++depth_;
    } else if (c == '}') {
      if (--depth_ == 0) field_ = Field::kNone;
    } else if (c == '\\') {
      const std::string_view macro = macro_at(text, i);
      if (depth_ == 1 && macro.starts_with("bibnamedelim")) {
        at_word_start_ = true;
      } else if (at_word_start_) {
        initials_.emplace_back();
        at_word_start_ = false;
      }
      i += macro.size();
    } else if (is_blank(c) || (c == '-' && depth_ == 1)) {
      at_word_start_ = at_word_start_ || depth_ == 1;
    } else if (at_word_start_) {
      initials_.push_back(first_character(text.substr(i)));
      at_word_start_ = false;
    }
  }
}

bool NameInitials::needs_whole_line(std::string_view text) const {
  return name_part_start(text) != std::string_view::npos ||
         value_start(text, "i", nullptr) != std::string_view::npos ||
         (field_ != Field::kNone && is_continuation(text));
}

bool NameInitials::holds_initials(std::string_view text) const {
  if (field_ == Field::kInitials) return true;
  std::string_view part;
  return field_ == Field::kNone && !part_.empty() &&
         value_start(text, "i", &part) != std::string_view::npos && part == part_;
}

void NameInitials::mend(std::string_view text, std::string& out) {
  std::size_t i = 0;
  if (field_ != Field::kInitials) {
    i = value_start(text, "i", nullptr);
    out.append(text.substr(0, i));
    field_ = Field::kInitials;
    depth_ = 1;
    at_word_start_ = true;
    next_ = 0;
  }
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (field_ != Field::kInitials) {
      out.push_back(c);
    } else if (c == '\\') {
      const std::string_view macro = macro_at(text, i);
      if (macro == "bibinitdelim" || macro == "bibinithyphendelim") at_word_start_ = true;
      out.append(text.substr(i, 1 + macro.size()));
      i += macro.size();
    } else if (c == '}' && --depth_ == 0) {
      field_ = Field::kNone;
      part_ = {};
      out.push_back(c);
    } else if (is_blank(c) || !at_word_start_) {
      depth_ += c == '{';
      out.push_back(c);
    } else {
      at_word_start_ = false;
      const std::size_t word = next_++;
      // Only a token's letter is replaced: should the words and the initials ever fall
      // out of step, a Latin initial still stays as it is.
      if (word < initials_.size() && !initials_[word].empty() && is_token_initial(c)) {
        out.append(initials_[word]);
      } else {
        depth_ += c == '{';
        out.push_back(c);
      }
    }
  }
}

}  // namespace corvina
