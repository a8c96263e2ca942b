// The encoders of both builds: group prefixes, the token format and the byte order of tokens.

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <tuple>
#include <vector>

#include "encode/big5_encoder.h"
#include "encode/big5_groups.h"
#include "encode/utf8_encoder.h"
#include "encode/utf8_groups.h"

namespace corvina {
namespace {

using Cases = std::vector<std::pair<std::string, std::string>>;

// One database through `encoder`, in one piece.
std::string encode(Encoder& encoder, std::string_view input) {
  std::string out;
  encoder.encode(input, out);
  encoder.finish(out);
  return out;
}

std::string big5(std::string_view input) {
  return encode(*make_big5_encoder(SortOrder::kStrokes, ChineseBlock::kLast), input);
}

// Stand-in tables for corvina4: the group is the code point's low byte, or falls as it rises.
int low_byte(char32_t c) { return static_cast<int>(c & 0xFF); }
int falling(char32_t c) { return 38 - low_byte(c); }

std::string utf8(char32_t c) {
  return {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
          static_cast<char>(0x80 | (c & 0x3F))};
}

// Each name's token must sort strictly after the one before, as bytes and case-folded.
template <typename Encode>
void expect_sorted_as_listed(const std::vector<std::string>& names, Encode encode_name) {
  for (bool fold : {false, true}) {
    std::string before;
    for (const std::string& name : names) {
      std::string token = encode_name(name);
      for (char& c : token) c = fold ? static_cast<char>(std::tolower(c)) : c;
      EXPECT_LT(before, token) << (fold ? "case-folded" : "byte order");
      before = token;
    }
  }
}

// First code and prefix of each row, from Big5's stroke layout; a row ends where the next
// begins, the last at FFFF.
const std::vector<std::pair<unsigned, std::string>> kRows = {
    {0x0000, "0"}, {0xA440, "A"}, {0xA442, "B"}, {0xA454, "C"}, {0xA47F, "0"},
    {0xA4A1, "D"}, {0xA4FE, "E"}, {0xA5E0, "F"}, {0xA6EA, "G"}, {0xA8C3, "H"},
    {0xAB45, "I"}, {0xADBC, "J"}, {0xB0AE, "K"}, {0xB3C3, "L"}, {0xB6C4, "M"},
    {0xB9AC, "N"}, {0xBBF5, "O"}, {0xBEA7, "P"}, {0xC075, "Q"}, {0xC24F, "R"},
    {0xC35F, "S"}, {0xC455, "T"}, {0xC4D7, "U"}, {0xC56B, "V"}, {0xC5C8, "W"},
    {0xC5F1, "X"}, {0xC655, "Y"}, {0xC665, "Z"}, {0xC66C, "A1"}, {0xC676, "A2"},
    {0xC67B, "A3"}, {0xC67F, "0"}, {0xC940, "B"}, {0xC945, "C"}, {0xC94D, "D"},
    {0xC95D, "E"}, {0xC9AB, "F"}, {0xCA5A, "G"}, {0xCBB1, "H"}, {0xCDDD, "I"},
    {0xD0C8, "J"}, {0xD44B, "K"}, {0xD851, "L"}, {0xDCB1, "M"}, {0xE0F0, "N"},
    {0xE4E6, "O"}, {0xE8F4, "P"}, {0xECB9, "Q"}, {0xEFB7, "R"}, {0xF1EB, "S"},
    {0xF3FD, "T"}, {0xF5C0, "U"}, {0xF6D6, "V"}, {0xF7D0, "W"}, {0xF8A5, "X"},
    {0xF8EE, "Y"}, {0xF96B, "Z"}, {0xF9A2, "A1"}, {0xF9BA, "A2"}, {0xF9C6, "A3"},
    {0xF9D6, "M"}, {0xF9D9, "P"}, {0xF9DA, "I"}, {0xF9DB, "L"}, {0xF9DC, "O"},
    {0xF9DD, "0"},
};

TEST(encodeBig5, WrongPrefixAtARangeRowEdgeOrInsideARow) {
  ASSERT_EQ(kRows.size(), 66u);
  for (std::size_t i = 0; i < kRows.size(); ++i) {
    const unsigned last = i + 1 < kRows.size() ? kRows[i + 1].first - 1 : 0xFFFF;
    for (unsigned code : {kRows[i].first, last})
      EXPECT_EQ(big5::cvt(code), kRows[i].second) << std::hex << code;
  }
  // Symbols, unassigned lead bytes, and trail bytes Big5 leaves unused inside a row.
  for (unsigned code : {0xA1A1u, 0xA3FEu, 0xC7A1u, 0xC8FEu, 0xFAFEu, 0xFE40u})
    EXPECT_EQ(big5::cvt(code), "0") << std::hex << code;
  EXPECT_EQ(big5::cvt(0xA500), "E");
  EXPECT_EQ(big5::cvt(0xB37F), "K");
}

TEST(encodeBig5, RunWrittenOffTheTokenFormat) {
  auto encoder = make_big5_encoder(SortOrder::kStrokes, ChineseBlock::kLast);  // one encoder, one database per case
  const Cases cases = {
      {"", ""},
      {"{\xA4\x40\xA4\x42}", "{ZzzAx42048x42050}"},
      {"\xB3\x5C\xA4\x40", "ZzzKx45916x42048"},  // prefix from the first character only
      {"\xA4\x40 \xA4\x42", "ZzzAx42048 ZzzBx42050"},
      {"\xA1\x41\xA4\x40", "Zzz0x41281x42048"},
      {"\xA4\x40\xA1\x41", "ZzzAx42048x41281"},
      {"\xC6\x6C", "ZzzA1x50796"},
      {"\xA4\x7D", "ZzzCx42109"},  // the trail byte is taken whatever it is
      {"\xA0\xA4\x40", "\xA0ZzzAx42048"},
      {"\xA4\x40\xA0\x41", "ZzzAx42048x41025"},  // A0 leads once a run is open
      {"\x80\x9F\xFF", "\x80\x9F\xFF"},
      {std::string("a\0b\xA4", 4), std::string("a\0b\xA4", 4)},
      {"\x40", "\x40"},  // the lead byte held at the end of the last database stays there
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(encode(*encoder, input), expected);
}

TEST(encodeBig5, TokensOutOfGroupThenCodeOrder) {
  // Groups in byte order: none, 27, 28, 29 or more, then 1 to 26 strokes.
  expect_sorted_as_listed({"\xA1\x41", "\xC6\x6C", "\xC6\x76", "\xF9\xC6", "\xA4\x40",
                           "\xA4\x40\xA1\x41", "\xA4\x40\xA4\x42", "\xA4\x41", "\xA4\x42\xA4\x40",
                           "\xC9\x40", "\xA4\xFD", "\xA4\xFE", "\xB3\x5C", "\xF9\xD6", "\xF9\xDC",
                           "\xC6\x65"},
                          big5);
}

TEST(encodeUtf8, GroupCodeWrongAtARuleEdge) {
  const std::vector<std::pair<int, std::string_view>> cases = {
      {0, "0"}, {1, "A"}, {26, "Z"}, {27, "Zza"}, {37, "Zzk"}, {38, "0"}, {48, "0"}, {-1, "0"}};
  for (const auto& [group, code] : cases) EXPECT_EQ(utf8::cvt(group), code) << group;
}

TEST(encodeUtf8, OrderReadsTheWrongTable) {
  const std::vector<std::tuple<SortOrder, std::string, std::string>> cases = {
      {SortOrder::kStrokes, "一二", "ZzzAxA19968xB20108"},
      {SortOrder::kStrokes, "\xE2\x80\x9C", "Zzz0x008220"},
      {SortOrder::kStrokes, "个龘齉", "Zzz0x020010x040856xZzj40777"},
      {SortOrder::kZhuyin, "个一兒", "ZzzAxA20010xV19968xZzk20818"},
  };
  for (const auto& [order, input, expected] : cases)
    EXPECT_EQ(encode(*make_utf8_encoder(order, ChineseBlock::kLast), input), expected);
}

TEST(encodeUtf8, ReaderTakesAMalformedSequenceForACharacter) {
  auto encoder = make_utf8_encoder_with(low_byte);  // one encoder, one database per case
  const Cases cases = {
      {"\xEF\xBB\xBF", "Zzz0x065279"},  // a byte-order mark first: no group before it
      {"", ""},
      {"\xE2\x80\x94", "ZzzTxT08212"},  // U+2014: group 0x14, a leading zero in the code
      {"\xF0\xA0\x80\x80", "\xF0\xA0\x80\x80"},
      {"\xC3\xA9\x80", "\xC3\xA9\x80"},
      {"\xE4\xB8" "A", "\xE4\xB8" "A"},
      {"\xE4\xC0\x80\xE4\xB8\xFF", "\xE4\xC0\x80\xE4\xB8\xFF"},  // high bytes, no continuation
      {"\xE4\xB8", "\xE4\xB8"},
      {std::string("\xE4\xB8\x81\0", 4), std::string("ZzzAxA19969\0", 12)},
      {"\xE4\xB8\x9B\xE4\xB8\x85", "ZzzZzaxZza19995xE19973"},
      {"\xEF\xBB\xBF" "a", "ZzzExE65279a"},  // the group of the last database's last character
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(encode(*encoder, input), expected);
}

TEST(encodeUtf8, TokensOutOfGroupThenCodeOrder) {
  // With `falling`, U+4E25 is group 1 and U+4E01 group 37; U+4E00 and U+4E26 have none.
  std::vector<std::string> names = {utf8(0x4E00), utf8(0x4E26)};
  for (char32_t c = 0x4E25; c >= 0x4E01; --c) names.push_back(utf8(c));
  names.insert(names.begin() + 3, {utf8(0x4E25) + utf8(0x4E02), utf8(0x4E25) + utf8(0x4E01)});
  names.insert(names.end() - 1, utf8(0x4E02) + utf8(0x4E25));
  expect_sorted_as_listed(names, [](const std::string& name) {
    return encode(*make_utf8_encoder_with(falling), name);
  });
}

// Latin keys that a real bibliography may hold, in their own order, and Chinese names of
// the lowest and the highest groups of each build.
const std::vector<std::string> kLatinKeys = {"Abbott", "Xu", "Yang", "Zhang", "Zwingli", "Zyzzyva", "Zz"};
const std::vector<std::string> kBig5Names = {"\xA1\x41", "\xC6\x6C", "\xA4\x40", "\xC6\x65\xF9\xD5"};
const std::vector<std::string> kUtf8Names = {"\xE2\x80\x9C", "一", "齉龘"};

TEST(encode, ChineseBlockSplitsTheLatinKeysOrFallsOnTheWrongSide) {
  for (const ChineseBlock block : {ChineseBlock::kLast, ChineseBlock::kFirst}) {
    for (const bool big5_build : {true, false}) {
      SCOPED_TRACE(std::string(big5_build ? "big5" : "utf8") + (block == ChineseBlock::kFirst ? " first" : " last"));
      auto encode_name = [&](const std::string& name) {
        if (static_cast<unsigned char>(name[0]) < 0x80) return name;
        return encode(big5_build ? *make_big5_encoder(SortOrder::kStrokes, block)
                                 : *make_utf8_encoder(SortOrder::kStrokes, block), name);
      };
      const std::vector<std::string>& chinese = big5_build ? kBig5Names : kUtf8Names;
      std::vector<std::string> names = block == ChineseBlock::kFirst ? chinese : kLatinKeys;
      const std::vector<std::string>& after = block == ChineseBlock::kFirst ? kLatinKeys : chinese;
      names.insert(names.end(), after.begin(), after.end());
      expect_sorted_as_listed(names, encode_name);
      EXPECT_TRUE(encode_name(chinese[0]).starts_with(block == ChineseBlock::kFirst ? "0Zz" : "Zzz"));
    }
  }
}

}  // namespace
}  // namespace corvina
