#include "decode/zhuyin_fields.h"

#include "decode/group_code.h"

namespace corvina {

namespace {

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool in_range(char c, char first, char last) { return upper(c) >= first && upper(c) <= last; }

}  // namespace

std::size_t zhuyin_fields(std::string_view text) {
  if (text.size() < 4 || !in_range(text[0], 'A', 'Q') || !in_range(text[1], 'A', 'N') ||
      text[2] < '0' || text[2] > '5') {
    return 0;
  }
  const std::size_t strokes = group_code_size(text.substr(3));
  return strokes == 0 ? 0 : 3 + strokes;
}

}  // namespace corvina
