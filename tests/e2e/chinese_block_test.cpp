// A mixed list: the Chinese entries stand as one block after the Latin-script ones, or before
// them with --chinese-first, whatever sorts them: biber, biblatex's bibtex style, or a
// classic bibtex style (plain, plainnat with natbib), run by bibtex or bibtex8. No sort key
// is left anywhere in the final .bbl. The block last under biblatex, with biber, bibtex and
// bibtex8, is the whole run's, which checks the full order and the initials.

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace corvina::e2e {
namespace {

// The Latin names in their order, Yang, Zhang and Zimmermann among them, which once fell
// behind the Chinese block; the Chinese names in "family, given" and single-field form.
const std::vector<Book> kPeople = {
    {"abbott", "Abbott, Ann", "T"}, {"xu", "Xu, Li", "T"},     {"yang", "Yang, Wei", "T"},
    {"zhang", "Zhang, Min", "T"},   {"zimmermann", "Zimmermann, Jo", "T"}, {"wang", "王, 小明", "T"},
    {"dingyi", "丁一", "T"},        {"chen", "陳, 大文", "T"},  {"ouyang", "歐陽, 修", "T"},
};

// The keys of a .bbl in file order: biblatex's \entry{key} or \bibitem[label]{key}.
std::vector<std::string> keys_in_order(const std::string& bbl) {
  std::vector<std::string> keys = entry_keys(bbl);
  static const std::regex bibitem("\\\\bibitem(\\[(?:[^\\[\\]]|\\[[^\\]]*\\])*\\])?\\s*\\{([^}]*)\\}");
  for (std::sregex_iterator m(bbl.begin(), bbl.end(), bibitem), end; m != end; ++m) keys.push_back((*m)[2]);
  return keys;
}

struct Case {
  const char* name;
  const char* program;   // with its options
  const char* tool;      // the back end that must run
  const char* preamble;  // how the document asks for its bibliography
  bool chinese_first;
};

const char* const kBiber = "\\usepackage[backend=biber,style=authoryear]{biblatex}\n\\addbibresource{refs.bib}\n";
const char* const kBibtex = "\\usepackage[backend=bibtex,style=authoryear]{biblatex}\n\\addbibresource{refs.bib}\n";
const char* const kPlainnat = "\\usepackage{natbib}\n\\bibliographystyle{plainnat}\n";
const char* const kPlain = "\\bibliographystyle{plain}\n";

const Case kCases[] = {
    {"utf8_biber_chinese_first", "corvina4", "biber", kBiber, true},
    {"utf8_bibtex_biblatex_chinese_first", "corvina4", "bibtex", kBibtex, true},
    {"utf8_bibtex_plainnat", "corvina4", "bibtex", kPlainnat, false},
    {"utf8_bibtex_plainnat_chinese_first", "corvina4", "bibtex", kPlainnat, true},
    {"utf8_bibtex_plain_chinese_first", "corvina4", "bibtex", kPlain, true},
    {"utf8_pinyin_biber_chinese_first", "corvina4 -p", "biber", kBiber, true},
    {"utf8_pinyin_bibtex_plainnat", "corvina4 -p", "bibtex", kPlainnat, false},
    {"big5_bibtex8_biblatex_chinese_first", "corvina", "bibtex8", kBibtex, true},
    {"big5_bibtex8_plainnat", "corvina", "bibtex8", kPlainnat, false},
    {"big5_bibtex8_plainnat_chinese_first", "corvina", "bibtex8", kPlainnat, true},
};
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class ChineseEntries : public DocumentFolder, public ::testing::WithParamInterface<Case> {};

TEST_P(ChineseEntries, LatinEntriesSplitOrBlockOnTheWrongSide) {
  const Case& c = GetParam();
  const bool big5 = std::string(c.program) == "corvina", biblatex = std::string(c.preamble).find("biblatex") != std::string::npos;
  CORVINA_SKIP_WITHOUT("pdflatex", "kpsewhich", "iconv", c.tool, biblatex ? "biblatex" : "pdflatex");
  ASSERT_TRUE(write_database("refs.bib", database_of(kPeople, "  publisher = {P},\n  year = {2001},\n"), big5));
  const std::string document = "\\documentclass{article}\n" + std::string(c.preamble) +
                               "\\begin{document}\n\\nocite{*}\n" +
                               (biblatex ? "" : "\\bibliography{refs}\n") + "\\end{document}\n";
  const Shell run = latex_then(document, std::string(c.program) + (c.chinese_first ? " --chinese-first" : ""));
  ASSERT_EQ(run.status, 0) << run.output;
  CORVINA_EXPECT_RAN(c.tool);

  const std::string bbl = read_file("thesis.bbl");
  EXPECT_FALSE(holds_sort_key(bbl)) << "a sort key left in the .bbl:\n" << bbl;
  std::vector<std::string> latin;
  for (const Book& p : kPeople) {
    const bool chinese = static_cast<unsigned char>(p.author[0]) >= 0x80;
    if (!chinese) latin.push_back(p.key);
    const std::string entry = entry_text(bbl, p.key);
    for (const char* initial : {"i={Z\\bibinit", "i={0\\bibinit"})
      EXPECT_TRUE(!chinese || entry.find(initial) == std::string::npos) << "initial from a sort key:\n" << entry;
  }
  std::vector<std::string> keys = keys_in_order(bbl), block;
  ASSERT_EQ(keys.size(), kPeople.size()) << bbl;
  // The Chinese keys in the order they came, and the whole list with them as one block.
  for (const std::string& key : keys)
    if (std::find(latin.begin(), latin.end(), key) == latin.end()) block.push_back(key);
  std::vector<std::string> expected = c.chinese_first ? block : latin;
  const std::vector<std::string>& rest = c.chinese_first ? latin : block;
  expected.insert(expected.end(), rest.begin(), rest.end());
  EXPECT_EQ(keys, expected) << "the Chinese entries are not one block " << (c.chinese_first ? "first" : "last");
}

CORVINA_INSTANTIATE_BY_NAME(Cases, ChineseEntries, kCases);

}  // namespace
}  // namespace corvina::e2e
