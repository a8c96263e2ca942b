// Whole runs of corvina on a Big5 database with bibtex8 and with biber.

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "run_fixture.h"

namespace corvina::e2e {
namespace {

// Big5 characters, as bytes. The comment gives each one's stroke group by its code range.
const std::string kYi = "\xA4\x40";     // 一 A440, group A
const std::string kDing = "\xA4\x42";   // 丁 A442, B
const std::string kRen = "\xA4\x48";    // 人 A448, B
const std::string kYi2 = "\xC9\x40";    // 乂 C940, B (first of the second block)
const std::string kBu = "\xA4\xA3";     // 不 A4A3, D
const std::string kZhong = "\xA4\xA4";  // 中 A4A4, D
const std::string kWang = "\xA4\xFD";   // 王 A4FD, D (last of the four strokes)
const std::string kGong = "\xA5\x5C";   // 功 A55C, E; its trail byte is a backslash
const std::string kGong2 = "\xA4\x7D";  // 弓 A47D, C; its trail byte is a closing brace
const std::string kChe = "\xA8\xAE";    // 車 A8AE, G
const std::string kEr = "\xA8\xE0";     // 兒 A8E0, H
const std::string kAi = "\xB7\x52";     // 愛 B752, M
const std::string kHui = "\xB7\x7C";    // 會 B77C, M
const std::string kShuo = "\xBB\xA1";   // 說 BBA1, N
const std::string kLan = "\xC6\x6C";    // 纜 C66C, A1 (27 strokes)
const std::string kYan = "\xC6\x76";    // 豔 C676, A2 (28)
const std::string kYu = "\xC6\x7B";     // 鬱 C67B, A3 (29 and more)

struct Person {
  std::string key, author, family, title;
};

// A title of 40 characters in groups of five, for bibtex8 to wrap at the blanks.
std::string wrapped_title() {
  const std::string pool[] = {kYi, kDing, kRen, kBu, kZhong, kWang, kGong, kGong2, kChe, kEr, kAi, kHui, kShuo};
  std::string text;
  for (size_t i = 0; i < 40; ++i) {
    if (i && i % 5 == 0) text += ' ';
    text += pool[i % std::size(pool)];
  }
  return text;
}

std::vector<Person> people() {
  return {
      {"yiding", kYi + kDing, kYi + kDing, wrapped_title()},
      {"renzhong", kRen + kZhong, kRen + kZhong, kGong + kGong2},
      {"yiren", kYi2 + kRen, kYi2 + kRen, kBu + kGong},
      {"buren", kBu + kRen, kBu + kRen, kGong2 + kYi},
      {"wangzhong", kWang + kZhong, kWang + kZhong, kChe + kEr},
      {"gongren", kGong + kRen, kGong + kRen, kAi},
      {"cheren", kChe + kRen, kChe + kRen, kHui + kShuo},
      {"eryi", kEr + kYi, kEr + kYi, kLan + kYan},
      {"airen", kAi + kRen, kAi + kRen, kYu},
      {"huizhong", kHui + kZhong, kHui + kZhong, kShuo},
      {"shuoding", kShuo + kDing, kShuo + kDing, kDing},
      {"lanche", kLan + kChe, kLan + kChe, kZhong},
      {"yanren", kYan + kRen, kYan + kRen, kRen},
      {"yuzhong", kYu + kZhong, kYu + kZhong, kWang},
      {"abbott", "Abbott, Ann", "Abbott", "Chinese Phonology"},
      {"xu", "Xu, Li", "Xu", "Printing in the Song Dynasty"},
      {"yang", "Yang, Wei", "Yang", "Classical Chinese Grammar"},
  };
}

std::string database_of(const std::vector<Person>& list) {
  std::string text = "% Test database in Big5: invented authors and titles.\n";
  int year = 1990;
  for (const auto& p : list) {
    text += "@book{" + p.key + ",\n  author = {" + p.author + "},\n  title = {" + p.title +
            "},\n  year = {" + std::to_string(year++) + "},\n}\n\n";
  }
  return text;
}

std::vector<std::string> expected_order(const std::vector<Person>& list) {
  std::vector<std::pair<std::string, std::string>> keyed;
  for (const auto& p : list) {
    const bool chinese = static_cast<unsigned char>(p.family[0]) >= 0xA1;
    keyed.emplace_back(ascii_lower(chinese ? big5_token(p.family) : p.family), p.key);
  }
  std::sort(keyed.begin(), keyed.end());
  std::vector<std::string> keys;
  for (const auto& k : keyed) keys.push_back(k.second);
  return keys;
}

class CorvinaBig5 : public DocumentFolder, public ::testing::WithParamInterface<Backend> {};

TEST_P(CorvinaBig5, EntriesOutOfStrokeOrderOrLeftEncoded) {
  const Backend backend = GetParam();
  CORVINA_SKIP_WITHOUT("pdflatex", "biblatex", backend == Backend::kBiber ? "biber" : "bibtex8");
  write_document(biblatex_document(std::string("backend=") + backend_option(backend), {"\\addbibresource{refs.bib}"}));
  const auto list = people();
  write_database(folder() / "refs.bib", database_of(list));
  make_control_files(backend);
  if (HasFatalFailure()) return;

  const std::string bbl = run_and_check({"corvina", "thesis"}, backend);
  ASSERT_FALSE(bbl.empty());
  EXPECT_EQ(entry_keys(bbl), expected_order(list)) << "stroke order wrong";
  EXPECT_EQ(bbl.find("xxx"), std::string::npos) << "a token left in the .bbl";
  EXPECT_EQ(bbl.find("\\mbox{}"), std::string::npos) << "corvina adds nothing behind a character";
  for (const auto& p : list) {
    const std::string entry = entry_text(bbl, p.key);
    const auto families = braced_after(entry, "family={", true);
    ASSERT_EQ(families.size(), 1u) << p.key;
    EXPECT_TRUE(families[0] == p.family) << p.key << ": name not decoded";
    const auto titles = braced_after(entry, "\\field{title}{", true);
    ASSERT_EQ(titles.size(), 1u) << p.key;
    EXPECT_TRUE(unwrap_bibtex(titles[0]) == p.title) << p.key << ": title not decoded";
  }
  if (backend == Backend::kBibtex8) {
    EXPECT_NE(entry_text(bbl, "yiding").find("\n  "), std::string::npos) << "premise: bibtex8 wraps the long title";
  }
  EXPECT_TRUE(testing::file_exists(folder() / "thesis-tmp.bbl")) << "the decoded copy is not where the preprocessor read it";
}

INSTANTIATE_TEST_SUITE_P(Backends, CorvinaBig5, ::testing::Values(Backend::kBibtex8, Backend::kBiber),
                         [](const auto& info) {
                           return std::string(info.param == Backend::kBiber ? "biber" : "bibtex8");
                         });

}  // namespace
}  // namespace corvina::e2e
