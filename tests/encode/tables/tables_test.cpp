// The committed stroke table and make_tables, the generator that makes it; and that the
// committed tables, strokes.inc, readings.inc and pinyin.inc, are what their generators write.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

#include "encode/tables/character_tables.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using corvina::tables::strokes;
using corvina::testing::read_file;
using corvina::testing::write_file;

#define AT(cp) "U+" << std::hex << static_cast<unsigned>(cp) << std::dec

TEST(tables, TellingRowWrong) {
  // The ends of the ranges, the largest counts, simplified forms (kTotalStrokes), other
  // characters outside Big5 (radical as Taiwan counts it plus residual strokes), Big5's
  // mended slips (驪 29), four-byte ideographs (U+20000 一 1 + 1, U+323AF 龠 17 + 9), and code
  // points outside the blocks.
  using Row = std::pair<char32_t, int>;
  for (const auto& [cp, s] : {Row{0x3000, -1}, {0x3105, -1}, {U'一', 1}, {U'丁', 2}, {U'不', 4}, {U'个', 3},
                              {U'中', 4}, {U'人', 2}, {U'兒', 8}, {U'愛', 13}, {U'會', 13}, {U'說', 14},
                              {U'車', 7}, {U'齉', 36}, {U'龘', 48}, {U'龥', 26}, {U'张', 7}, {U'邓', 4},
                              {U'刘', 6}, {U'陈', 7}, {U'黄', 11}, {U'恒', 9}, {U'碁', 13}, {U'裏', 13},
                              {U'堃', 11}, {U'喆', 12}, {U'犇', 12}, {U'驪', 29}, {U'鬱', 29}, {U'㐀', 5},
                              {U'鿿', 12}, {U'\U00021619', 9}, {0x20000, 2}, {0x323AF, 26}, {0x2FFF, -1},
                              {0x312A, -1}, {0x33FF, -1}, {0xFF0C, -1}, {0x1F600, -1}, {0x323B0, -1},
                              {~0u, -1}})
    EXPECT_EQ(strokes(cp), s) << AT(cp);
}

// The ideographs of Unicode 15 (Debian 12's unicode-data), block by block; punctuation,
// kana and Bopomofo, which sort before every counted ideograph, have no count.
TEST(tables, IdeographWithoutStrokeCountOrSymbolWithOne) {
  for (char32_t cp = 0x3000; cp <= 0x3129; ++cp) ASSERT_EQ(strokes(cp), -1) << AT(cp);
  const std::pair<char32_t, char32_t> assigned[] = {
      {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},   {0xF900, 0xFA6D},   {0xFA70, 0xFAD9},
      {0x20000, 0x2A6DF}, {0x2A700, 0x2B739}, {0x2B740, 0x2B81D}, {0x2B820, 0x2CEA1},
      {0x2CEB0, 0x2EBE0}, {0x2F800, 0x2FA1D}, {0x30000, 0x3134A}, {0x31350, 0x323AF}};
  int counted = 0;
  for (const auto& [first, last] : assigned) {
    EXPECT_EQ(strokes(first - 1), -1) << AT(first - 1);
    for (char32_t cp = first; cp <= last; ++cp, ++counted) {
      const int s = strokes(cp);
      ASSERT_TRUE(s >= 1 && s <= 88) << AT(cp) << ": " << s;
    }
  }
  EXPECT_EQ(counted, 98060);
}

int run_generator(const fs::path& unihan, const fs::path& out) {
  const std::string command = "'" CORVINA_BIN_DIR "/make_tables' '" + unihan.string() + "' '" +
                              out.string() + "'";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(tablesGenerator, CommittedTablesDifferFromAFreshRun) {
  const fs::path unihan = "/usr/share/unicode";
  for (const char* file : {"Readings", "OtherMappings", "IRGSources"})
    if (!fs::exists(unihan / ("Unihan_" + std::string(file) + ".txt.bz2"))) GTEST_SKIP() << "skipped: unicode-data not installed";
  corvina::testing::TempDir temp;
  ASSERT_EQ(run_generator(unihan, temp.path()), 0);
  const fs::path tables = fs::path(CORVINA_SOURCE_DIR) / "src/encode/tables";
  const std::string readings = "'" CORVINA_BIN_DIR "/make_tables_readings' '" + unihan.string() + "' '" +
                               tables.string() + "' '" + (temp.path() / "readings.inc").string() + "'";
  ASSERT_EQ(std::system(readings.c_str()), 0);
  const std::string pinyin = "'" CORVINA_BIN_DIR "/make_tables_pinyin' '" + unihan.string() + "' '" +
                             tables.string() + "' '" + (temp.path() / "pinyin.inc").string() + "'";
  ASSERT_EQ(std::system(pinyin.c_str()), 0);
  for (const char* table : {"strokes.inc", "readings.inc", "pinyin.inc"})
    EXPECT_TRUE(read_file(temp.path() / table) == read_file(tables / table))
        << table << " differs from a fresh run of its generator on " << unihan;
}

// Where unicode-data is missing, a made-up Unihan folder still checks the generator's rules.
// Strokes: from the Big5 position (C95D closes the second block's four strokes; kTotalStrokes,
// its Taiwan count second, only past 28); outside Big5, a simplified form keeps kTotalStrokes
// (U+4E04), a simplified radical too (U+3400), a radical that no Big5 character shows keeps it
// (U+20000), and any other character adds its residual strokes to the radical's form as the
// Big5 characters count it (3, as U+4E01 shows with 4 strokes, 1 residual: U+4E03 is 3 + 5,
// not its kTotalStrokes 7); no count, no entry.
TEST(tablesGenerator, MadeUpUnihanGivesWrongStrokes) {
  corvina::testing::TempDir temp;
  const fs::path dir = temp.path();
  write_file(dir / "Unihan_OtherMappings.txt", "U+4E00\tkBigFive\tA440\nU+4E01\tkBigFive\tC95D\n"
                                               "U+4E02\tkBigFive\tF9C6\nU+4E03\tkBigFive\tF9D6\n");
  write_file(dir / "Unihan_IRGSources.txt",
             "U+3400\tkRSUnicode\t140'.2\nU+3400\tkTotalStrokes\t3\n"
             "U+4E00\tkRSUnicode\t1.0\nU+4E00\tkTotalStrokes\t9\n"
             "U+4E01\tkRSUnicode\t140.1\nU+4E01\tkTotalStrokes\t4\n"
             "U+4E02\tkRSUnicode\t1.29\nU+4E02\tkTotalStrokes\t30 31\n"
             "U+4E03\tkRSUnicode\t140.5\nU+4E03\tkTotalStrokes\t7\n"
             "U+4E04\tkRSUnicode\t140.3\nU+4E04\tkTotalStrokes\t6\nU+4E05\tkRSUnicode\t140.3\n"
             "U+20000\tkRSUnicode\t30.2\nU+20000\tkTotalStrokes\t8\n");
  write_file(dir / "Unihan_Variants.txt", "U+4E04\tkTraditionalVariant\tU+4E05\n");
  ASSERT_EQ(run_generator(dir, dir), 0);
  const std::string strokes = read_file(dir / "strokes.inc");
  EXPECT_EQ(strokes.substr(strokes.find("\n{")),
            "\n{0x3400,\n/*3400*/ \"3\"\n},\n{0x4E00,\n/*4E00*/ \"14V86\"\n},\n{0x20000,\n/*20000*/ \"8\"\n},\n");
}

}  // namespace
