// Leaving out the entries that a document does not need changes nothing the back end
// writes: over generated documents (random citations; aliases; crossref and xref parents
// cited or not, under several mincrossrefs; xdata chains and granular xdata; related
// entries; static and dynamic sets; two refsections; two databases that name each other's
// entries; \nocite{*}; a key cited in another case), the final .bbl of a run equals byte
// for byte the one of a run with --all-entries, with the real biber and bibtex.

#include <random>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace corvina::e2e {
namespace {

enum class Backend { kBiber, kBiblatexBibtex, kClassicBibtex };

struct Case {
  const char* name;
  Backend backend;
  unsigned seed;
  const char* program = "corvina4";  // corvina reads the Big5 twins of the databases
};

// One generated document: its two databases and the document itself.
struct Document {
  std::string a_bib, b_bib, tex;
  bool cites_everything = false;
};

class Generator {
 public:
  Generator(Backend backend, unsigned seed) : backend_(backend), seed_(seed), random_(seed) {}

  Document make() {
    entries();
    Document doc;
    doc.a_bib = "@string{pub = {國立臺灣大學出版中心}}\n@preamble{\"\\newcommand{\\noop}[1]{}\"}\n" + a_;
    doc.b_bib = "@comment{the other database}\n" + b_;
    doc.cites_everything = seed_ % 4 == 0;  // of each back end's cases, one in four
    doc.tex = backend_ == Backend::kClassicBibtex ? classic_tex(doc.cites_everything) : biblatex_tex(doc.cites_everything);
    return doc;
  }

 private:
  bool biber() const { return backend_ == Backend::kBiber; }
  bool chance(unsigned one_in) { return random_() % one_in == 0; }
  std::string pick(const std::vector<std::string>& from) { return from[random_() % from.size()]; }

  // Adds an entry to one of the two databases, its key to those that may be cited.
  void add(const std::string& type, const std::string& key, const std::string& fields, bool citable = true) {
    static const std::vector<std::string> authors = {"王, 小明", "陳大文", "Abbott, Ann", "李, 美玲", "Zhang, Wei"};
    static const std::vector<std::string> titles = {"臺灣語言研究", "方言調查", "Tone Sandhi", "語言地圖集", "Printing"};
    std::string entry = "@" + type + "{" + key + ",\n";
    if (type != "set" && type != "xdata") {  // one draw a statement, so that a seed means one database
      entry += "  author = {" + pick(authors) + "},\n";
      entry += "  title = {" + pick(titles) + " " + key + "},\n";
      entry += "  year = {" + std::to_string(1990 + random_() % 30) + "},\n";
      if (chance(3)) entry += "  publisher = pub,\n";
    }
    entry += fields + "}\n\n";
    (chance(2) ? a_ : b_) += entry;
    if (citable) keys_.push_back(key);
  }

  void entries() {
    for (int i = 0; i < 8; ++i) add("book", "p" + std::to_string(i), "");
    // Parents and their children, in either database.
    add(backend_ == Backend::kClassicBibtex ? "book" : "collection", "coll1", "  editor = {林, 中},\n");
    add(backend_ == Backend::kClassicBibtex ? "book" : "collection", "coll2", "  booktitle = {語言與文學},\n");
    for (int i = 0; i < 4; ++i) {
      add("incollection", "ch" + std::to_string(i), "  crossref = {coll" + std::to_string(1 + i % 2) + "},\n");
    }
    // An alias, cited as written or in another case.
    add("book", "aliased", "  ids = {alias-one, AliasTwo},\n");
    keys_.insert(keys_.end(), {"alias-one", "aliastwo", "P3"});
    if (backend_ == Backend::kClassicBibtex) return;
    add("book", "xparent", "");
    add("inbook", "xchild1", "  xref = {xparent},\n");
    add("inbook", "xchild2", "  xref = {xparent},\n  related = {p1},\n");
    // Static sets, and a related entry that leads on.
    add("set", "set1", "  entryset = {sm1,sm2},\n");
    add("book", "sm1", "");
    add("book", "sm2", "  crossref = {coll2},\n");
    add("book", "rel1", "  related = {rel2},\n  relatedtype = {bytranslator},\n");
    add("book", "rel2", "  related = {p6},\n");
    if (!biber()) return;
    // xdata chains and a granular reference to a key that holds a dash.
    add("xdata", "xd1", "  location = {臺北},\n  xdata = {xd2},\n", false);
    add("xdata", "xd2", "  publisher = {中央研究院},\n", false);
    add("xdata", "g-x", "  note = {Granular note},\n", false);
    add("book", "xuser", "  xdata = {xd1},\n");
    add("book", "granular", "  note = {xdata=g-x-note},\n");
  }

  std::string cited() {
    std::string list;
    for (const std::string& key : keys_)
      if (chance(3)) list += (list.empty() ? "" : ",") + key;
    return list.empty() ? keys_.front() : list;
  }

  std::string biblatex_tex(bool everything) {
    const std::string backend = biber() ? "biber" : "bibtex";
    const std::string mincrossrefs = std::to_string(1 + random_() % 3);
    std::string tex = "\\documentclass{article}\n\\usepackage[backend=" + backend + ",style=authoryear,mincrossrefs=" +
                      mincrossrefs + "]{biblatex}\n\\addbibresource{a.bib}\n\\addbibresource{b.bib}\n"
                      "\\begin{document}\n";
    if (biber() && chance(2)) tex += "\\defbibentryset{dyn}{p4,p5}\\cite{dyn}\n";
    tex += "\\cite{" + cited() + "}\n";
    tex += "\\nocite{" + cited() + "}\n";
    if (everything) tex += "\\nocite{*}\n";
    if (biber() && chance(2)) tex += "\\begin{refsection}\n\\cite{" + cited() + "}\n\\end{refsection}\n";
    return tex + "\\end{document}\n";
  }

  std::string classic_tex(bool everything) {
    const std::string citations = cited();
    return "\\documentclass{article}\n\\begin{document}\n\\cite{" + citations + "}\n" +
           (everything ? "\\nocite{*}\n" : "") + "\\bibliographystyle{plain}\n\\bibliography{a,b}\n\\end{document}\n";
  }

  Backend backend_;
  unsigned seed_;
  std::mt19937 random_;
  std::string a_, b_;
  std::vector<std::string> keys_;
};

const Case kCases[] = {
    {"biber_1", Backend::kBiber, 1},   {"biber_2", Backend::kBiber, 2},   {"biber_3", Backend::kBiber, 3},
    {"biber_4", Backend::kBiber, 4},   {"biber_5", Backend::kBiber, 5},   {"biber_6", Backend::kBiber, 6},
    {"biber_7", Backend::kBiber, 7},   {"biber_8", Backend::kBiber, 8},   {"biber_9", Backend::kBiber, 9},
    {"biber_10", Backend::kBiber, 10}, {"biber_11", Backend::kBiber, 11}, {"biber_12", Backend::kBiber, 12},
    {"biblatex_bibtex_1", Backend::kBiblatexBibtex, 1}, {"biblatex_bibtex_2", Backend::kBiblatexBibtex, 2},
    {"biblatex_bibtex_3", Backend::kBiblatexBibtex, 3}, {"biblatex_bibtex_4", Backend::kBiblatexBibtex, 4},
    {"classic_bibtex_1", Backend::kClassicBibtex, 1},   {"classic_bibtex_2", Backend::kClassicBibtex, 2},
    {"classic_bibtex_3", Backend::kClassicBibtex, 3},   {"classic_bibtex_4", Backend::kClassicBibtex, 4},
    {"big5_biber_1", Backend::kBiber, 21, "corvina"},    {"big5_biblatex_bibtex8_1", Backend::kBiblatexBibtex, 22, "corvina"},
};
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class PrunedAsAll : public DocumentFolder, public ::testing::WithParamInterface<Case> {};

TEST_P(PrunedAsAll, BblChangedByLeavingOutEntries) {
  const Case& c = GetParam();
  const bool biber = c.backend == Backend::kBiber, big5 = std::string(c.program) == "corvina";
  CORVINA_SKIP_WITHOUT("pdflatex", biber ? "biber" : big5 ? "bibtex8" : "bibtex", "biblatex", "iconv");
  const Document doc = Generator(c.backend, c.seed).make();
  for (const char* folder : {"pruned", "all"}) {
    fs::create_directory(folder);
    write_file(fs::path(folder) / "thesis.tex", doc.tex);
    ASSERT_TRUE(write_database(fs::path(folder) / "a.bib", doc.a_bib, big5) &&
                write_database(fs::path(folder) / "b.bib", doc.b_bib, big5));
    const Shell latex = sh(std::string("cd ") + folder + " && pdflatex -interaction=nonstopmode thesis.tex");
    ASSERT_EQ(latex.status, 0) << latex.output << doc.tex;
  }
  const std::string a_bib = read_file("all/a.bib"), b_bib = read_file("all/b.bib");
  const Shell pruned = sh(std::string("cd pruned && timeout 120 ") + c.program + " thesis.tex");
  const Shell all = sh(std::string("cd all && timeout 120 ") + c.program + " --all-entries thesis.tex");
  SCOPED_TRACE(doc.tex + "a.bib:\n" + doc.a_bib + "b.bib:\n" + doc.b_bib + "the run:\n" + pruned.output);
  EXPECT_EQ(pruned.status, all.status) << all.output;
  const std::string bbl = read_file("all/thesis.bbl");
  ASSERT_TRUE(bbl.find("\\entry{") != std::string::npos || bbl.find("\\bibitem") != std::string::npos) << bbl;
  EXPECT_TRUE(read_file("pruned/thesis.bbl") == bbl) << "the .bbl with every entry:\n" << bbl;
  // The run must really have left entries out, or it proves nothing.
  EXPECT_EQ(pruned.output.find("entries are not cited") != std::string::npos, !doc.cites_everything);
  EXPECT_EQ(all.output.find("entries are not cited"), std::string::npos);
  EXPECT_TRUE(read_file("pruned/a.bib") == a_bib && read_file("pruned/b.bib") == b_bib);
}

CORVINA_INSTANTIATE_BY_NAME(Documents, PrunedAsAll, kCases);

}  // namespace
}  // namespace corvina::e2e
