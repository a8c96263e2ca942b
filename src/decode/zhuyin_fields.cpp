#include "decode/zhuyin_fields.h"

namespace corvina {

namespace {

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool in_range(char c, char first, char last) { return upper(c) >= first && upper(c) <= last; }

}  // namespace

std::size_t any_group_code(std::string_view text) {
  if (text.empty()) return 0;
  if (text[0] == '0') return 1;
  if (!in_range(text[0], 'A', 'Z')) return 0;
  if (upper(text[0]) != 'Z') return 1;
  std::size_t k = 1;
  while (k < text.size() && upper(text[k]) == 'Z') ++k;
  if (k >= 2 && k < text.size() && in_range(text[k], 'A', 'Y')) return k + 1;
  return 1;
}

std::size_t zhuyin_fields(std::string_view text) {
  if (text.size() < 4 || !in_range(text[0], 'A', 'Q') || !in_range(text[1], 'A', 'N') ||
      text[2] < '0' || text[2] > '5') {
    return 0;
  }
  const std::size_t strokes = any_group_code(text.substr(3));
  return strokes == 0 ? 0 : 3 + strokes;
}

}  // namespace corvina
