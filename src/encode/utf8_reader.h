#pragma once

#include <cstddef>
#include <string_view>

#include "encode/token.h"

namespace corvina::utf8 {

namespace detail {

inline bool is_continuation(char byte) {
  return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The bytes a character that starts with `bytes[0]` takes, 0 when no character starts so.
// A four-byte character is a code point of U+20000..U+3FFFF, the planes that hold only CJK
// ideographs: F0 then A0..BF.
inline std::size_t character_size(std::string_view bytes) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if ((byte(0) & 0xF0) == 0xE0) return 3;
  if (byte(0) == 0xF0 && (bytes.size() < 2 || byte(1) >= 0xA0)) return 4;
  return 0;
}

}  // namespace detail

// The token at the front of `bytes`: a character is a well-formed three-byte sequence,
// E0..EF followed by two bytes 80..BF, or a four-byte CJK ideograph of U+20000..U+3FFFF,
// F0 A0..BF followed by two bytes 80..BF. Everything else, other four-byte sequences
// (emoji) and stray bytes included, is a plain byte, so it comes back from the decoder
// untouched. A sequence cut off by the end of `bytes` waits for more input unless `at_end`.
// Inline: the encoder asks it for every character.
inline Token get_tokena(std::string_view bytes, bool at_end) {
  if (bytes.empty()) return {TokenKind::kEnd, 0};
  const std::size_t size = detail::character_size(bytes);
  if (size == 0) return {TokenKind::kPlainByte, 1};
  std::size_t i = 1;
  while (i < size && i < bytes.size() && detail::is_continuation(bytes[i])) ++i;
  if (i == size) return {TokenKind::kCharacter, size};
  if (i == bytes.size() && !at_end) return {TokenKind::kEnd, 0};
  return {TokenKind::kPlainByte, 1};
}

}  // namespace corvina::utf8
