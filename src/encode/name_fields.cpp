#include "encode/name_fields.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace corvina {

namespace {

// biblatex's name lists.
constexpr std::array<std::string_view, 19> kNameFields{
    "author",      "editor",      "translator", "editora",  "editorb",      "editorc",  "bookauthor",
    "annotator",   "commentator", "introduction", "foreword", "afterword",  "holder",   "shortauthor",
    "shorteditor", "sortname",    "namea",       "nameb",    "namec"};

// Longer words are no name field, so a word need not be kept past this.
constexpr std::size_t kLongestName = 12;

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

bool is_word_byte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
         c == ':' || c == '.';
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// How much of " and " (in any case) the bytes up to `c` have matched: 1 after a blank,
// 2..4 after "a", "n", "d"; the blank that follows 4 ends the separator.
int next_and_progress(int progress, char c) {
  if (is_blank(c)) return 1;
  const bool next_letter = progress >= 1 && progress <= 3 && lower(c) == "and"[progress - 1];
  return next_letter ? progress + 1 : 0;
}

}  // namespace

bool is_name_field(const std::string& field) {
  return std::find(kNameFields.begin(), kNameFields.end(), field) != kNameFields.end();
}

void NameFieldTracker::byte(char c) {
  if (depth_ == 0) {
    byte_outside_entry(c);
  } else if (in_value_) {
    byte_in_value(c);
  } else {
    byte_between_fields(c);
  }
}

bool NameFieldTracker::character() {
  const bool start = name_start_;
  name_start_ = false;
  and_progress_ = 0;
  if (!in_value_ && depth_ == 1) forget_word();
  return start;
}

void NameFieldTracker::byte_outside_entry(char c) {
  if (c == '@') {
    after_at_ = true;
  } else if (after_at_ && (c == '{' || c == '(')) {
    depth_ = 1;
    parenthesised_ = c == '(';
    after_at_ = false;
    forget_word();
  } else if (!is_word_byte(c) && !is_blank(c)) {
    after_at_ = false;
  }
}

void NameFieldTracker::byte_between_fields(char c) {
  if (c == '}' || (parenthesised_ && c == ')')) {
    depth_ = 0;
  } else if (c == '{' || c == '"') {
    // A value without a field name, as in @preamble: followed, but no name field.
    in_value_ = true;
    name_field_ = false;
    quoted_ = false;
    byte_in_value(c);
  } else if (c == '=') {
    name_field_ = is_name_field(word_);
    in_value_ = true;
    quoted_ = false;
    and_progress_ = 0;
  } else if (is_word_byte(c)) {
    if (word_done_) forget_word();
    if (word_.size() <= kLongestName) word_.push_back(lower(c));
  } else if (is_blank(c)) {
    word_done_ = !word_.empty();
  } else {
    forget_word();  // a comma, or the end of the key
  }
}

void NameFieldTracker::byte_in_value(char c) {
  const bool starts_name = and_progress_ == 4 && is_blank(c) && at_top_of_value();
  and_progress_ = next_and_progress(and_progress_, c);
  if (c == '{') {
    ++depth_;
    name_start_ = name_field_;
  } else if (c == '}') {
    --depth_;
    name_start_ = false;
    if (depth_ == 0) in_value_ = false;  // the entry ended without a comma
  } else if (c == '"' && depth_ == 1) {
    quoted_ = !quoted_;
    name_start_ = quoted_ && name_field_;
  } else if (depth_ == 1 && !quoted_ && (c == ',' || (parenthesised_ && c == ')'))) {
    in_value_ = false;
    name_start_ = false;
    forget_word();
    if (c == ')') depth_ = 0;
  } else if (starts_name) {
    name_start_ = name_field_;
  } else if (!is_blank(c)) {
    name_start_ = false;
  }
}

void NameFieldTracker::forget_word() {
  word_.clear();
  word_done_ = false;
}

bool NameFieldTracker::at_top_of_value() const { return quoted_ ? depth_ == 1 : depth_ == 2; }

}  // namespace corvina
