#pragma once
// The part of a character token of the whole-reading orders between its group code and its
// code point: the rest of the reading, the tone and the group code of the stroke count.
// Zhuyin tokens have two letters there (the second and third symbols), pinyin tokens the
// syllable's letters after the first, none for a one-letter syllable.

#include <cstddef>
#include <string_view>

namespace corvina {

// Length of those fields at the front of `text`, matched without regard to case: letters
// A..V, a digit 0..5, a group code, where a group code "0" must follow at least one letter;
// 0 when they are not all there. A stroke-order token never has them: its code, digits or
// "Y" and digits, follows its group code at once, and a digit after a tone digit is no
// group code.
std::size_t reading_fields(std::string_view text);

}  // namespace corvina
