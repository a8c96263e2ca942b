// The table generator: its pinyin mapping, its rules on a small made-up Unihan folder, and a
// fresh run on the installed Unihan files against the committed tables.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "make_tables_pinyin.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using corvina::testing::file_exists;
using corvina::testing::read_file;
using corvina::testing::TempDir;
using corvina::testing::write_file;
using make_tables::first_zhuyin_symbol;

TEST(tablesPinyin, InitialsGiveTheirSymbol) {
  EXPECT_EQ(first_zhuyin_symbol("bù"), 1);
  EXPECT_EQ(first_zhuyin_symbol("pō"), 2);
  EXPECT_EQ(first_zhuyin_symbol("fǒu"), 4);
  EXPECT_EQ(first_zhuyin_symbol("lǜ"), 8);
  EXPECT_EQ(first_zhuyin_symbol("nǚ"), 7);
  EXPECT_EQ(first_zhuyin_symbol("xiōng"), 14);
  // zh, ch, sh before z, c, s; syllables that are only an initial.
  EXPECT_EQ(first_zhuyin_symbol("zhōng"), 15);
  EXPECT_EQ(first_zhuyin_symbol("chē"), 16);
  EXPECT_EQ(first_zhuyin_symbol("shī"), 17);
  EXPECT_EQ(first_zhuyin_symbol("rì"), 18);
  EXPECT_EQ(first_zhuyin_symbol("zì"), 19);
  EXPECT_EQ(first_zhuyin_symbol("cí"), 20);
  EXPECT_EQ(first_zhuyin_symbol("sī"), 21);
  // Syllabic consonants, toned with precomposed or combining marks.
  EXPECT_EQ(first_zhuyin_symbol("ḿ"), 3);
  EXPECT_EQ(first_zhuyin_symbol("m\u0300"), 3);
  EXPECT_EQ(first_zhuyin_symbol("ň"), 7);
  EXPECT_EQ(first_zhuyin_symbol("hng"), 11);
}

TEST(tablesPinyin, YAndWSpellMedials) {
  EXPECT_EQ(first_zhuyin_symbol("yī"), 22);
  EXPECT_EQ(first_zhuyin_symbol("yán"), 22);
  EXPECT_EQ(first_zhuyin_symbol("yō"), 22);
  EXPECT_EQ(first_zhuyin_symbol("yù"), 24);
  EXPECT_EQ(first_zhuyin_symbol("yuè"), 24);
  EXPECT_EQ(first_zhuyin_symbol("yuān"), 24);
  EXPECT_EQ(first_zhuyin_symbol("yūn"), 24);
  EXPECT_EQ(first_zhuyin_symbol("yǒng"), 24);
  EXPECT_EQ(first_zhuyin_symbol("wǔ"), 23);
  EXPECT_EQ(first_zhuyin_symbol("wèi"), 23);
}

TEST(tablesPinyin, BareFinals) {
  const char* finals[] = {"ā", "ò", "é", "ê̄", "ài", "èi", "áo", "ōu", "ān", "ēn", "áng", "ēng", "ér"};
  for (int i = 0; i < 13; ++i) EXPECT_EQ(first_zhuyin_symbol(finals[i]), 25 + i) << finals[i];
  EXPECT_EQ(first_zhuyin_symbol("ế"), 28);
}

TEST(tablesPinyin, RejectsWhatIsNotPinyin) {
  EXPECT_EQ(first_zhuyin_symbol(""), -1);
  EXPECT_EQ(first_zhuyin_symbol("10001.010"), -1);
  EXPECT_EQ(first_zhuyin_symbol("ia"), -1);
  EXPECT_EQ(first_zhuyin_symbol("x"), -1);  // an initial without a final
  EXPECT_EQ(first_zhuyin_symbol("zh"), -1);
  EXPECT_EQ(first_zhuyin_symbol("\xE4\xB8"), -1);  // cut UTF-8
  EXPECT_EQ(first_zhuyin_symbol("一"), -1);
}

// ---------------------------------------------------------------------------------------------

const fs::path kGenerator = fs::path(CORVINA_BIN_DIR) / "make_tables";

int run_generator(const fs::path& unihan, const fs::path& out) {
  const std::string command = "'" + kGenerator.string() + "' '" + unihan.string() + "' '" + out.string() + "'";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The entry of a generated .inc file for a code point, as its table character.
char entry(const std::string& inc, char32_t cp) {
  std::string digits;
  std::istringstream lines(inc);
  for (std::string line; std::getline(lines, line);) {
    if (line.size() >= 2 && line.front() == '"' && line.back() == '"') digits += line.substr(1, line.size() - 2);
  }
  EXPECT_EQ(digits.size(), 21200u);
  const std::size_t index = cp <= 0x3129 ? cp - 0x3000 : cp - 0x4E00 + 298;
  return index < digits.size() ? digits[index] : '?';
}

std::string line(char32_t cp, const char* field, const std::string& value) {
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
  return std::string(code) + "\t" + field + "\t" + value + "\n";
}

// A Unihan folder in which every ideograph reads "dā" and has no Big5 code, plus the lines given.
void write_unihan(const fs::path& folder, const std::string& readings, const std::string& mappings,
                  const std::string& sources) {
  fs::create_directories(folder);
  // Every field the generator reads appears at least once, on a code point it does not use.
  std::string all = "# Unihan_Readings.txt\n" + line(0x3400, "kHanyuPinyin", "10001.010:qiū") +
                    line(0x3400, "kXHC1983", "0001.010:qiū") + line(0x3400, "kTGHZ2013", "001.010:qiū");
  for (char32_t cp = 0x4E00; cp <= 0x9FA5; ++cp) all += line(cp, "kMandarin", "dā");
  write_file(folder / "Unihan_Readings.txt", all + readings);
  write_file(folder / "Unihan_OtherMappings.txt", "# Unihan_OtherMappings.txt\n" + line(0x3400, "kBigFive", "A140") + mappings);
  write_file(folder / "Unihan_IRGSources.txt", "# Unihan_IRGSources.txt\n" + line(0x3400, "kTotalStrokes", "5") + sources);
}

TEST(tablesGenerator, StrokesComeFromTheBig5Position) {
  TempDir temp;
  const std::string mappings = line(0x4E00, "kBigFive", "A440") + line(0x4E01, "kBigFive", "C666") +
                               line(0x4E02, "kBigFive", "C95D") + line(0x4E03, "kBigFive", "F9BA") +
                               line(0x4E04, "kBigFive", "C67B") + line(0x4E05, "kBigFive", "F9D5") +
                               line(0x4E06, "kBigFive", "F9D6") + line(0x4E07, "kBigFive", "A259") +
                               line(0x4E08, "kBigFive", "C963");
  // kTotalStrokes only counts in the open-ended group; two values: the second is traditional.
  const std::string sources = line(0x4E00, "kTotalStrokes", "9") + line(0x4E04, "kTotalStrokes", "28") +
                              line(0x4E05, "kTotalStrokes", "47 48") + line(0x4E06, "kTotalStrokes", "13");
  write_unihan(temp.path() / "unihan", "", mappings, sources);
  ASSERT_EQ(run_generator(temp.path() / "unihan", temp.path()), 0);
  const std::string inc = read_file(temp.path() / "strokes.inc");
  EXPECT_EQ(entry(inc, 0x4E00), '1');
  EXPECT_EQ(entry(inc, 0x4E01), 'Q');  // 26
  EXPECT_EQ(entry(inc, 0x4E02), '4');  // the radicals that close the four-stroke range
  EXPECT_EQ(entry(inc, 0x4E08), '5');
  EXPECT_EQ(entry(inc, 0x4E03), 'S');  // 28
  EXPECT_EQ(entry(inc, 0x4E04), 'T');  // 29 at least
  EXPECT_EQ(entry(inc, 0x4E05), 'm');  // 48
  EXPECT_EQ(entry(inc, 0x4E06), '-');  // appended after the set
  EXPECT_EQ(entry(inc, 0x4E07), '-');  // a unit symbol before the ideographs
  EXPECT_EQ(entry(inc, 0x4E09), '-');  // not in Big5
  EXPECT_EQ(entry(inc, 0x3000), '-');
}

TEST(tablesGenerator, ZhuyinFollowsTheTaiwanReadingThenTheDictionaries) {
  TempDir temp;
  // Later lines replace the "dā" of the folder.
  const std::string readings = line(0x4E00, "kMandarin", "shéi shuí") +     // Taiwan value second
                               line(0x4E01, "kMandarin", "ěr") + line(0x4E02, "kMandarin", "yǒng") +
                               line(0x4E03, "kMandarin", "x") +               // unusable: next field
                               line(0x4E03, "kHanyuPinyin", "10001.010:yuè,yào");
  write_unihan(temp.path() / "unihan", readings, "", "");
  ASSERT_EQ(run_generator(temp.path() / "unihan", temp.path()), 0);
  const std::string inc = read_file(temp.path() / "zhuyin.inc");
  EXPECT_EQ(entry(inc, 0x4E00), 'H');  // 17 ㄕ
  EXPECT_EQ(entry(inc, 0x4E01), 'b');  // 37 ㄦ
  EXPECT_EQ(entry(inc, 0x4E02), 'O');  // 24 ㄩ
  EXPECT_EQ(entry(inc, 0x4E03), 'O');
  EXPECT_EQ(entry(inc, 0x4E04), '5');  // dā
  EXPECT_EQ(entry(inc, 0x3105), '-');
}

// Every ideograph of the folder reads dā, far more than the ㄉ group holds, so a character
// free to choose leaves it; a Big5 character keeps its Taiwan reading all the same.
TEST(tablesGenerator, MandarinReadingDecidesOverDictionaryReadings) {
  TempDir temp;
  // Every ideograph of the made-up folder reads "dā" in kMandarin.
  const std::string readings = line(0x4E00, "kHanyuPinyin", "10001.010:shī") +
                               line(0x4E01, "kXHC1983", "0001.020:shī,dā");
  write_unihan(temp.path() / "unihan", readings, "", "");
  ASSERT_EQ(run_generator(temp.path() / "unihan", temp.path()), 0);
  const std::string inc = read_file(temp.path() / "zhuyin.inc");
  EXPECT_EQ(entry(inc, 0x4E00), '5');  // ㄉ, not ㄕ
  EXPECT_EQ(entry(inc, 0x4E01), '5');
}

TEST(tablesGenerator, FailsWithoutUnihanFiles) {
  TempDir temp;
  fs::create_directories(temp.path() / "empty");
  EXPECT_NE(run_generator(temp.path() / "empty", temp.path()), 0);
  EXPECT_FALSE(file_exists(temp.path() / "strokes.inc"));
}

TEST(tablesGenerator, RegeneratesTheCommittedTables) {
  const fs::path unihan = "/usr/share/unicode";
  for (const char* file : {"Unihan_Readings.txt.bz2", "Unihan_OtherMappings.txt.bz2", "Unihan_IRGSources.txt.bz2"}) {
    if (!file_exists(unihan / file)) GTEST_SKIP() << "skipped: unicode-data not installed";
  }
  TempDir temp;
  ASSERT_EQ(run_generator(unihan, temp.path()), 0);
  const fs::path committed = fs::path(CORVINA_SOURCE_DIR) / "src/encode/tables";
  for (const char* table : {"strokes.inc", "zhuyin.inc"}) {
    SCOPED_TRACE(table);
    EXPECT_TRUE(read_file(temp.path() / table) == read_file(committed / table))
        << "the committed table differs from a fresh run of make_tables on " << unihan;
  }
}

}  // namespace
