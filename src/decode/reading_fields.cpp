#include "decode/reading_fields.h"

#include "decode/group_code.h"

namespace corvina {

namespace {

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool is_reading_letter(char c) { return upper(c) >= 'A' && upper(c) <= 'V'; }

// No syllable has more letters after its first (zhuang), nor any zhuyin reading.
constexpr std::size_t kMostLetters = 5;

}  // namespace

std::size_t reading_fields(std::string_view text) {
  std::size_t letters = 0;
  while (letters < text.size() && letters <= kMostLetters && is_reading_letter(text[letters])) ++letters;
  if (letters > kMostLetters || letters >= text.size() || text[letters] < '0' || text[letters] > '5') return 0;
  const std::string_view after = text.substr(letters + 1);
  if (letters == 0 && (after.empty() || after[0] == '0')) return 0;
  const std::size_t strokes = group_code_size(after);
  return strokes == 0 ? 0 : letters + 1 + strokes;
}

}  // namespace corvina
