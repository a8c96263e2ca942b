#pragma once

#include <string_view>

namespace corvina::big5 {

// The group code of the run whose first character has the Big5 code `code`
// (lead byte * 256 + trail byte): "0" for no group, "A".."Z" for 1..26 strokes,
// "A1".."A3" for 27, 28 and 29 or more.
std::string_view cvt(unsigned code);

}  // namespace corvina::big5
