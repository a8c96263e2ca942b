#include "decode/big5_decoder.h"

#include "decode/token_decoder.h"
#include "encode/big5_groups.h"

namespace corvina {

namespace {

bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// "0", a letter, or "A1".."A3" for the groups beyond 26 strokes.
std::size_t big5_group_code(std::string_view text) {
  if (text.empty()) return 0;
  if (text[0] == '0') return 1;
  if (!is_letter(text[0])) return 0;
  if ((text[0] == 'A' || text[0] == 'a') && text.size() > 1 && text[1] >= '1' &&
      text[1] <= '3') {
    return 2;
  }
  return 1;
}

void put_big5(unsigned code, std::string& out) {
  out.push_back(static_cast<char>(code / 256));
  out.push_back(static_cast<char>(code % 256));
}

// A code above 65535 is no byte pair, so such a token is left as text.
constexpr TokenFormat kBig5Tokens{big5_group_code, false, big5::cvt, 65535, put_big5};

}  // namespace

std::unique_ptr<Decoder> make_big5_decoder(bool) {
  return std::make_unique<TokenDecoder>(kBig5Tokens, false);
}

}  // namespace corvina
