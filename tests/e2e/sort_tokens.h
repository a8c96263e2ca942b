#pragma once

// The sort tokens the back ends must order by, worked out here from stroke counts, zhuyin
// values and Big5 code ranges, independently of the encoders. A run begins with "Zzz" (the
// Chinese block last) or "0Zz" (first).

#include <gtest/gtest.h>

#include <string>

namespace corvina::e2e {

inline std::string five_digits(unsigned code) { return std::to_string(100000 + code).substr(1); }

// "0" for no group, "A".."Z" for 1..26, then "Zza".."Zzy" for 27..51, "Zzza".. for 52.., ...
inline std::string group_code(int value) {
  if (value < 1) return "0";
  if (value <= 26) return std::string(1, char('A' + value - 1));
  return "Z" + std::string(1 + (value - 27) / 25, 'z') + char('a' + (value - 27) % 25);
}

// The corvina4 token of a run of three-byte characters: the ideographs below, whose stroke
// count and reading are known, and characters outside the ideographs, which have neither.
// In zhuyin order a character token is "x", the group code of the first zhuyin symbol,
// the second and third symbols as letters, the tone, then the strokes' group code.
inline std::string utf8_token(const std::string& run, bool zhuyin, const std::string& prefix = "Zzz") {
  struct Telling {
    char32_t code_point;
    int strokes;
    const char* first;  // group code of the first symbol
    const char* rest;   // second and third symbols, tone
  };
  static const Telling known[] = {
      {U'一', 1, "V", "AA1"},   {U'丁', 2, "E", "BM1"},  {U'不', 4, "A", "CA4"},  // ㄧ ㄉㄧㄥ ㄅㄨˋ
      {U'中', 4, "O", "CM1"},   {U'人', 2, "R", "NA2"},  {U'兒', 8, "Zzk", "AA2"},  // ㄓㄨㄥ ㄖㄣˊ ㄦˊ
      {U'愛', 13, "Zzc", "AA4"}, {U'會', 13, "K", "CG4"}, {U'說', 14, "Q", "CC1"},  // ㄞˋ ㄏㄨㄟˋ ㄕㄨㄛ
      {U'車', 7, "P", "GA1"}};                                                     // ㄔㄜ
  std::string token;
  for (size_t i = 0; i + 2 < run.size(); i += 3) {
    const unsigned code = (run[i] & 0x0Fu) << 12 | (run[i + 1] & 0x3Fu) << 6 | (run[i + 2] & 0x3Fu);
    Telling t{code, -1, "0", "AA0"};
    for (const auto& k : known) t = k.code_point == code ? k : t;
    if (t.strokes < 0 && code >= 0x4E00 && code <= 0x9FA5) ADD_FAILURE() << "no known group for U+" << std::hex << code;
    const std::string lead = zhuyin ? t.first : group_code(t.strokes);
    const std::string body = zhuyin ? lead + t.rest + group_code(t.strokes) : lead;
    token += (token.empty() ? prefix + lead : "") + "x" + body + five_digits(code);
  }
  if (run.size() % 3 != 0) ADD_FAILURE() << "not all three-byte characters: " << run;
  return token;
}

// Stroke-order tokens in place of every run of three-byte characters of `text`.
inline std::string encode_utf8(const std::string& text, const std::string& prefix = "Zzz") {
  std::string out;
  for (size_t i = 0, j; i < text.size(); i = j) {
    for (j = i; j < text.size() && (text[j] & 0xF0) == 0xE0;) j += 3;
    if (j == i) out += text[j++];
    else out += utf8_token(text.substr(i, j - i), false, prefix);
  }
  return out;
}

// Big5 lays each ideograph block out by stroke count, so a group is a code range: each
// range runs from its first code to the next range's first code (29: 29 or more strokes).
inline std::string big5_group(unsigned code) {
  static const std::pair<unsigned, int> first_codes[] = {
      {0xA440, 1},  {0xA442, 2},  {0xA454, 3},  {0xA4A1, 4},  {0xA4FE, 5},  {0xA5E0, 6},  {0xA6EA, 7},
      {0xA8C3, 8},  {0xAB45, 9},  {0xADBC, 10}, {0xB0AE, 11}, {0xB3C3, 12}, {0xB6C4, 13}, {0xB9AC, 14},
      {0xBBF5, 15}, {0xBEA7, 16}, {0xC075, 17}, {0xC24F, 18}, {0xC35F, 19}, {0xC455, 20}, {0xC4D7, 21},
      {0xC56B, 22}, {0xC5C8, 23}, {0xC5F1, 24}, {0xC655, 25}, {0xC665, 26}, {0xC66C, 27}, {0xC676, 28},
      {0xC67B, 29}, {0xC67F, 0},  {0xC940, 2},  {0xC945, 3},  {0xC94D, 4},  {0xC963, 5},  {0xC9AB, 6},
      {0xCA5A, 7},  {0xCBB1, 8},  {0xCDDD, 9},  {0xD0C8, 10}, {0xD44B, 11}, {0xD851, 12}, {0xDCB1, 13},
      {0xE0F0, 14}, {0xE4E6, 15}, {0xE8F4, 16}, {0xECB9, 17}, {0xEFB7, 18}, {0xF1EB, 19}, {0xF3FD, 20},
      {0xF5C0, 21}, {0xF6D6, 22}, {0xF7D0, 23}, {0xF8A5, 24}, {0xF8EE, 25}, {0xF96B, 26}, {0xF9A2, 27},
      {0xF9BA, 28}, {0xF9C6, 29}, {0xF9D6, 0}};
  int group = 0;
  for (const auto& [first, g] : first_codes) group = code >= first ? g : group;
  return group_code(group);
}

// The corvina token of a run of Big5 characters.
inline std::string big5_token(const std::string& run, const std::string& prefix = "Zzz") {
  std::string token;
  for (size_t i = 0; i + 1 < run.size(); i += 2) {
    const unsigned code = static_cast<unsigned char>(run[i]) * 256u + static_cast<unsigned char>(run[i + 1]);
    token += (token.empty() ? prefix + big5_group(code) : "") + "x" + five_digits(code);
  }
  return token;
}

}  // namespace corvina::e2e
