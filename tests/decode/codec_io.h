#pragma once
// Text through an encoder in pieces and a decoder in lines, as the file steps feed them.

#include <algorithm>
#include <cstddef>
#include <random>
#include <string>
#include <string_view>

#include "core/decoder.h"
#include "core/encoder.h"

namespace corvina::testing {

// Encodes `text` as one database, cut into pieces of 1..max_piece bytes drawn from `rng`.
inline std::string encode_in_pieces(Encoder& encoder, std::string_view text,
                                    std::mt19937& rng, std::size_t max_piece) {
  std::string out;
  while (!text.empty()) {
    const std::size_t n = std::min<std::size_t>(1 + rng() % max_piece, text.size());
    encoder.encode(text.substr(0, n), out);
    text.remove_prefix(n);
  }
  encoder.finish(out);
  return out;
}

// Encodes `text` as one database in one piece.
inline std::string encode_whole(Encoder& encoder, std::string_view text) {
  std::string out;
  encoder.encode(text, out);
  encoder.finish(out);
  return out;
}

inline std::string decode_lines(Decoder& decoder, std::string_view text,
                                std::string* log = nullptr) {
  std::string out;
  while (!text.empty()) {
    const std::size_t n = std::min(text.find('\n'), text.size() - 1) + 1;
    decoder.decode_line(text.substr(0, n), out, log);
    text.remove_prefix(n);
  }
  return out;
}

}  // namespace corvina::testing
