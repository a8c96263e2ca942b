// Whole runs of corvina4 with the real back ends: pdflatex makes the control files, corvina4
// stands in for the back end, and the final .bbl is checked.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "run_fixture.h"

namespace corvina::e2e {
namespace {

namespace fs = std::filesystem;
using testing::file_exists;
using testing::read_file;
using testing::write_file;

struct Person {
  const char* key;
  const char* author;  // as written in the database
  const char* family;  // the family name the back end reports
  const char* title;
};

// Chinese names begin with characters of known groups (one and two strokes, four, seven,
// eight, thirteen, fourteen; in zhuyin order ㄅ, ㄉ, ㄎ, ㄐ, ㄓ, ㄖ, ㄧ, ㄩ, ㄞ, ㄦ), two share
// their first character so the second decides, and one is written in full-width letters,
// which have no group at all. The Latin names fall before (a..w), between (Xu: "xu" < "xxx")
// and after (y, z) the Chinese ones.
const std::vector<Person> kPeople = {
    {"yiding", "一丁", "一丁", "一般語言學概論"},
    {"dingyi", "丁一", "丁一", "臺灣史料彙編"},
    {"renzhong", "人中", "人中", "中國文學批評史"},
    {"buren", "不人", "不人", "明清小說研究"},
    {"zhongyi", "中一", "中一", "唐詩的格律與聲韻"},
    {"zhongche", "中車", "中車", "宋代書院制度考"},
    {"cheren", "車人", "車人", "近代報刊與輿論"},
    {"eryi", "兒一", "兒一", "兒童文學的起源"},
    {"airen", "愛人", "愛人", "愛情小說的敘事"},
    {"huizhong", "會中", "會中", "會計史研究"},
    {"shuoding", "說丁", "說丁", "說文解字注疏"},
    {"fullwidth", "ＡＢＣ", "ＡＢＣ", "全形字母的排序"},
    {"abbott", "Abbott, Ann", "Abbott", "Chinese Phonology"},
    {"wu", "Wu, Hua", "Wu", "Tang Poetry in Translation"},
    {"xu", "Xu, Li", "Xu", "Printing in the Song Dynasty"},
    {"yang", "Yang, Wei", "Yang", "Classical Chinese Grammar"},
    {"zhou", "Zhou, Min", "Zhou", "Bronze Inscriptions"},
};

std::string database_of(const std::vector<Person>& people) {
  std::string text = "% Test database: invented authors and titles.\n";
  int year = 1990;
  for (const auto& p : people) {
    text += "@book{" + std::string(p.key) + ",\n  author = {" + p.author + "},\n  title = {" + p.title +
            "},\n  publisher = {文史出版社},\n  year = {" + std::to_string(year++) + "},\n}\n\n";
  }
  return text;
}

bool is_chinese(const std::string& family) { return static_cast<unsigned char>(family[0]) >= 0x80; }

// The order the back end must give: the sort tokens (and Latin names) compared without case.
std::vector<std::string> expected_order(const std::vector<Person>& people, bool zhuyin) {
  std::vector<std::pair<std::string, std::string>> keyed;
  for (const auto& p : people) {
    const std::string sort_text = is_chinese(p.family) ? utf8_token(p.family, zhuyin) : std::string(p.family);
    keyed.emplace_back(ascii_lower(sort_text), p.key);
  }
  std::sort(keyed.begin(), keyed.end());
  std::vector<std::string> keys;
  for (const auto& k : keyed) keys.push_back(k.second);
  return keys;
}

struct OrderCase {
  const char* name;
  Backend backend;
  bool zhuyin;
};

void PrintTo(const OrderCase& c, std::ostream* out) { *out << c.name; }

class Corvina4Run : public DocumentFolder {};

class Corvina4Order : public DocumentFolder, public ::testing::WithParamInterface<OrderCase> {};

TEST_P(Corvina4Order, EntriesOutOfChineseOrderOrLeftEncoded) {
  const OrderCase c = GetParam();
  CORVINA_SKIP_WITHOUT("pdflatex", "biblatex", c.backend == Backend::kBiber ? "biber" : "bibtex");
  write_document(biblatex_document(std::string("backend=") + backend_option(c.backend), {"\\addbibresource{refs.bib}"}));
  write_database(folder() / "refs.bib", database_of(kPeople));
  make_control_files(c.backend);
  if (HasFatalFailure()) return;

  std::vector<std::string> argv = {"corvina4"};
  if (c.zhuyin) argv.push_back("-y");
  argv.push_back("thesis");
  const std::string bbl = run_and_check(argv, c.backend);
  ASSERT_FALSE(bbl.empty());

  EXPECT_EQ(entry_keys(bbl), expected_order(kPeople, c.zhuyin)) << (c.zhuyin ? "zhuyin" : "stroke") << " order wrong";
  EXPECT_EQ(bbl.find("xxx"), std::string::npos) << "a token left in the .bbl";
  for (const auto& p : kPeople) {
    const std::string entry = entry_text(bbl, p.key);
    const auto families = braced_after(entry, "family={");
    ASSERT_EQ(families.size(), 1u) << p.key;
    EXPECT_EQ(without_mbox(families[0]), p.family) << p.key << ": name not decoded";
    const auto titles = braced_after(entry, "\\field{title}{");
    ASSERT_EQ(titles.size(), 1u) << p.key;
    EXPECT_EQ(unwrap_bibtex(without_mbox(titles[0])), p.title) << p.key << ": title not decoded";
    EXPECT_NE(entry.find("文史出版社"), std::string::npos) << p.key << ": publisher not decoded";
  }
  EXPECT_TRUE(file_exists(folder() / "temp21-tmp.bbl")) << "the decoded copy is not where the preprocessor read it";
}

INSTANTIATE_TEST_SUITE_P(Backends, Corvina4Order,
                         ::testing::Values(OrderCase{"biber_strokes", Backend::kBiber, false},
                                           OrderCase{"biber_zhuyin", Backend::kBiber, true},
                                           OrderCase{"bibtex_strokes", Backend::kBibtex, false},
                                           OrderCase{"bibtex_zhuyin", Backend::kBibtex, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// The zhuyin groups beyond 26 (ㄞ is 29, ㄦ is 37) must not fold onto the first letters
// (ㄅ..ㄏ) when the back end ignores case: a plain check of that one fact, apart from the
// full order above, so that its failure names the fault.
TEST_F(Corvina4Run, ZhuyinFinalsFoldOntoInitials) {
  CORVINA_SKIP_WITHOUT("pdflatex", "biblatex", "biber");
  const std::vector<Person> people = {
      {"bu", "不人", "不人", "甲"}, {"er", "兒一", "兒一", "乙"}, {"ai", "愛人", "愛人", "丙"},
      {"shuo", "說丁", "說丁", "丁"}, {"hui", "會中", "會中", "戊"},
  };
  write_document(biblatex_document("backend=biber", {"\\addbibresource{refs.bib}"}));
  write_database(folder() / "refs.bib", database_of(people));
  make_control_files(Backend::kBiber);
  if (HasFatalFailure()) return;
  const std::string bbl = run_and_check({"corvina4", "-y", "thesis"}, Backend::kBiber);
  // ㄅ (不), ㄎ (會), ㄩ (說), then the finals ㄞ (愛) and ㄦ (兒).
  EXPECT_EQ(entry_keys(bbl), (std::vector<std::string>{"bu", "hui", "shuo", "ai", "er"}));
}

// ---------------------------------------------------------------------------------------
// Long titles: bibtex wraps a long field at its blanks; biber writes it on one long line.

std::string repeat_characters(const std::vector<std::string>& pool, size_t count, size_t blank_every) {
  std::string text;
  for (size_t i = 0; i < count; ++i) {
    if (blank_every && i && i % blank_every == 0) text += ' ';
    text += pool[i % pool.size()];
  }
  return text;
}

const std::vector<std::string> kTitleCharacters = {"臺", "灣", "語", "言", "文", "化", "史", "論", "集",
                                                   "研", "究", "與", "資", "料", "編", "年", "考"};

TEST_F(Corvina4Run, LongTitlesNotComingBackWhole) {
  CORVINA_SKIP_WITHOUT("pdflatex", "biblatex", "bibtex", "biber");
  const std::string wrapped = repeat_characters(kTitleCharacters, 40, 5);  // 40 characters, 7 blanks
  const std::string long_line = repeat_characters(kTitleCharacters, 100, 0);
  // The authors sort one way by strokes (車 7, 說 14) and the other way by code point, so the
  // order shows that the titles really went through the encoder.
  const std::string database = "@book{wrapped,\n  author = {說丁},\n  title = {" + wrapped +
                               "},\n  year = {2001},\n}\n\n@book{longline,\n  author = {車人},\n  title = {" +
                               long_line + "},\n  year = {2002},\n}\n";

  for (const Backend backend : {Backend::kBibtex, Backend::kBiber}) {
    SCOPED_TRACE(backend_option(backend));
    const fs::path sub = folder() / backend_option(backend);
    fs::create_directory(sub);
    fs::current_path(sub);
    write_file(sub / "thesis.vdk", biblatex_document(std::string("backend=") + backend_option(backend),
                                                     {"\\addbibresource{refs.bib}"}));
    fs::copy_file(sub / "thesis.vdk", sub / "thesis.tex");
    write_file(sub / "refs.bib", database);
    const RunResult latex = run({"pdflatex", "-interaction=nonstopmode", "thesis.tex"});
    ASSERT_EQ(latex.status, 0) << tail(latex.output);
    const RunResult result = run_program({"corvina4", "thesis"});
    EXPECT_EQ(result.status, 0) << tail(result.output);
    EXPECT_EQ(read_file(sub / "refs.bib"), database) << "database not restored";
    const std::string bbl = read_file(sub / "thesis.bbl");
    fs::current_path(folder());

    EXPECT_EQ(entry_keys(bbl), (std::vector<std::string>{"longline", "wrapped"})) << "not encoded";
    // The premise: bibtex did wrap the encoded title, and biber did write a line of over
    // 700 bytes; otherwise this test would prove nothing.
    const std::string wrapped_entry = entry_text(bbl, "wrapped");
    const std::string long_entry = entry_text(bbl, "longline");
    const auto wrapped_titles = braced_after(wrapped_entry, "\\field{title}{");
    const auto long_titles = braced_after(long_entry, "\\field{title}{");
    ASSERT_EQ(wrapped_titles.size(), 1u) << bbl;
    ASSERT_EQ(long_titles.size(), 1u) << bbl;
    if (backend == Backend::kBibtex) {
      EXPECT_NE(wrapped_titles[0].find("\n  "), std::string::npos) << "bibtex did not wrap the title";
    }
    EXPECT_EQ(unwrap_bibtex(without_mbox(wrapped_titles[0])), wrapped) << "title with blanks changed";
    EXPECT_EQ(without_mbox(long_titles[0]), long_line) << "100-character title changed";
    EXPECT_EQ(bbl.find("xxx"), std::string::npos) << "a token left in the .bbl";
  }
}

// ---------------------------------------------------------------------------------------
// Text that only looks like a token: alphabetic labels built from the first letters of a
// token ("xxx" and a year), and plain text with "xxx" in it, must come out as the back end
// wrote them.

// Encodes every run of three-byte characters the way corvina4 does in stroke order, for the
// telling characters; the reference that the back end is run on directly.
std::string encode_telling(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (b >= 0xE0 && b < 0xF0) {
      size_t j = i;
      while (j < text.size() && static_cast<unsigned char>(text[j]) >= 0xE0 &&
             static_cast<unsigned char>(text[j]) < 0xF0)
        j += 3;
      out += utf8_token(text.substr(i, j - i), false);
      i = j;
    } else {
      out += text[i++];
    }
  }
  return out;
}

// The label fields that an alphabetic style builds from the names, per entry: these hold
// pieces of tokens and no Chinese text, so they must be identical with and without corvina4.
std::vector<std::string> label_lines(const std::string& entry) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < entry.size()) {
    size_t end = entry.find('\n', start);
    if (end == std::string::npos) end = entry.size();
    const std::string line = entry.substr(start, end - start);
    if (line.find("labelalpha}") != std::string::npos || line.find("\\strng{") != std::string::npos ||
        line.find("{note}") != std::string::npos || line.find("extraalpha") != std::string::npos)
      lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

TEST_F(Corvina4Run, AlphabeticLabelFromTokenMangled) {
  CORVINA_SKIP_WITHOUT("pdflatex", "biblatex", "bibtex", "biber");
  const std::string database =
      "@book{single,\n  author = {一丁},\n  title = {丁一},\n  year = {2000},\n"
      "  note = {Preprint at xxx.lanl.gov, see xxx0 and xxxA}\n}\n\n"
      "@book{four,\n  author = {兒一 and 愛人 and 說丁 and 車人},\n  title = {人中},\n  year = {2001},\n}\n\n"
      "@book{three,\n  author = {兒一 and 愛人 and 說丁},\n  title = {中一},\n  year = {2003},\n}\n\n"
      "@article{mixed,\n  author = {兒一 and Smith, John},\n  title = {不人},\n  journal = {會中},\n"
      "  year = {2004},\n}\n";

  for (const Backend backend : {Backend::kBiber, Backend::kBibtex}) {
    SCOPED_TRACE(backend_option(backend));
    const std::string document = biblatex_document(std::string("backend=") + backend_option(backend) +
                                                       ",style=alphabetic",
                                                   {"\\addbibresource{refs.bib}"});
    const std::string program = backend == Backend::kBiber ? "biber" : "bibtex";
    std::map<std::string, std::string> reference_bbl;
    for (const std::string which : {"reference", "corvina4"}) {
      const fs::path sub = folder() / (program + "-" + which);
      fs::create_directory(sub);
      fs::current_path(sub);
      write_file(sub / "thesis.vdk", document);
      write_file(sub / "thesis.tex", document);
      write_file(sub / "refs.bib", which == "reference" ? encode_telling(database) : database);
      const RunResult latex = run({"pdflatex", "-interaction=nonstopmode", "thesis.tex"});
      ASSERT_EQ(latex.status, 0) << tail(latex.output);
      const RunResult back_end =
          which == "reference" ? run({program, "thesis"}) : run_program({"corvina4", "thesis"});
      EXPECT_EQ(back_end.status, 0) << which << ":\n" << tail(back_end.output);
      reference_bbl[which] = read_file(sub / "thesis.bbl");
      fs::current_path(folder());
    }
    const std::string& expected = reference_bbl["reference"];
    const std::string& actual = reference_bbl["corvina4"];
    // The premise: the back end built labels from the tokens.
    ASSERT_NE(expected.find("{labelalpha}{xxx"), std::string::npos) << expected;
    EXPECT_EQ(entry_keys(actual), entry_keys(expected));
    for (const std::string key : {"single", "four", "three", "mixed"}) {
      EXPECT_EQ(label_lines(entry_text(actual, key)), label_lines(entry_text(expected, key))) << key;
    }
    // And the real tokens around them were decoded.
    EXPECT_NE(actual.find("說丁"), std::string::npos);
    EXPECT_NE(actual.find("會中"), std::string::npos);
  }
}

// ---------------------------------------------------------------------------------------
// Finding databases the way TeX does.

TEST_F(Corvina4Run, DatabaseOnlyOnBibinputsNotUsed) {
  CORVINA_SKIP_WITHOUT("pdflatex", "biblatex", "biber", "kpsewhich");
  const fs::path library = folder() / "library";
  fs::create_directory(library);
  const fs::path work = folder() / "work";
  fs::create_directory(work);
  fs::current_path(work);
  write_database(library / "shared.bib", database_of({kPeople[10], kPeople[6], kPeople[12]}));
  const std::string document = biblatex_document("backend=biber", {"\\addbibresource{shared.bib}"});
  write_file(work / "thesis.vdk", document);
  write_file(work / "thesis.tex", document);
  // The document's own folder holds no shared.bib: only the locator can find it.
  const std::map<std::string, std::string> env = {{"BIBINPUTS", library.string() + ":"}};
  {
    const RunResult latex = run({"pdflatex", "-interaction=nonstopmode", "thesis.tex"});
    ASSERT_EQ(latex.status, 0) << tail(latex.output);
  }
  const RunResult result = run_program({"corvina4", "thesis"}, env);
  EXPECT_EQ(result.status, 0) << tail(result.output);
  check_databases_restored();
  EXPECT_FALSE(file_exists(work / "shared.bib")) << "the encoded copy stayed in the document's folder";
  for (const char* leftover : {"shared.bib-tmp.bib", "shared.bib-backup.bib", "findbib@.txt", "bug.txt"})
    EXPECT_FALSE(file_exists(work / leftover)) << leftover << " left behind";
  const std::string bbl = read_file(work / "thesis.bbl");
  // 車 (7 strokes, U+8ECA) before 說 (14 strokes, U+8AAA): only the encoded copy sorts so.
  EXPECT_EQ(entry_keys(bbl), (std::vector<std::string>{"abbott", "cheren", "shuoding"}))
      << "the back end read the database unencoded";
  EXPECT_EQ(bbl.find("xxx"), std::string::npos) << "not decoded";
  EXPECT_NE(bbl.find("說丁"), std::string::npos);
}

TEST_F(Corvina4Run, DatabaseNamedWithoutExtensionNotEncoded) {
  CORVINA_SKIP_WITHOUT("pdflatex", "biblatex", "biber");
  write_document(biblatex_document("backend=biber", {"\\bibliography{refs}"}));
  write_database(folder() / "refs.bib", database_of({kPeople[10], kPeople[6], kPeople[15], kPeople[7]}));
  make_control_files(Backend::kBiber);
  if (HasFatalFailure()) return;
  const std::string bbl = run_and_check({"corvina4", "thesis"}, Backend::kBiber);
  // Unencoded, biber would put the Latin name first and the Chinese ones by code point:
  // 兒 (U+5152), 說 (U+8AAA), 車 (U+8ECA). Encoded: 車 (7 strokes), 兒 (8), 說 (14), then "yang".
  EXPECT_EQ(entry_keys(bbl), (std::vector<std::string>{"cheren", "eryi", "shuoding", "yang"}));
  EXPECT_EQ(bbl.find("xxx"), std::string::npos);
  EXPECT_FALSE(file_exists(folder() / "refs")) << "a file without extension was made";
}

// ---------------------------------------------------------------------------------------
// The latexmk recipe of examples/latexmkrc, used as it stands.

TEST_F(Corvina4Run, LatexmkRecipeDoesNotRunCorvina4) {
  CORVINA_SKIP_WITHOUT("pdflatex", "biblatex", "biber", "bibtex", "latexmk");
  const std::string recipe = read_file(fs::path(CORVINA_SOURCE_DIR) / "examples" / "latexmkrc");
  ASSERT_NE(recipe.find("corvina4"), std::string::npos);
  const std::map<std::string, std::string> env = {{"PATH", path_with_programs()}};

  for (const Backend backend : {Backend::kBiber, Backend::kBibtex}) {
    SCOPED_TRACE(backend_option(backend));
    const fs::path sub = folder() / backend_option(backend);
    fs::create_directory(sub);
    fs::current_path(sub);
    write_file(sub / "latexmkrc", recipe);
    // Only NAME.tex: the recipe has to provide NAME.vdk itself.
    write_file(sub / "thesis.tex", std::string("\\documentclass{article}\n\\usepackage[backend=") +
                                       backend_option(backend) + "]{biblatex}\n\\addbibresource{refs.bib}\n"
                                       "\\begin{document}\nSee \\cite{eryi} and \\cite{abbott}.\n\\nocite{*}\n"
                                       "\\end{document}\n");
    write_database(sub / "refs.bib", database_of(kPeople));

    const RunResult first = run({"latexmk", "-interaction=nonstopmode", "thesis.tex"}, env);
    EXPECT_EQ(first.status, 0) << tail(first.output);
    EXPECT_NE(first.output.find("corvina4"), std::string::npos) << "latexmk did not run corvina4:\n"
                                                                << tail(first.output);
    EXPECT_TRUE(file_exists(sub / "thesis.pdf"));
    check_databases_restored();
    const std::string bbl = read_file(sub / "thesis.bbl");
    EXPECT_EQ(entry_keys(bbl), expected_order(kPeople, false));
    EXPECT_EQ(bbl.find("xxx"), std::string::npos);

    // A second latexmk sees nothing changed: the run left the database as it found it.
    const RunResult second = run({"latexmk", "-interaction=nonstopmode", "thesis.tex"}, env);
    EXPECT_EQ(second.status, 0) << tail(second.output);
    EXPECT_EQ(second.output.find("Running '"), std::string::npos)
        << "latexmk ran something again after a complete run:\n" << tail(second.output);
    fs::current_path(folder());
  }
}

}  // namespace
}  // namespace corvina::e2e
