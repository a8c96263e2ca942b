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

}  // namespace corvina
