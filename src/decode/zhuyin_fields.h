#pragma once
// The part of a zhuyin-order character token between its group code and its code point:
// the second and third zhuyin symbols, the tone and the group code of the stroke count.

#include <cstddef>
#include <string_view>

namespace corvina {

// Length of those fields at the front of `text` (a letter A..Q, a letter A..N, a digit
// 0..5, a group code), matched without regard to case; 0 when they are not all there.
std::size_t zhuyin_fields(std::string_view text);

}  // namespace corvina
