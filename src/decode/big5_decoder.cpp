#include "decode/big5_decoder.h"

#include "core/encoder.h"
#include "decode/token_decoder.h"
#include "encode/big5_groups.h"

namespace corvina {

namespace {

// Five digits; a code above 65535 is no byte pair, so such a token is left as text.
std::size_t big5_code(std::string_view text, unsigned& code) {
  return read_digits(text, 5, code) && code <= 0xFFFF ? 5 : 0;
}

void put_big5(unsigned code, std::string& out) {
  const char pair[2] = {static_cast<char>(code / 256), static_cast<char>(code % 256)};
  out.append(pair, 2);
}

int big5_group_of(unsigned code) { return big5::group(code); }

constexpr TokenFormat kBig5Tokens{false, big5_group_of, big5_code, put_big5, nullptr, kBig5RunMark};

}  // namespace

std::unique_ptr<Decoder> make_big5_decoder(bool) {
  return std::make_unique<TokenDecoder>(kBig5Tokens, false);
}

}  // namespace corvina
