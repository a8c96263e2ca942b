#pragma once
// Classification of a UTF-8 character: its code point and the group value that orders it.

#include <cstddef>
#include <string_view>

namespace corvina::utf8 {

// Group value of a code point: its stroke count or its zhuyin position, -1 when the
// table has no entry.
using GroupLookup = int (*)(char32_t code_point);

struct Classified {
  char32_t code_point;
  int group;
};

// Classifies the three or four bytes of `character`, as utf8::get_tokena takes them. Only
// the payload bits are read, so every three-byte sequence gives a code of at most 0xFFFF.
// A byte-order mark has no group of its own and takes `previous_group`, the value of the
// character classified before it.
// Inline: the encoder asks it for every character.
inline Classified readn2p(std::string_view character, GroupLookup lookup, int previous_group) {
  const auto payload = [&](std::size_t i) { return static_cast<unsigned char>(character[i]) & 0x3Fu; };
  char32_t code = static_cast<unsigned char>(character[0]) & (character.size() == 4 ? 0x07u : 0x0Fu);
  for (std::size_t i = 1; i < character.size(); ++i) code = code << 6 | payload(i);
  constexpr char32_t kByteOrderMark = 0xFEFF;
  if (code == kByteOrderMark) return {code, previous_group};
  return {code, lookup(code)};
}

}  // namespace corvina::utf8
