#pragma once
// The two character tables of the UTF-8 build, indexed by code point.

namespace corvina::tables {

// Stroke count of an ideograph, as Taiwan counts it (Big5 characters by their place in
// Big5), for every ideograph that Unihan counts, in all the CJK ideograph blocks; -1 for
// every other code point.
int strokes(char32_t code_point);

// Position 1..37 of the first zhuyin symbol of the ideograph's principal reading in
// Taiwan usage (ㄅ = 1 .. ㄦ = 37) for U+4E00..U+9FA5; -1 for every other code point.
int zhuyin(char32_t code_point);

}  // namespace corvina::tables
