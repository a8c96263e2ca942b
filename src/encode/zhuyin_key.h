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

}  // namespace corvina::zhuyin
