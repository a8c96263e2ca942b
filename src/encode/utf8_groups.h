#pragma once
// Classification of a UTF-8 character: its code point and the group value that orders it.

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
Classified readn2p(std::string_view character, GroupLookup lookup, int previous_group);

}  // namespace corvina::utf8
