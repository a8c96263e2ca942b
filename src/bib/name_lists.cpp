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

}  // namespace corvina::bib
