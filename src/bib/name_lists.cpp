#include "bib/name_lists.h"

#include <algorithm>
#include <array>

namespace corvina::bib {

namespace {

// biblatex's name lists.
constexpr std::array<std::string_view, 19> kNameFields{
    "author",      "editor",      "translator", "editora",  "editorb",      "editorc",  "bookauthor",
    "annotator",   "commentator", "introduction", "foreword", "afterword",  "holder",   "shortauthor",
    "shorteditor", "sortname",    "namea",       "nameb",    "namec"};

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// How much of " and " the bytes up to `c` have matched: 1 after a blank, 2..4 after "a",
// "n", "d"; a blank after 4 ends the separator and may begin the next.
int next_and_progress(int progress, char c) {
  if (is_blank(c)) return 1;
  const bool next_letter = progress >= 1 && progress <= 3 && lower(c) == "and"[progress - 1];
  return next_letter ? progress + 1 : 0;
}

void piece_starts(std::string_view text, const ValuePiece& piece, std::vector<std::size_t>& starts) {
  starts.push_back(piece.begin + 1);
  int depth = 0;  // inside the piece's own delimiters
  int progress = 0;
  for (std::size_t i = piece.begin + 1; i < piece.end; ++i) {
    const char c = text[i];
    if (progress == 4 && is_blank(c) && depth == 0) starts.push_back(i + 1);
    progress = next_and_progress(progress, c);
    if (c == '{') {
      ++depth;
      starts.push_back(i + 1);
    } else if (c == '}') {
      --depth;
    }
  }
}

struct Word {
  std::size_t begin;
  int part;  // commas before it in its name
};

bool is_lower(char c) { return c >= 'a' && c <= 'z'; }

bool is_and(std::string_view word) {
  return word.size() == 3 && lower(word[0]) == 'a' && lower(word[1]) == 'n' && lower(word[2]) == 'd';
}

// The given-name words of one name whose words are `words`, as bibtex tells the parts.
void given_words_of(std::string_view text, const std::vector<Word>& words, std::vector<std::size_t>& starts) {
  if (words.empty()) return;
  const int commas = words.back().part;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const Word& w = words[i];
    bool given;
    if (commas == 0) {
      if (i + 1 == words.size() || is_lower(text[w.begin])) return;
      given = true;
    } else {
      given = w.part == std::min(commas, 2);
    }
    if (given && static_cast<unsigned char>(text[w.begin]) >= 0x80) starts.push_back(w.begin);
  }
}

void piece_given_words(std::string_view text, const ValuePiece& piece, bool big5, std::vector<std::size_t>& starts) {
  std::vector<Word> words;
  int depth = 0, part = 0;
  std::size_t word_begin = std::string_view::npos;
  bool after_blank = true;  // the current word began after a blank or the piece's start
  // "and" ends a name only with blanks on both sides: glued to a hyphen it is a word.
  const auto end_word = [&](std::size_t at, bool at_blank) {
    if (word_begin == std::string_view::npos) return;
    if (after_blank && at_blank && is_and(text.substr(word_begin, at - word_begin))) {
      given_words_of(text, words, starts);
      words.clear();
      part = 0;
    } else {
      words.push_back({word_begin, part});
    }
    word_begin = std::string_view::npos;
  };
  bool after_character = false;  // Big5: the byte before ended a character
  for (std::size_t i = piece.begin + 1; i + 1 < piece.end; ++i) {
    const unsigned char byte = static_cast<unsigned char>(text[i]);
    const char c = text[i];
    const bool separator = depth == 0 && (is_blank(c) || c == ',' || c == '-' || c == '~');
    if (separator) {
      end_word(i, is_blank(c));
      after_blank = is_blank(c);
      if (c == ',') ++part;
      after_character = false;
      continue;
    }
    if (word_begin == std::string_view::npos) word_begin = i;
    if (c == '{') ++depth;
    if (c == '}' && depth > 0) --depth;
    const bool lead = big5 && (byte >= 0xA1 || (byte == 0xA0 && after_character)) && byte != 0xFF;
    after_character = lead;
    if (lead && i + 2 < piece.end) ++i;
  }
  end_word(piece.end - 1, true);
  given_words_of(text, words, starts);
}

}  // namespace

bool is_name_field(std::string_view field) {
  return std::find(kNameFields.begin(), kNameFields.end(), field) != kNameFields.end();
}

void name_starts(const Entry& entry, std::vector<std::size_t>& starts) {
  for (const Field& field : entry.fields) {
    if (!is_name_field(field.name)) continue;
    for (const ValuePiece& piece : field.pieces) {
      if (piece.kind == PieceKind::kBraced || piece.kind == PieceKind::kQuoted) piece_starts(entry.text, piece, starts);
    }
  }
}

void given_name_words(const Entry& entry, bool big5, std::vector<std::size_t>& starts) {
  for (const Field& field : entry.fields) {
    if (!is_name_field(field.name)) continue;
    for (const ValuePiece& piece : field.pieces) {
      if (piece.kind == PieceKind::kBraced || piece.kind == PieceKind::kQuoted)
        piece_given_words(entry.text, piece, big5, starts);
    }
  }
}

}  // namespace corvina::bib
