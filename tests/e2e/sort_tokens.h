#pragma once

// The sort tokens the back ends must order by, worked out here from stroke counts, zhuyin
// values and Big5 code ranges, independently of the encoders. A run begins with "Zzz" (the
// Chinese block last) or "0Zz" (first).

#include <gtest/gtest.h>

#include <string>

namespace corvina::e2e {

inline std::string five_digits(unsigned code) { return std::to_string(100000 + code).substr(1); }

// The corvina4 token of a run of three-byte characters: the ideographs below, whose stroke
// count and zhuyin value are known, and characters outside the ideographs, which have no group.
inline std::string utf8_token(const std::string& run, bool zhuyin, const std::string& prefix = "Zzz") {
  struct Telling {
    char32_t code_point;
    int strokes, zhuyin;
  };
  static const Telling known[] = {{U'一', 1, 22}, {U'丁', 2, 5},   {U'不', 4, 1},   {U'中', 4, 15},
                                  {U'人', 2, 18}, {U'兒', 8, 37},  {U'愛', 13, 29}, {U'會', 13, 10},
                                  {U'說', 14, 24}, {U'車', 7, 12}};
  std::string token;
  for (size_t i = 0; i + 2 < run.size(); i += 3) {
    const unsigned code = (run[i] & 0x0Fu) << 12 | (run[i + 1] & 0x3Fu) << 6 | (run[i + 2] & 0x3Fu);
    int value = -1;
    for (const auto& t : known) value = t.code_point == code ? (zhuyin ? t.zhuyin : t.strokes) : value;
    if (value < 0 && code >= 0x4E00 && code <= 0x9FA5) ADD_FAILURE() << "no known group for U+" << std::hex << code;
    // "0" for no group, "A".."Z" for 1..26, "Zza".."Zzk" for 27..37.
    const std::string group = value < 1 ? "0" : value <= 26 ? std::string(1, char('A' + value - 1))
                                                            : "Zz" + std::string(1, char('a' + value - 27));
    token += (token.empty() ? prefix + group : "") + "x" + group + five_digits(code);
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
// range runs from its first code to the next range's first code.
inline std::string big5_group(unsigned code) {
  static const std::pair<unsigned, const char*> first_codes[] = {
      {0xA440, "A"}, {0xA442, "B"}, {0xA454, "C"}, {0xA4A1, "D"}, {0xA4FE, "E"}, {0xA5E0, "F"}, {0xA6EA, "G"},
      {0xA8C3, "H"}, {0xAB45, "I"}, {0xADBC, "J"}, {0xB0AE, "K"}, {0xB3C3, "L"}, {0xB6C4, "M"}, {0xB9AC, "N"},
      {0xBBF5, "O"}, {0xBEA7, "P"}, {0xC075, "Q"}, {0xC24F, "R"}, {0xC35F, "S"}, {0xC455, "T"}, {0xC4D7, "U"},
      {0xC56B, "V"}, {0xC5C8, "W"}, {0xC5F1, "X"}, {0xC655, "Y"}, {0xC665, "Z"}, {0xC66C, "A1"}, {0xC676, "A2"},
      {0xC67B, "A3"}, {0xC67F, "0"}, {0xC940, "B"}, {0xC945, "C"}, {0xC94D, "D"}, {0xC95D, "E"}, {0xC9AB, "F"},
      {0xCA5A, "G"}, {0xCBB1, "H"}, {0xCDDD, "I"}, {0xD0C8, "J"}, {0xD44B, "K"}, {0xD851, "L"}, {0xDCB1, "M"},
      {0xE0F0, "N"}, {0xE4E6, "O"}, {0xE8F4, "P"}, {0xECB9, "Q"}, {0xEFB7, "R"}, {0xF1EB, "S"}, {0xF3FD, "T"},
      {0xF5C0, "U"}, {0xF6D6, "V"}, {0xF7D0, "W"}, {0xF8A5, "X"}, {0xF8EE, "Y"}, {0xF96B, "Z"}, {0xF9A2, "A1"},
      {0xF9BA, "A2"}, {0xF9C6, "A3"}, {0xF9D6, "M"}, {0xF9D9, "P"}, {0xF9DA, "I"}, {0xF9DB, "L"}, {0xF9DC, "O"},
      {0xF9DD, "0"}};
  const char* group = "0";
  for (const auto& [first, g] : first_codes) group = code >= first ? g : group;
  return group;
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
