#pragma once
// The character tokens of the zhuyin order: "x", the group code of the first zhuyin
// symbol, the second and third symbols and the tone, the group code of the stroke count,
// then the code point. Byte order, comparison without regard to case and lower-casing all
// order these tokens by the whole reading, then strokes, then code point.

#include <string>

#include "encode/tables/reading_tables.h"

namespace corvina::zhuyin {

// The place in the zhuyin chart of the reading's first symbol; 0 when there is none.
int first_symbol(const tables::Reading& reading);

// Appends the token of the character `code_point` read as `reading`, with `strokes`
// strokes (-1 when unknown).
void append_token(std::string& out, char32_t code_point, const tables::Reading& reading, int strokes);

// The group code of a value: "0" below 1, "A".."Z" for 1..26, then "Z", k times "z" and
// a letter a..y, k = 1 + (v - 27) / 25. Everything that follows a group code in a token
// (a letter A..Q, a digit, "Y") sorts below "z" with or without case folding.
std::string group_code(int value);

}  // namespace corvina::zhuyin
