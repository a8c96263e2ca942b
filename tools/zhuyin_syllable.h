#pragma once
// Whole syllables as zhuyin: from Unihan's toned pinyin, and from zhuyin text as the
// hand-kept reading lists write it.

#include <optional>
#include <string>
#include <string_view>

namespace make_tables {

// A syllable as its zhuyin symbols, each the symbol's place in the chart (ㄅ..ㄙ 1..21,
// ㄧ ㄨ ㄩ 22..24, ㄚ..ㄦ 25..37), 0 where there is none: an initial, a medial, a final, at
// least one of them. Tone 1..5 for ˉ ˊ ˇ ˋ ˙.
struct Syllable {
  int initial = 0, medial = 0, final_ = 0, tone = 0;
  auto operator<=>(const Syllable&) const = default;
};

// Toned pinyin as its letters and tone: "lǘ" -> "lv" 2, "ma" -> "ma" 5, "ế" -> "E" 2. The
// letters are lower case, with "v" for ü and "E" for ê. Empty when a letter is none of pinyin's.
struct PlainPinyin {
  std::string letters;
  int tone = 0;
};
std::optional<PlainPinyin> plain_pinyin(std::string_view pinyin_utf8);

// "zhōng" -> ㄓㄨㄥ 1, "lǘ" -> ㄌㄩ 2, "yuè" -> ㄩㄝ 4, "ma" -> ㄇㄚ 5. Empty when the text is
// no pinyin syllable.
std::optional<Syllable> syllable_from_pinyin(std::string_view pinyin_utf8);

// "ㄑㄧˊ" -> ㄑㄧ 2, "ㄓㄚ" -> ㄓㄚ 1, "˙ㄇㄜ" -> ㄇㄜ 5. Empty unless the symbols stand in
// the order initial, medial, final with at most one tone mark.
std::optional<Syllable> syllable_from_zhuyin(std::string_view zhuyin_utf8);

// The syllable written in zhuyin, tone mark last ("ㄑㄧˊ"; the first tone unmarked).
std::string zhuyin_text(const Syllable& s);

// Decodes one UTF-8 sequence at text[i], advancing i; 0 on a malformed sequence.
char32_t next_code_point(std::string_view text, std::size_t& i);

}  // namespace make_tables
