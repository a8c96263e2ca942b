#include "decode/group_code.h"

namespace corvina {

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// No group value comes near 27 + 25 * 1000; the bound keeps how far the decoder looks
// ahead small, so that a line can be decoded in pieces.
constexpr std::size_t kMostZs = 1000;

}  // namespace

std::size_t group_code_size(std::string_view text) {
  if (text.empty()) return 0;
  const char first = lower(text[0]);
  if (first == '0') return 1;
  if (first < 'a' || first > 'z') return 0;
  if (first != 'z') return 1;
  std::size_t zs = 1;
  while (zs < text.size() && zs <= kMostZs && lower(text[zs]) == 'z') ++zs;
  const bool closed = zs > 1 && zs <= kMostZs && zs < text.size() && lower(text[zs]) >= 'a' &&
                      lower(text[zs]) <= 'y';
  return closed ? zs + 1 : 1;
}

int group_code_value(std::string_view text, std::size_t size) {
  const char first = lower(text[0]);
  if (first == '0') return 0;
  if (size == 1) return first - 'a' + 1;
  return 27 + static_cast<int>(size - 3) * 25 + (lower(text[size - 1]) - 'a');
}

}  // namespace corvina
