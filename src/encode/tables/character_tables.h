#pragma once
// The stroke table of the UTF-8 build, indexed by code point. The readings of the zhuyin
// order are in reading_tables.h.

namespace corvina::tables {

// Stroke count of an ideograph, as Taiwan counts it (Big5 characters by their place in
// Big5), for every ideograph that Unihan counts, in all the CJK ideograph blocks; -1 for
// every other code point.
int strokes(char32_t code_point);

}  // namespace corvina::tables
