#include "encode/token.h"

namespace corvina {

std::string_view run_prefix(ChineseBlock block) {
  return block == ChineseBlock::kFirst ? "0Zz" : "Zzz";
}

void append_code(std::string& out, unsigned code) {
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  const unsigned high = code / 100 % 100, low = code % 100;
  const char digits[5] = {static_cast<char>('0' + code / 10000 % 10), kPairs[2 * high], kPairs[2 * high + 1],
                          kPairs[2 * low], kPairs[2 * low + 1]};
  out.append(digits, 5);
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
