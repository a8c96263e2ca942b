// The committed stroke and zhuyin tables, and make_tables, the generator that makes them.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>

#include "encode/tables/character_tables.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using corvina::tables::strokes;
using corvina::tables::zhuyin;
using corvina::testing::read_file;
using corvina::testing::write_file;

#define AT(cp) "U+" << std::hex << static_cast<unsigned>(cp) << std::dec

TEST(tables, TellingRowWrong) {
  // The ends of both ranges, the 48-stroke character, ideographs outside Big5, readings other
  // than Unihan's first, and codes outside the two ranges.
  using Row = std::tuple<char32_t, int, int>;
  for (const auto& [cp, s, z] : {Row{0x3000, -1, -1}, {0x3105, -1, -1}, {U'一', 1, 22}, {U'丁', 2, 5},
                         {U'不', 4, 1}, {U'个', -1, 1}, {U'中', 4, 15}, {U'人', 2, 18},
                         {U'兒', 8, 37}, {U'愛', 13, 29}, {U'會', 13, 10}, {U'說', 14, 24},
                         {U'車', 7, 12}, {U'齉', 36, 7}, {U'龘', 48, 6}, {U'龥', -1, 14},
                         {0x2FFF, -1, -1}, {0x312A, -1, -1}, {0x3400, -1, -1}, {0x4DFF, -1, -1},
                         {0x9FA6, -1, -1}, {0xFF0C, -1, -1}, {0x20000, -1, -1}, {~0u, -1, -1}}) {
    EXPECT_EQ(strokes(cp), s) << AT(cp);
    EXPECT_EQ(zhuyin(cp), z) << AT(cp);
  }
}

TEST(tables, SymbolWithAnEntryOrIdeographWithoutZhuyin) {
  int with_strokes = 0;
  for (char32_t cp = 0x3000; cp <= 0x9FA5; cp = cp == 0x3129 ? 0x4E00 : cp + 1) {
    const int s = strokes(cp), z = zhuyin(cp);
    // Symbols, kana and Bopomofo have no entry; ㄝ (28) and ㄟ (30) begin no principal reading.
    const bool ok = cp < 0x4E00 ? s == -1 && z == -1 : z >= 1 && z <= 37 && z != 28 && z != 30;
    ASSERT_TRUE(ok && (s == -1 || (s >= 1 && s <= 36) || s == 48)) << AT(cp) << ": " << s << " " << z;
    with_strokes += s != -1;
  }
  EXPECT_EQ(with_strokes, 13051);
}

// Prints the ideographs per value, ours and the reference's; their differences add up to <= bound.
void expect_counts_near(const char* name, int (*table)(char32_t), std::map<int, int> reference,
                        int bound) {
  std::map<int, int> ours;
  for (char32_t cp = 0x4E00; cp <= 0x9FA5; ++cp) reference.emplace(table(cp), 0), ++ours[table(cp)];
  int sum = 0;
  for (const auto& [value, ref] : reference) {
    if (value == -1) continue;
    sum += std::abs(ours[value] - ref);
    std::printf("%s %2d: ours %5d, reference %5d\n", name, value, ours[value], ref);
  }
  std::printf("%s: sum of absolute differences %d, at most %d\n", name, sum, bound);
  EXPECT_LE(sum, bound) << name;
}

TEST(tables, CountsPerValueFarFromTheReference) {
  expect_counts_near("strokes", strokes,
      {{1, 2}, {2, 23}, {3, 50}, {4, 115}, {5, 166}, {6, 277}, {7, 484}, {8, 737}, {9, 848},
       {10, 995}, {11, 1125}, {12, 1162}, {13, 1138}, {14, 1006}, {15, 1035}, {16, 868},
       {17, 745}, {18, 536}, {19, 481}, {20, 349}, {21, 261}, {22, 210}, {23, 155}, {24, 108},
       {25, 76}, {26, 29}, {27, 34}, {28, 14}, {29, 9}, {30, 5}, {31, 1}, {32, 2}, {33, 2},
       {35, 1}, {36, 1}, {48, 1}}, 40);
  expect_counts_near("zhuyin", zhuyin,
      {{1, 898}, {2, 634}, {3, 724}, {4, 659}, {5, 1123}, {6, 871}, {7, 433}, {8, 1746},
       {9, 925}, {10, 559}, {11, 977}, {12, 1537}, {13, 985}, {14, 1256}, {15, 1144},
       {16, 845}, {17, 1004}, {18, 325}, {19, 477}, {20, 381}, {21, 470}, {22, 1327},
       {23, 618}, {24, 616}, {25, 2}, {26, 2}, {27, 103}, {29, 47}, {31, 57}, {32, 24},
       {33, 64}, {34, 6}, {35, 11}, {36, 1}, {37, 51}}, 1600);
}

int run_generator(const fs::path& unihan, const fs::path& out) {
  const std::string command = "'" CORVINA_BIN_DIR "/make_tables' '" + unihan.string() + "' '" +
                              out.string() + "'";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(tablesGenerator, CommittedTablesDifferFromAFreshRun) {
  const fs::path unihan = "/usr/share/unicode";
  for (const char* file : {"Readings", "OtherMappings", "IRGSources"}) {
    if (!fs::exists(unihan / ("Unihan_" + std::string(file) + ".txt.bz2")))
      GTEST_SKIP() << "skipped: unicode-data not installed";
  }
  corvina::testing::TempDir temp;
  ASSERT_EQ(run_generator(unihan, temp.path()), 0);
  const fs::path tables = fs::path(CORVINA_SOURCE_DIR) / "src/encode/tables";
  const std::string readings = "'" CORVINA_BIN_DIR "/make_tables_readings' '" + unihan.string() + "' '" +
                               tables.string() + "' '" + (temp.path() / "readings.inc").string() + "'";
  ASSERT_EQ(std::system(readings.c_str()), 0);
  for (const char* table : {"strokes.inc", "zhuyin.inc", "readings.inc"}) {
    EXPECT_TRUE(read_file(temp.path() / table) == read_file(tables / table))
        << table << " differs from a fresh run of its generator on " << unihan;
  }
}

// Where unicode-data is missing, a made-up Unihan folder still checks the generator's rules:
// strokes from the Big5 position (C95D closes the second block's four strokes; kTotalStrokes,
// its traditional count second, only past 28), zhuyin from the Taiwan reading (the second
// kMandarin value), zh before z, the dictionaries after an unusable reading.
TEST(tablesGenerator, MadeUpUnihanGivesWrongStrokesOrZhuyin) {
  corvina::testing::TempDir temp;
  const fs::path dir = temp.path();
  std::string readings =  // every field the generator reads, once
      "U+3400\tkHanyuPinyin\t1.1:qiū\nU+3400\tkXHC1983\t1.1:qiū\nU+3400\tkTGHZ2013\t1.1:qiū\n";
  char line[64];  // every ideograph reads dā unless a later line says otherwise
  for (unsigned cp = 0x4E00; cp <= 0x9FA5; ++cp)
    readings.append(line, std::snprintf(line, sizeof line, "U+%04X\tkMandarin\tdā\n", cp));
  write_file(dir / "Unihan_Readings.txt", readings + "U+4E00\tkMandarin\tbā pō\n"
             "U+4E01\tkMandarin\tzhōng\nU+4E02\tkMandarin\tx\nU+4E02\tkHanyuPinyin\t1.1:ěr\n");
  write_file(dir / "Unihan_OtherMappings.txt", "U+4E00\tkBigFive\tA440\nU+4E01\tkBigFive\tC95D\n"
                                               "U+4E02\tkBigFive\tF9C6\nU+4E03\tkBigFive\tF9D6\n");
  write_file(dir / "Unihan_IRGSources.txt",
             "U+4E00\tkTotalStrokes\t9\nU+4E02\tkTotalStrokes\t30 31\n");
  ASSERT_EQ(run_generator(dir, dir), 0);
  for (const auto& [table, expected] : {std::pair{"strokes", "-14V-"}, {"zhuyin", "-2Fb5"}}) {
    std::string all;  // the entries, between the quotes
    for (bool in = false; char c : read_file(dir / (table + std::string(".inc"))))
      in = c == '"' ? !in : (in && (all += c, true));
    EXPECT_EQ(all.substr(297, 5), expected) << table << " from U+3129";
  }
}

}  // namespace
