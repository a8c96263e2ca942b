// Documents as students write them today: typeset directly by xelatex, lualatex or
// pdflatex, chapters in chapters/, databases in bib/, one database named only in a .sty or
// only in a chapter's .aux, built by latexmk with an output folder, or by arara (or by
// hand, the same commands, where arara is missing).
// Each run must end with a PDF whose bibliography is in stroke order, with no sort key in
// it or in the .bbl, and with the databases as they were.

#include <string>
#include <vector>

#include "e2e_support.h"

namespace corvina::e2e {
namespace {

// Family names in stroke order (一 1, 丁 人 2, 不 中 4, 車 7, 兒 8, 愛 會 13, 說 14; equal
// counts by code point). In code-point order, as the back end would sort the raw text,
// 人中 and 車人 stand elsewhere. The Latin names sort before the Chinese block whatever
// its prefix. 丁一 and 愛人 are in bib/extra.bib, which the biblatex documents name only
// in mythesis.sty.
const std::vector<std::string> kStrokeOrder = {"Abbott", "Wu",   "一丁", "丁一", "人中", "不人",
                                               "中車",   "車人", "兒一", "愛人", "會中", "說丁"};

const std::string kFields = "  publisher = {文史出版社},\n  year = {2001},\n";
const std::string kRefs = "% Invented authors and titles.\n" +
                          database_of({{"a1", "說丁", "論集"}, {"a2", "中車", "宋代書院"}, {"a3", "Wu, Hua", "Tang Poetry"},
                                       {"a4", "人中", "文學批評"}, {"a5", "一丁", "語言學概論"}, {"a6", "會中", "計史"},
                                       {"a7", "車人", "版本目錄"}, {"a8", "Abbott, Ann", "Chinese Phonology"},
                                       {"a9", "兒一", "童話起源"}, {"a10", "不人", "明清研究"}},
                                      kFields);
const std::string kExtra = database_of({{"b1", "愛人", "敘事學"}, {"b2", "丁一", "臺灣史料"}}, kFields);

enum class Bibliography { kBiblatex, kNatbib };
enum class Driver { kLatexmk, kArara };

struct Case {
  const char* name;
  const char* engine;
  Bibliography bibliography;
  Driver driver;
  const char* latexmkrc = "";  // the example recipe latexmk reads
  const char* folders = "";    // latexmk's -outdir / -auxdir
  const char* bbl_folder = ".";
  const char* pdf_folder = ".";
};

const Case kCases[] = {
    {"xelatex_natbib_latexmk_auxdir", "xelatex", Bibliography::kNatbib, Driver::kLatexmk, "latexmkrc-xelatex",
     "-auxdir=aux -outdir=out", "aux", "out"},
    {"lualatex_biblatex_latexmk_outdir", "lualatex", Bibliography::kBiblatex, Driver::kLatexmk, "latexmkrc-lualatex",
     "-outdir=out", "out", "out"},
    {"pdflatex_cjkutf8_natbib_latexmk_outdir", "pdflatex", Bibliography::kNatbib, Driver::kLatexmk, "latexmkrc",
     "-outdir=out", "out", "out"},
    {"xelatex_biblatex_arara", "xelatex", Bibliography::kBiblatex, Driver::kArara},
};
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

std::string engine_preamble(const std::string& engine) {
  if (engine == "xelatex") return "\\usepackage{xeCJK}\n\\setCJKmainfont{AR PL UMing TW}\n";
  if (engine == "lualatex") return "\\usepackage{fontspec}\n\\setmainfont{AR PL UMing TW}\n";
  return "\\usepackage{CJKutf8}\n";
}

// The biblatex document names bib/refs.bib in setup/preamble.tex (\input with its
// extension) and bib/extra.bib only in mythesis.sty. The natbib document names both only
// in a file that its chapter pulls in, so only chapters/chap1.aux names them.
void write_document(const Case& c) {
  for (const char* folder : {"bib", "chapters", "setup"}) fs::create_directory(folder);
  const bool cjk = std::string(c.engine) == "pdflatex";
  std::string text = c.driver == Driver::kArara ? "% arara: xelatex\n% arara: corvina4\n% arara: xelatex\n" : "";
  text += "\\documentclass{article}\n" + engine_preamble(c.engine);
  if (c.bibliography == Bibliography::kBiblatex) {
    text += "\\usepackage[backend=biber,style=authoryear]{biblatex}\n\\usepackage{mythesis}\n"
            "\\input{setup/preamble.tex}\n";
    write_file("mythesis.sty", "\\ProvidesPackage{mythesis}\n\\addbibresource{bib/extra.bib}\n");
    write_file("setup/preamble.tex", "\\addbibresource{bib/refs.bib}\n");
    write_file("chapters/chap1.tex", "\\section{緒論}\n文獻回顧\\nocite{*}。\n");
  } else {
    text += "\\usepackage{natbib}\n";
    write_file("chapters/chap1.tex", "\\section{緒論}\n文獻回顧\\nocite{*}。\n\\input{chapters/references}\n");
    write_file("chapters/references.tex", "\\bibliographystyle{plainnat}\n\\bibliography{bib/refs,bib/extra}\n");
  }
  text += "\\begin{document}\n" + std::string(cjk ? "\\begin{CJK}{UTF8}{bsmi}\n" : "") + "\\include{chapters/chap1}\n" +
          (c.bibliography == Bibliography::kBiblatex ? "\\printbibliography\n" : "") +
          (cjk ? "\\end{CJK}\n" : "") + "\\end{document}\n";
  write_file("thesis.tex", text);
}

// Runs the document's build; returns the failing step's output, or an empty string.
std::string build(const Case& c) {
  const std::string engine = std::string(c.engine) + " -interaction=nonstopmode thesis";
  std::vector<std::string> steps;
  if (c.driver == Driver::kLatexmk) {
    fs::copy_file(fs::path(CORVINA_SOURCE_DIR) / "examples" / c.latexmkrc, "latexmkrc");
    steps = {"latexmk -interaction=nonstopmode " + std::string(c.folders) + " thesis.tex"};
  }
  if (c.driver == Driver::kArara) {
    fs::copy_file(fs::path(CORVINA_SOURCE_DIR) / "examples" / "arara" / "corvina4.yaml", "corvina4.yaml");
    write_file("araraconfig.yaml", "!config\npaths:\n- '" + fs::current_path().string() + "'\n");
    // Without arara, the commands its directives stand for.
    steps = {sh("command -v arara").status == 0 ? "arara thesis.tex" : engine + " && corvina4 thesis.tex && " + engine};
  }
  return run_steps(steps);
}

class Engines : public DocumentFolder, public ::testing::WithParamInterface<Case> {};

TEST_P(Engines, BibliographyInStrokeOrderWithoutSortKeysAndDatabasesUnchanged) {
  const Case& c = GetParam();
  CORVINA_SKIP_WITHOUT(c.engine, "biber", "bibtex", "pdftotext", "biblatex");
  if (c.driver == Driver::kLatexmk) CORVINA_SKIP_WITHOUT("latexmk");
  CORVINA_SKIP_WITHOUT_CHINESE(c.engine);
  write_document(c);
  write_file("bib/refs.bib", kRefs);
  write_file("bib/extra.bib", kExtra);
  const auto old_time = make_old("bib/refs.bib");
  fs::last_write_time("bib/extra.bib", old_time);

  ASSERT_EQ(build(c), "");

  const std::string pdf = (fs::path(c.pdf_folder) / "thesis.pdf").string();
  const Shell text = sh("pdftotext -enc UTF-8 " + pdf + " -");
  ASSERT_EQ(text.status, 0) << text.output;
  size_t at = 0;
  for (const std::string& name : kStrokeOrder) {
    const size_t found = text.output.find(name, at);
    ASSERT_NE(found, std::string::npos) << name << " missing or out of stroke order in:\n" << text.output;
    at = found + name.size();
  }
  EXPECT_FALSE(holds_sort_key(text.output)) << text.output;
  const std::string bbl = read_file(fs::path(c.bbl_folder) / "thesis.bbl");
  EXPECT_FALSE(holds_sort_key(bbl)) << bbl;

  expect_kept("bib/refs.bib", kRefs, old_time);
  expect_kept("bib/extra.bib", kExtra, old_time);
  expect_no_working_files({"-tmp.bbl"});
  if (c.driver == Driver::kLatexmk) {  // a second build sees nothing changed: the run left all as it found it
    const Shell again = sh("latexmk -interaction=nonstopmode " + std::string(c.folders) + " thesis.tex");
    EXPECT_EQ(again.status, 0) << again.output;
    EXPECT_EQ(again.output.find("Running '"), std::string::npos) << "latexmk ran something again:\n" << again.output;
  }
}

CORVINA_INSTANTIATE_BY_NAME(Documents, Engines, kCases);

}  // namespace
}  // namespace corvina::e2e
