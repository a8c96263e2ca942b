#pragma once
// Text through an encoder in pieces and a decoder in lines, as the file steps feed them.

#include <algorithm>
#include <cstddef>
#include <random>
#include <string>
#include <string_view>

#include "decode/decoder.h"
#include "encode/encoder.h"

namespace corvina::testing {

// Encodes `text` as one database, cut into pieces of 1..max_piece bytes drawn from `rng`.
inline std::string encode_in_pieces(Encoder& encoder, std::string_view text,
                                    std::mt19937& rng, std::size_t max_piece) {
  std::string out;
  std::uniform_int_distribution<std::size_t> piece(1, max_piece);
  while (!text.empty()) {
    const std::size_t n = std::min(piece(rng), text.size());
    encoder.encode(text.substr(0, n), out);
    text.remove_prefix(n);
  }
  encoder.finish(out);
  return out;
}

inline std::string decode_lines(Decoder& decoder, std::string_view text,
                                std::string* log = nullptr) {
  std::string out;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::size_t n = end == std::string_view::npos ? text.size() : end + 1;
    decoder.decode_line(text.substr(0, n), out, log);
    text.remove_prefix(n);
  }
  return out;
}

// A plain byte that comes close to token text: x, group letters, digits, braces, NUL
// and CR. No "x" directly after a character: "x" and digits there read as one more
// token, which the token format cannot tell apart.
inline char near_token_byte(std::mt19937& rng, bool after_character) {
  using namespace std::string_view_literals;
  constexpr std::string_view kBytes = "xxxxxXxXAaZz0123459 }{%\r\0"sv;
  char c = kBytes[rng() % kBytes.size()];
  if (after_character && (c == 'x' || c == 'X')) c = 'y';
  return c;
}

}  // namespace corvina::testing
