#include "encode/token.h"

namespace corvina {

std::string_view run_prefix(ChineseBlock block) {
  return block == ChineseBlock::kFirst ? "0Zz" : "Zzz";
}

void append_code(std::string& out, unsigned code) {
  for (unsigned place = 10000; place > 0; place /= 10) {
    out.push_back(static_cast<char>('0' + code / place % 10));
  }
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
