#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "encode/big5_encoder.h"
#include "encode/big5_groups.h"

namespace corvina {
namespace {

std::string encode(std::string_view input) {
  std::string out;
  auto encoder = make_big5_encoder(SortOrder::kStrokes);
  encoder->encode(input, out);
  encoder->finish(out);
  return out;
}

struct Row {
  unsigned first;
  const char* prefix;
};

// Each row ends where the next begins; the last ends at FFFF.
const std::vector<Row> kRanges = {
    {0x0000, "xxx0"}, {0xA440, "xxxA"}, {0xA442, "xxxB"}, {0xA454, "xxxC"},
    {0xA47F, "xxx0"}, {0xA4A1, "xxxD"}, {0xA4FE, "xxxE"}, {0xA5E0, "xxxF"},
    {0xA6EA, "xxxG"}, {0xA8C3, "xxxH"}, {0xAB45, "xxxI"}, {0xADBC, "xxxJ"},
    {0xB0AE, "xxxK"}, {0xB3C3, "xxxL"}, {0xB6C4, "xxxM"}, {0xB9AC, "xxxN"},
    {0xBBF5, "xxxO"}, {0xBEA7, "xxxP"}, {0xC075, "xxxQ"}, {0xC24F, "xxxR"},
    {0xC35F, "xxxS"}, {0xC455, "xxxT"}, {0xC4D7, "xxxU"}, {0xC56B, "xxxV"},
    {0xC5C8, "xxxW"}, {0xC5F1, "xxxX"}, {0xC655, "xxxY"}, {0xC665, "xxxZ"},
    {0xC66C, "xxxA1"}, {0xC676, "xxxA2"}, {0xC67B, "xxxA3"}, {0xC67F, "xxx0"},
    {0xC940, "xxxB"}, {0xC945, "xxxC"}, {0xC94D, "xxxD"}, {0xC95D, "xxxE"},
    {0xC9AB, "xxxF"}, {0xCA5A, "xxxG"}, {0xCBB1, "xxxH"}, {0xCDDD, "xxxI"},
    {0xD0C8, "xxxJ"}, {0xD44B, "xxxK"}, {0xD851, "xxxL"}, {0xDCB1, "xxxM"},
    {0xE0F0, "xxxN"}, {0xE4E6, "xxxO"}, {0xE8F4, "xxxP"}, {0xECB9, "xxxQ"},
    {0xEFB7, "xxxR"}, {0xF1EB, "xxxS"}, {0xF3FD, "xxxT"}, {0xF5C0, "xxxU"},
    {0xF6D6, "xxxV"}, {0xF7D0, "xxxW"}, {0xF8A5, "xxxX"}, {0xF8EE, "xxxY"},
    {0xF96B, "xxxZ"}, {0xF9A2, "xxxA1"}, {0xF9BA, "xxxA2"}, {0xF9C6, "xxxA3"},
    {0xF9D6, "xxxM"}, {0xF9D9, "xxxP"}, {0xF9DA, "xxxI"}, {0xF9DB, "xxxL"},
    {0xF9DC, "xxxO"}, {0xF9DD, "xxx0"},
};

TEST(encodeBig5, EveryRangeRowHoldsFromFirstToLastCode) {
  ASSERT_EQ(kRanges.size(), 66u);
  for (std::size_t i = 0; i < kRanges.size(); ++i) {
    const unsigned last = i + 1 < kRanges.size() ? kRanges[i + 1].first - 1 : 0xFFFF;
    SCOPED_TRACE(testing::Message() << std::hex << kRanges[i].first);
    EXPECT_EQ(big5::cvt(kRanges[i].first), kRanges[i].prefix);
    EXPECT_EQ(big5::cvt(last), kRanges[i].prefix);
  }
}

TEST(encodeBig5, SymbolAndUnassignedLeadBytesHaveNoGroup) {
  for (unsigned lead : {0xA1u, 0xA2u, 0xA3u, 0xC7u, 0xC8u, 0xFAu, 0xFEu}) {
    for (unsigned trail = 0; trail < 256; ++trail) {
      ASSERT_EQ(big5::cvt(lead * 256 + trail), "xxx0") << std::hex << lead << trail;
    }
  }
  EXPECT_EQ(big5::cvt(0xA500), "xxxE");  // unused trail bytes keep their range's group
  EXPECT_EQ(big5::cvt(0xB37F), "xxxK");
}

TEST(encodeBig5, WritesRunsAsTheTokenFormatSays) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", ""},
      {"{\xA4\x40\xA4\x42}", "{xxxAx42048x42050}"},
      {"\xB3\x5C\xA4\x40", "xxxKx45916x42048"},  // prefix from the first character only
      {"\xA4\x40 \xA4\x42", "xxxAx42048 xxxBx42050"},
      {"\xA1\x41\xA4\x40", "xxx0x41281x42048"},
      {"\xA4\x40\xA1\x41", "xxxAx42048x41281"},
      {"\xC6\x6C", "xxxA1x50796"},
      {"\xA4\x7D", "xxxCx42109"},  // the trail byte is taken whatever it is
      {"\xA0\xA4\x40", "\xA0xxxAx42048"},
      {"\xA4\x40\xA0\x41", "xxxAx42048x41025"},  // A0 leads once a run is open
      {"\x80\x9F\xFF", "\x80\x9F\xFF"},
      {std::string("a\0b\xA4", 4), std::string("a\0b\xA4", 4)},
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(encode(input), expected);
}

TEST(encodeBig5, LeadByteHeldAtPieceEndJoinsItsTrail) {
  auto encoder = make_big5_encoder(SortOrder::kStrokes);
  std::string out;
  for (char c : std::string("\xA4\x40\xA4\x42\xA4")) encoder->encode(std::string(1, c), out);
  encoder->finish(out);
  EXPECT_EQ(out, "xxxAx42048x42050\xA4");
  out.clear();
  encoder->encode("\x40", out);  // the held lead byte ended with the last database
  encoder->finish(out);
  EXPECT_EQ(out, "\x40");
}

// Sorts the encodings of `names` (given in reverse) and expects `names` back in order.
void expect_sorted_as_listed(const std::vector<std::string>& names, bool fold) {
  std::vector<std::string> expected, tokens;
  for (const std::string& name : names) {
    std::string token = encode(name);
    if (fold) std::transform(token.begin(), token.end(), token.begin(), ::tolower);
    expected.push_back(token);
  }
  tokens.assign(expected.rbegin(), expected.rend());
  std::sort(tokens.begin(), tokens.end());
  EXPECT_EQ(tokens, expected) << (fold ? "case-folded" : "byte order");
}

TEST(encodeBig5, SortedTokensFollowGroupThenCodesWithAndWithoutCaseFolding) {
  // Groups in byte order: none, 27, 28, 29 or more, then 1 to 26 strokes.
  const std::vector<std::string> names = {
      "\xA1\x41", "\xC6\x6C", "\xC6\x76", "\xF9\xC6",
      "\xA4\x40", "\xA4\x40\xA1\x41", "\xA4\x40\xA4\x42", "\xA4\x41",
      "\xA4\x42\xA4\x40", "\xC9\x40", "\xA4\xFD", "\xA4\xFE",
      "\xB3\x5C", "\xF9\xD6", "\xF9\xDC", "\xC6\x65",
  };
  for (bool fold : {false, true}) expect_sorted_as_listed(names, fold);
}

}  // namespace
}  // namespace corvina
