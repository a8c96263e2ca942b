// The committed stroke and zhuyin tables, read through the accessor.

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "encode/tables/character_tables.h"

namespace {

using corvina::tables::strokes;
using corvina::tables::zhuyin;

struct Row {
  char32_t cp;
  int strokes;
  int zhuyin;
};

// Characters whose values the sort order depends on, chosen to cover the ends of both
// ranges, the 48-stroke character, non-Big5 ideographs and readings other than the first.
constexpr Row kTellingRows[] = {
    {0x3000, -1, -1}, {0x3105, -1, -1}, {U'一', 1, 22}, {U'丁', 2, 5},   {U'不', 4, 1},
    {U'个', -1, 1},   {U'中', 4, 15},   {U'人', 2, 18}, {U'兒', 8, 37},  {U'愛', 13, 29},
    {U'會', 13, 10},  {U'說', 14, 24},  {U'車', 7, 12}, {U'齉', 36, 7},  {U'龘', 48, 6},
    {U'龥', -1, 14},
};

TEST(tablesTellingRows, StrokesAndZhuyin) {
  for (const Row& row : kTellingRows) {
    SCOPED_TRACE(testing::Message() << "U+" << std::hex << static_cast<unsigned>(row.cp));
    EXPECT_EQ(strokes(row.cp), row.strokes);
    EXPECT_EQ(zhuyin(row.cp), row.zhuyin);
  }
}

TEST(tablesCoverage, OnlyTheTwoRangesHaveEntries) {
  for (char32_t cp : {0x0000u, 0x0041u, 0x2FFFu, 0x312Au, 0x3400u, 0x4DFFu, 0x9FA6u, 0xF900u, 0xFF0Cu,
                      0xFFFFu, 0x20000u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(testing::Message() << "U+" << std::hex << static_cast<unsigned>(cp));
    EXPECT_EQ(strokes(cp), -1);
    EXPECT_EQ(zhuyin(cp), -1);
  }
  // Symbols, kana and Bopomofo: no entry in either table.
  for (char32_t cp = 0x3000; cp <= 0x3129; ++cp) {
    ASSERT_EQ(strokes(cp), -1) << std::hex << static_cast<unsigned>(cp);
    ASSERT_EQ(zhuyin(cp), -1) << std::hex << static_cast<unsigned>(cp);
  }
}

TEST(tablesCoverage, EveryIdeographHasAZhuyinGroupAndBig5OnesAStrokeCount) {
  int with_strokes = 0;
  for (char32_t cp = 0x4E00; cp <= 0x9FA5; ++cp) {
    const int z = zhuyin(cp);
    ASSERT_TRUE(z >= 1 && z <= 37) << std::hex << static_cast<unsigned>(cp) << ": " << std::dec << z;
    const int s = strokes(cp);
    ASSERT_TRUE(s == -1 || (s >= 1 && s <= 36) || s == 48) << std::hex << static_cast<unsigned>(cp);
    with_strokes += s != -1;
  }
  EXPECT_EQ(with_strokes, 13051);
}

// Reference distribution of the values over U+4E00..U+9FA5 (value -> number of ideographs).
const std::map<int, int> kStrokeCounts = {
    {1, 2},    {2, 23},   {3, 50},    {4, 115},   {5, 166},   {6, 277},  {7, 484},  {8, 737},
    {9, 848},  {10, 995}, {11, 1125}, {12, 1162}, {13, 1138}, {14, 1006}, {15, 1035}, {16, 868},
    {17, 745}, {18, 536}, {19, 481},  {20, 349},  {21, 261},  {22, 210},  {23, 155},  {24, 108},
    {25, 76},  {26, 29},  {27, 34},   {28, 14},   {29, 9},    {30, 5},   {31, 1},   {32, 2},
    {33, 2},   {35, 1},   {36, 1},    {48, 1},
};
const std::map<int, int> kZhuyinCounts = {
    {1, 898},   {2, 634},   {3, 724},   {4, 659},  {5, 1123}, {6, 871},  {7, 433},  {8, 1746},
    {9, 925},   {10, 559},  {11, 977},  {12, 1537}, {13, 985}, {14, 1256}, {15, 1144}, {16, 845},
    {17, 1004}, {18, 325},  {19, 477},  {20, 381}, {21, 470},  {22, 1327}, {23, 618},  {24, 616},
    {25, 2},    {26, 2},    {27, 103},  {29, 47},  {31, 57},   {32, 24},  {33, 64},   {34, 6},
    {35, 11},   {36, 1},    {37, 51},
};

// Prints ours against the reference per value and returns the sum of absolute differences.
int compare_counts(const char* name, int (*table)(char32_t), const std::map<int, int>& reference) {
  std::map<int, int> ours;
  for (char32_t cp = 0x4E00; cp <= 0x9FA5; ++cp) {
    if (const int v = table(cp); v != -1) ++ours[v];
  }
  std::map<int, int> all = reference;
  for (const auto& [value, n] : ours) all.emplace(value, 0);
  int sum = 0;
  std::printf("%s: value ours reference difference\n", name);
  for (const auto& [value, ref] : all) {
    const int n = ours.count(value) ? ours.at(value) : 0;
    sum += std::abs(n - ref);
    if (n != ref) std::printf("  %2d %5d %5d %+d\n", value, n, ref, n - ref);
  }
  std::printf("%s: sum of absolute differences %d\n", name, sum);
  return sum;
}

TEST(tablesCounts, StrokesPerValueCloseToReference) {
  EXPECT_LE(compare_counts("strokes", strokes, kStrokeCounts), 40);
}

TEST(tablesCounts, ZhuyinPerValueCloseToReference) {
  const int sum = compare_counts("zhuyin", zhuyin, kZhuyinCounts);
  EXPECT_LE(sum, 1600);
  // ㄝ and ㄟ begin no principal reading of these ideographs.
  int unused = 0;
  for (char32_t cp = 0x4E00; cp <= 0x9FA5; ++cp) unused += zhuyin(cp) == 28 || zhuyin(cp) == 30;
  EXPECT_EQ(unused, 0);
}

}  // namespace
