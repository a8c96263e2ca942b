#pragma once
// The whole readings of the zhuyin and the pinyin order: every ideograph's Taiwan and
// mainland reading, and the readings that surnames take in name fields.

#include <optional>
#include <string_view>

namespace corvina::tables {

// A syllable as the places of its zhuyin symbols in the chart (ㄅ..ㄙ 1..21, ㄧ ㄨ ㄩ 22..24,
// ㄚ..ㄦ 25..37; 0 where the part is missing) and its tone, 1..5 for ˉ ˊ ˇ ˋ ˙. A tone of 0
// means the character has no reading.
struct Reading {
  int initial = 0, medial = 0, final_ = 0, tone = 0;
};

// The reading of an ideograph, three-byte or four-byte; tone 0 for every other code point.
Reading reading(char32_t code_point);

// The reading of `code_point` as a one-character surname, where it has one of its own.
std::optional<Reading> surname_reading(char32_t code_point);

// Whether some compound surname begins with `code_point`.
bool begins_compound_surname(char32_t code_point);

struct CompoundReading {
  Reading first, second;
};

// The readings of `first` and `second` when together they are a compound surname.
std::optional<CompoundReading> compound_surname(char32_t first, char32_t second);

// A mainland reading: the syllable's letters in upper case, ü written "V" (a letter of
// no other syllable, and after U), and its tone, 1..4 and 5 for the neutral tone. A tone of
// 0 means the character has no reading. After the first letter only A..V stand.
struct Pinyin {
  std::string_view letters;
  int tone = 0;
};

// The mainland reading of an ideograph with a kMandarin reading, three-byte or four-byte,
// and its stroke count as the mainland counts it (0 where there is no reading).
struct PinyinEntry {
  Pinyin reading;
  int strokes = 0;
};
PinyinEntry pinyin(char32_t code_point);

// The pinyin counterparts of surname_reading and compound_surname, from the same list.
std::optional<Pinyin> pinyin_surname_reading(char32_t code_point);
bool begins_pinyin_compound_surname(char32_t code_point);
struct PinyinCompound {
  Pinyin first, second;
};
std::optional<PinyinCompound> pinyin_compound_surname(char32_t first, char32_t second);

}  // namespace corvina::tables
