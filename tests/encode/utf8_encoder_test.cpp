#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "encode/utf8_encoder.h"
#include "encode/utf8_groups.h"

namespace corvina {
namespace {

std::string encode(Encoder& encoder, std::string_view input) {
  std::string out;
  encoder.encode(input, out);
  encoder.finish(out);
  return out;
}

std::string encode(SortOrder order, std::string_view input) {
  return encode(*make_utf8_encoder(order), input);
}

// Stand-in tables: the group is the code point's low byte, so tests pick groups by
// picking characters. U+4E01 has group 1, U+4E1B group 27, U+4E25 group 37.
int low_byte(char32_t code_point) { return static_cast<int>(code_point & 0xFF); }

// Groups that fall as the code points rise, so byte order must follow the group first.
int falling(char32_t code_point) { return 38 - low_byte(code_point); }

std::string utf8(char32_t c) {
  return {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
          static_cast<char>(0x80 | (c & 0x3F))};
}

TEST(encodeUtf8, GroupCodeAtEachRuleEdge) {
  const std::vector<std::pair<int, std::string_view>> cases = {
      {0, "0"},     {1, "A"},    {26, "Z"},   {27, "Zza"},
      {37, "Zzk"},  {38, "0"},   {48, "0"},   {-1, "0"},
  };
  for (const auto& [group, code] : cases) EXPECT_EQ(utf8::cvt(group), code) << group;
}

// Needs the real character tables.
TEST(encodeUtf8, TellingCharactersGetTheirStrokeAndZhuyinGroups) {
  struct Case {
    char32_t c;
    const char* strokes;
    const char* zhuyin;
  };
  const std::vector<Case> cases = {
      {0x3000, "0", "0"},   {0x3105, "0", "0"},   {0x4E00, "A", "V"},   {0x4E01, "B", "E"},
      {0x4E0D, "D", "A"},   {0x4E2A, "0", "A"},   {0x4E2D, "D", "O"},   {0x4EBA, "B", "R"},
      {0x5152, "H", "Zzk"}, {0x611B, "M", "Zzc"}, {0x6703, "M", "J"},   {0x8AAA, "N", "X"},
      {0x8ECA, "G", "L"},   {0x9F49, "Zzj", "G"}, {0x9F98, "0", "F"},   {0x9FA5, "0", "N"},
      {0xFF0C, "0", "0"},   {0x3400, "0", "0"},
  };
  for (const Case& c : cases) {
    std::string digits = std::to_string(static_cast<unsigned>(c.c));
    digits.insert(0, 5 - digits.size(), '0');
    for (auto [order, group] : {std::pair{SortOrder::kStrokes, c.strokes},
                                std::pair{SortOrder::kZhuyin, c.zhuyin}}) {
      EXPECT_EQ(encode(order, utf8(c.c)),
                std::string("xxx") + group + "x" + group + digits) << std::hex << static_cast<unsigned>(c.c);
    }
  }
  EXPECT_EQ(encode(SortOrder::kStrokes, "\xE4\xB8\x80\xE4\xBA\x8C"), "xxxAxA19968xB20108");
}

TEST(encodeUtf8, OnlyWellFormedThreeByteSequencesAreCharacters) {
  auto encoder = make_utf8_encoder_with(low_byte);
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", ""},
      {"\xE2\x80\x94", "xxxTxT08212"},  // U+2014: group 0x14, code with a leading zero
      {"\xF0\xA0\x80\x80", "\xF0\xA0\x80\x80"},
      {"\xC3\xA9\x80", "\xC3\xA9\x80"},
      {"\xE4\xB8" "A", "\xE4\xB8" "A"},
      {"\xE4\xB8", "\xE4\xB8"},
      {std::string("\xE4\xB8\x81\0", 4), std::string("xxxAxA19969\0", 12)},
      {"\xE4\xB8\x9B\xE4\xB8\x81", "xxxZzaxZza19995xA19969"},
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(encode(*encoder, input), expected);
}

TEST(encodeUtf8, ByteOrderMarkTakesGroupOfCharacterBeforeItEvenAcrossDatabases) {
  auto encoder = make_utf8_encoder_with(low_byte);
  EXPECT_EQ(encode(*encoder, "\xEF\xBB\xBF"), "xxx0x065279");
  EXPECT_EQ(encode(*encoder, "\xE4\xB8\x85"), "xxxExE19973");
  EXPECT_EQ(encode(*encoder, "\xEF\xBB\xBF" "a"), "xxxExE65279a");
}

TEST(encodeUtf8, RunCutAtEveryByteKeepsOnePrefix) {
  auto encoder = make_utf8_encoder_with(low_byte);
  std::string out;
  for (char c : std::string("\xE4\xB8\x81\xE4\xB8\x82")) encoder->encode(std::string(1, c), out);
  encoder->finish(out);
  EXPECT_EQ(out, "xxxAxA19969xB19970");
}

TEST(encodeUtf8, SortedTokensFollowGroupsThenCodePointsWithAndWithoutCaseFolding) {
  // With `falling`, U+4E25 is group 1 and U+4E01 group 37; U+4E00 and U+4E26 have none.
  std::vector<std::string> names = {utf8(0x4E00), utf8(0x4E26)};
  for (char32_t c = 0x4E25; c >= 0x4E01; --c) names.push_back(utf8(c));
  names.insert(names.begin() + 3, {utf8(0x4E25) + utf8(0x4E02), utf8(0x4E25) + utf8(0x4E01)});
  names.insert(names.end() - 1, utf8(0x4E02) + utf8(0x4E25));
  for (bool fold : {false, true}) {
    std::vector<std::string> expected;
    for (const std::string& name : names) {
      expected.push_back(encode(*make_utf8_encoder_with(falling), name));
      if (fold) std::transform(expected.back().begin(), expected.back().end(),
                               expected.back().begin(), ::tolower);
    }
    std::vector<std::string> tokens(expected.rbegin(), expected.rend());
    std::sort(tokens.begin(), tokens.end());
    EXPECT_EQ(tokens, expected) << (fold ? "case-folded" : "byte order");
  }
}

}  // namespace
}  // namespace corvina
