// Names whose first characters span every stroke count, through the real back ends: the
// entries must come in order of the first character's stroke count, then its code (the code
// point in corvina4, the Big5 code in corvina), whichever back end sorts them.

#include <iconv.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "e2e_support.h"

namespace corvina::e2e {
namespace {

struct First {
  const char* character;  // UTF-8
  int strokes;            // counted by hand, as Taiwan counts
};

// Traditional and simplified, in Big5 and outside it, three- and four-byte. 恒 碁 裏 are among
// the characters vendors appended to Big5; 驪 is one that Big5 ranks with the wrong count.
const First kFirsts[] = {
    {"一", 1},  {"丁", 2},  {"乂", 2},  {"大", 3},  {"王", 4},  {"邓", 4},  {"白", 5},  {"刘", 6},
    {"朱", 6},  {"𠮷", 6},  {"张", 7},  {"陈", 7},  {"吴", 7},  {"李", 7},  {"林", 8},  {"𡘙", 9},
    {"恒", 9},  {"姚", 9},  {"孫", 10}, {"黄", 11}, {"堃", 11}, {"張", 11}, {"陳", 11}, {"喆", 12},
    {"犇", 12}, {"黃", 12}, {"碁", 13}, {"裏", 13}, {"楊", 13}, {"趙", 14}, {"劉", 15}, {"鄧", 15},
    {"盧", 16}, {"謝", 17}, {"顏", 18}, {"羅", 19}, {"嚴", 20}, {"顧", 21}, {"龔", 22}, {"欒", 23},
    {"靈", 24}, {"觀", 25}, {"驢", 26}, {"鑽", 27}, {"鸚", 28}, {"驪", 29}, {"鬱", 29}, {"鸞", 30},
    {"龘", 48}, {"𪚥", 64},
};

// The characters vendors appended at F9D6..F9DC, which the C library's Big5 lacks.
const std::pair<std::string, std::string> kAppended[] = {
    {"碁", "\xF9\xD6"}, {"裏", "\xF9\xD8"}, {"恒", "\xF9\xDA"}};

char32_t code_point(const std::string& utf8) {
  const auto b = [&](size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(utf8[i])); };
  return utf8.size() == 4 ? (b(0) & 7) << 18 | (b(1) & 63) << 12 | (b(2) & 63) << 6 | (b(3) & 63)
                          : (b(0) & 15) << 12 | (b(1) & 63) << 6 | (b(2) & 63);
}

// The Big5 bytes of a character; empty when Big5 has none.
std::string big5_of(const std::string& utf8) {
  for (const auto& [character, bytes] : kAppended)
    if (character == utf8) return bytes;
  const iconv_t to_big5 = iconv_open("BIG5", "UTF-8");
  if (to_big5 == reinterpret_cast<iconv_t>(-1)) return "";
  std::string in = utf8, out(4, '\0');
  char *from = in.data(), *to = out.data();
  size_t in_left = in.size(), out_left = out.size();
  const bool converted = iconv(to_big5, &from, &in_left, &to, &out_left) != static_cast<size_t>(-1);
  iconv_close(to_big5);
  return converted ? out.substr(0, out.size() - out_left) : "";
}

struct Name {
  std::string key, family;
};

// One entry per first character; its family name is the character and 文, in the program's
// encoding. The database lists them in an order unlike the expected one. `expected` receives
// the keys in order of stroke count, then code.
std::vector<Name> names(bool big5, std::vector<std::string>& expected) {
  std::vector<std::tuple<int, unsigned, std::string>> order;
  std::vector<Name> out;
  for (size_t i = 0; i < std::size(kFirsts); ++i) {
    const std::string character = kFirsts[i].character;
    const std::string bytes = big5 ? big5_of(character) : character;
    if (bytes.empty()) continue;  // no Big5 form
    const unsigned code = big5 ? static_cast<unsigned char>(bytes[0]) * 256u + static_cast<unsigned char>(bytes[1])
                               : code_point(character);
    const std::string key = "n" + std::to_string(i);
    out.push_back({key, bytes + (big5 ? big5_of("文") : "文")});
    order.emplace_back(kFirsts[i].strokes, code, key);
  }
  std::sort(order.begin(), order.end());
  for (const auto& [strokes, code, key] : order) expected.push_back(key);
  std::reverse(out.begin(), out.end());
  return out;
}

struct Case {
  const char* name;
  const char* program;
  const char* backend;  // what the document asks biblatex for
  const char* tool;     // the back end that runs for it
};
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

const Case kCases[] = {
    {"utf8_biber", "corvina4", "biber", "biber"},
    {"utf8_bibtex", "corvina4", "bibtex", "bibtex"},
    {"big5_bibtex8", "corvina", "bibtex", "bibtex8"},
    {"big5_biber", "corvina", "biber", "biber"},
};

class StrokeOrder : public DocumentFolder, public ::testing::WithParamInterface<Case> {};

TEST_P(StrokeOrder, NameOutsideItsStrokeCount) {
  const Case& c = GetParam();
  CORVINA_SKIP_WITHOUT("pdflatex", "kpsewhich", "biblatex", c.tool);
  const bool big5 = std::string(c.program) == "corvina";
  if (big5 && big5_of("一").empty()) GTEST_SKIP() << "skipped: no Big5 conversion";
  std::vector<std::string> expected;
  const std::vector<Name> people = names(big5, expected);
  ASSERT_GE(people.size(), big5 ? 38u : 50u) << "premise: the names span the stroke counts";
  std::string database;
  for (const Name& p : people)
    database += "@book{" + p.key + ",\n  author = {" + p.family + "},\n  title = {Title},\n  year = {2001},\n}\n\n";
  write_file("refs.bib", database);
  const std::string document = biblatex_document("backend=" + std::string(c.backend), "\\addbibresource{refs.bib}");
  write_file("thesis.tex", document);
  write_file("thesis.vdk", document);

  const Shell run = sh("pdflatex -interaction=nonstopmode thesis.tex && " + std::string(c.program) + " thesis");
  ASSERT_EQ(run.status, 0) << run.output;
  const std::string bbl = read_file("thesis.bbl");
  EXPECT_EQ(entry_keys(bbl), expected) << "entries not in stroke order";
  for (const Name& p : people) {
    const std::string entry = without(entry_text(bbl, p.key), "\\mbox{}");
    EXPECT_EQ(braced_after(entry, "family={", big5), p.family) << p.key << ": name not decoded";
  }
  EXPECT_TRUE(read_file("refs.bib") == database) << "database not restored";
}

INSTANTIATE_TEST_SUITE_P(Backends, StrokeOrder, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace corvina::e2e
