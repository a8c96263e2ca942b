#include "encode/tables/character_tables.h"

#include <array>
#include <string_view>

namespace corvina::tables {
namespace {

constexpr int kEntries = 21200;
constexpr char32_t kSymbolsFirst = 0x3000, kSymbolsLast = 0x3129;
constexpr char32_t kIdeographsFirst = 0x4E00, kIdeographsLast = 0x9FA5;

// The generated data: one character per entry ('-' for -1, else a digit of 0-9A-Za-z), in
// index order. Regenerate with tools/make_tables.
constexpr char kStrokeDigits[] =
#include "encode/tables/strokes.inc"
    ;
constexpr char kZhuyinDigits[] =
#include "encode/tables/zhuyin.inc"
    ;

constexpr int digit_value(char c) {
  if (c == '-') return -1;
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  if (c >= 'a' && c <= 'z') return c - 'a' + 36;
  throw "character outside the table alphabet";  // a compile error, as this runs at compile time
}

// Decoded at compile time into plain int arrays, so a lookup is one load and the tables are
// read-only data of the program.
constexpr std::array<int, kEntries> decode(std::string_view digits) {
  if (digits.size() != kEntries) throw "table has the wrong number of entries";
  std::array<int, kEntries> table{};
  for (int i = 0; i < kEntries; ++i) table[i] = digit_value(digits[i]);
  return table;
}

constexpr std::array<int, kEntries> kStrokes = decode({kStrokeDigits, sizeof kStrokeDigits - 1});
constexpr std::array<int, kEntries> kZhuyin = decode({kZhuyinDigits, sizeof kZhuyinDigits - 1});

int lookup(const std::array<int, kEntries>& table, char32_t cp) {
  if (cp >= kSymbolsFirst && cp <= kSymbolsLast) return table[cp - kSymbolsFirst];
  if (cp >= kIdeographsFirst && cp <= kIdeographsLast) {
    return table[cp - kIdeographsFirst + (kSymbolsLast - kSymbolsFirst + 1)];
  }
  return -1;
}

}  // namespace

int strokes(char32_t code_point) { return lookup(kStrokes, code_point); }
int zhuyin(char32_t code_point) { return lookup(kZhuyin, code_point); }

}  // namespace corvina::tables
