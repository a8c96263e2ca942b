#pragma once
// Pinyin syllables to the zhuyin symbol they start with.

#include <string>
#include <string_view>

namespace make_tables {

// Order number of the zhuyin symbols: ㄅ..ㄙ are 1..21, ㄧ ㄨ ㄩ 22..24, ㄚ..ㄦ 25..37.
enum Zhuyin : int {
  kB = 1, kP, kM, kF, kD, kT, kN, kL, kG, kK, kH, kJ, kQ, kX, kZh, kCh, kSh, kR, kZ, kC, kS,
  kI = 22, kU, kYu,
  kA = 25, kO, kE, kEh, kAi, kEi, kAo, kOu, kAn, kEn, kAng, kEng, kEr
};

// The syllable with its tone marks removed, in lower case, 'v' standing for ü and 'E' for ê
// ("lǘ" -> "lv", "ế" -> "E"). Empty when the text holds anything that is not pinyin.
std::string plain_syllable(std::string_view pinyin_utf8);

// The first zhuyin symbol of a toned or plain pinyin syllable; -1 if it is not one.
int first_zhuyin_symbol(std::string_view pinyin_utf8);

}  // namespace make_tables
