#include "encode/tables/character_tables.h"

#include <array>
#include <cstddef>
#include <iterator>
#include <string_view>

namespace corvina::tables {
namespace {

constexpr int kEntries = 21200;
constexpr char32_t kSymbolsFirst = 0x3000, kSymbolsLast = 0x3129;
constexpr char32_t kIdeographsFirst = 0x4E00, kIdeographsLast = 0x9FA5;

// The generated data: one character per entry ('-' for -1, else a digit of kDigits), in
// code point order. Regenerate with tools/make_tables.
constexpr std::string_view kDigits =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz!#$%&()*+,./:;<=>?@[]^_{|}~";

struct StrokeBlock {
  char32_t first;
  std::string_view digits;  // the entries of first, first + 1, ...
};

constexpr StrokeBlock kStrokeBlocks[] = {
#include "encode/tables/strokes.inc"
};

constexpr char kZhuyinDigits[] =
#include "encode/tables/zhuyin.inc"
    ;

// Value of every table character, so that a stroke lookup is two loads: -1 for '-' and for
// anything outside the alphabet.
constexpr std::array<signed char, 128> kDigitValues = [] {
  std::array<signed char, 128> values{};
  values.fill(-1);
  for (std::size_t i = 0; i < kDigits.size(); ++i) values[static_cast<unsigned char>(kDigits[i])] = static_cast<signed char>(i);
  return values;
}();

constexpr int digit_value(char c) {
  const int value = static_cast<unsigned char>(c) < 128 ? kDigitValues[static_cast<unsigned char>(c)] : -1;
  if (value < 0 && c != '-') throw "character outside the table alphabet";  // a compile error here
  return value;
}

// Decoded at compile time into plain int arrays, so a lookup is one load and the tables are
// read-only data of the program.
constexpr std::array<int, kEntries> decode(std::string_view digits) {
  if (digits.size() != kEntries) throw "table has the wrong number of entries";
  std::array<int, kEntries> table{};
  for (int i = 0; i < kEntries; ++i) table[i] = digit_value(digits[i]);
  return table;
}

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

constexpr std::array<int, kEntries> kZhuyin = decode({kZhuyinDigits, sizeof kZhuyinDigits - 1});

int lookup(const std::array<int, kEntries>& table, char32_t cp) {
  if (cp >= kSymbolsFirst && cp <= kSymbolsLast) return table[cp - kSymbolsFirst];
  if (cp >= kIdeographsFirst && cp <= kIdeographsLast) {
    return table[cp - kIdeographsFirst + (kSymbolsLast - kSymbolsFirst + 1)];
  }
  return -1;
}

}  // namespace

int strokes(char32_t code_point) {
  for (const StrokeBlock& b : kStrokeBlocks) {
    if (code_point >= b.first && code_point - b.first < b.digits.size()) {
      return kDigitValues[static_cast<unsigned char>(b.digits[code_point - b.first])];
    }
  }
  return -1;
}
int zhuyin(char32_t code_point) { return lookup(kZhuyin, code_point); }

}  // namespace corvina::tables
