#include "encode/tables/character_tables.h"

#include <array>
#include <cstddef>
#include <iterator>
#include <string_view>

namespace corvina::tables {
namespace {

// The generated data: a row per block of ideographs, one character per code point ('-' for
// -1, else a digit of kDigits). Regenerate with tools/make_tables.
constexpr std::string_view kDigits =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz!#$%&()*+,./:;<=>?@[]^_{|}~";

struct StrokeBlock {
  char32_t first;
  std::string_view digits;  // the entries of first, first + 1, ...
};

constexpr StrokeBlock kStrokeBlocks[] = {
#include "encode/tables/strokes.inc"
};

// Value of every table character, so that a stroke lookup is two loads: -1 for '-' and for
// anything outside the alphabet.
constexpr std::array<signed char, 128> kDigitValues = [] {
  std::array<signed char, 128> values{};
  values.fill(-1);
  for (std::size_t i = 0; i < kDigits.size(); ++i) values[static_cast<unsigned char>(kDigits[i])] = static_cast<signed char>(i);
  return values;
}();

// The blocks must come in order and apart, or a lookup would find the wrong one. Their
// characters are not checked here: a hundred thousand of them are past what compilers
// evaluate at compile time; the tables test reads every entry.
constexpr bool in_order(const StrokeBlock (&blocks)[std::size(kStrokeBlocks)]) {
  char32_t next = 0;
  for (const StrokeBlock& b : blocks) {
    if (b.first < next) return false;
    next = b.first + static_cast<char32_t>(b.digits.size());
  }
  return true;
}
static_assert(in_order(kStrokeBlocks));

}  // namespace

int strokes(char32_t code_point) {
  for (const StrokeBlock& b : kStrokeBlocks) {
    if (code_point >= b.first && code_point - b.first < b.digits.size()) {
      return kDigitValues[static_cast<unsigned char>(b.digits[code_point - b.first])];
    }
  }
  return -1;
}

}  // namespace corvina::tables
