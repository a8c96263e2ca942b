#pragma once
// The group codes of both builds, as the decoders read them back.

#include <cstddef>
#include <string_view>

namespace corvina {

// Length of the group code at the front of `text`, matched without regard to case, since a
// back end may change the case of a field: "0" or a letter other than Z is one byte; "Z", k
// times "z" (1 <= k <= 1000) and a letter a..y are k + 2 bytes; any other "Z" is one. 0 when `text`
// starts with no group code.
std::size_t group_code_size(std::string_view text);

// The value of a group code of `size` bytes as group_code_size measured it: 0 for "0", 1..26
// for a letter, 27 and up for the longer codes.
int group_code_value(std::string_view text, std::size_t size);

}  // namespace corvina
