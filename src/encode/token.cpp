#include "encode/token.h"

#include <cstring>

namespace corvina {

std::string_view run_prefix(ChineseBlock block) {
  return block == ChineseBlock::kFirst ? "0Zz" : "Zzz";
}

std::string run_opening(ChineseBlock block, RunMark mark, std::string_view ideograph) {
  std::string opening(run_prefix(block));
  if (mark == RunMark::kIdeograph) opening.append(ideograph);
  return opening;
}

namespace {

// Writes `code` (0..99999) as five digits at `at`.
void put_code(char* at, unsigned code) {
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  const unsigned high = code / 100 % 100, low = code % 100;
  at[0] = static_cast<char>('0' + code / 10000 % 10);
  std::memcpy(at + 1, kPairs + 2 * high, 2);
  std::memcpy(at + 3, kPairs + 2 * low, 2);
}

}  // namespace

void append_code(std::string& out, unsigned code) {
  char digits[5];
  put_code(digits, code);
  out.append(digits, 5);
}

void append_x_code(std::string& out, unsigned code) {
  char token[6] = {'x'};
  put_code(token + 1, code);
  out.append(token, 6);
}

void append_character_token(std::string& out, int group, char32_t code_point) {
  // Nearly every token: a one-letter group and a code point of the first plane, in one append.
  if (group <= 26 && code_point <= 0xFFFF) {
    char token[7] = {'x', group < 1 ? '0' : static_cast<char>('A' + group - 1)};
    put_code(token + 2, code_point);
    out.append(token, 7);
    return;
  }
  out.push_back('x');
  append_group_code(out, group);
  append_code_point(out, code_point);
}

void append_group_code(std::string& out, int value) {
  if (value < 1) {
    out.push_back('0');
  } else if (value <= 26) {
    out.push_back(static_cast<char>('A' + value - 1));
  } else {
    out.push_back('Z');
    out.append(1 + static_cast<std::size_t>(value - 27) / 25, 'z');
    out.push_back(static_cast<char>('a' + (value - 27) % 25));
  }
}

void append_code_point(std::string& out, char32_t code_point) {
  if (code_point <= 0xFFFF) return append_code(out, code_point);
  out.push_back('Y');
  out.push_back(static_cast<char>('0' + code_point / 100000));
  append_code(out, code_point % 100000);
}

}  // namespace corvina
