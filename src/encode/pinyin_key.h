#pragma once
// The character tokens of the pinyin order: "x", the syllable's letters (the first one is
// the group code: "A".."Z"), the tone digit, the group code of the mainland stroke count,
// then the code point. The tone digit ends the letters and sorts below every letter, so a
// syllable comes before a longer one that begins with it (lu, luan, lun, luo, lü); byte
// order, comparison without regard to case and lower-casing all order these tokens by
// letters, tone, strokes, code point. A character without a reading has the group "0" and
// the letter "A" with tone 0, so that the letters are never empty (a digit right after the
// group code is how a stroke-order token reads).

#include <string>

#include "encode/tables/reading_tables.h"

namespace corvina::pinyin {

// The group of the reading's first letter, 1..26 for A..Z; 0 when there is no reading.
int first_letter(const tables::Pinyin& reading);

// Appends the token of the character `code_point` read as `reading`, with `strokes`
// strokes (-1 when unknown).
void append_token(std::string& out, char32_t code_point, const tables::Pinyin& reading, int strokes);

}  // namespace corvina::pinyin
