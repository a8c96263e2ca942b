// What the back end's control files and the source lines tell beyond the database commands.

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "scan/control_files.h"
#include "scan/document_hints.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace corvina {
namespace {

using Names = std::vector<std::string>;

TEST(scanControlFiles, BcfDataSourcesOfFileTypeOnly) {
  const std::string bcf =
      "<bcf:bibdata section=\"0\">\n"
      "    <bcf:datasource type=\"file\" datatype=\"bibtex\" glob=\"false\">bib/refs.bib</bcf:datasource>\n"
      "    <bcf:datasource type=\"file\" datatype=\"bibtex\" glob=\"false\">R&amp;D &lt;1&gt;.bib</bcf:datasource>\n"
      "    <bcf:datasource type=\"file\" datatype=\"biblatexml\">x.bltxml</bcf:datasource>\n"
      "    <bcf:datasource type=\"file\" datatype=\"bibtex\" glob=\"true\">*.bib</bcf:datasource>\n"
      "    <bcf:datasource type=\"url\" datatype=\"bibtex\">http://example.org/a.bib</bcf:datasource>\n"
      "    <bcf:datasource type=\"file\">plain.bib</bcf:datasource>\n"
      "    <bcf:datasource type=\"file\" datatype=\"bibtex\">cut";
  EXPECT_EQ(bcf_datasources(bcf), (Names{"bib/refs.bib", "R&D <1>.bib", "plain.bib"}));
  // Read in pieces, an element or its tag cut anywhere; a close before the tag's end stops.
  for (std::size_t piece = 1; piece <= 40; ++piece)
    for (const std::string& text : {bcf, "<bcf:datasource type=\"file\"</bcf:datasource>" + bcf}) {
      BcfSources sources;
      for (std::size_t at = 0; at < text.size(); at += piece) sources.feed(std::string_view(text).substr(at, piece));
      EXPECT_EQ(sources.names(), bcf_datasources(text)) << piece;
    }
  EXPECT_EQ(bcf_datasources("<bcf:datasource type=\"file\"</bcf:datasource>" + bcf), Names{});
}

TEST(scanControlFiles, AuxFollowsChapterFilesInPlaceAndAddsBibEnding) {
  testing::TempDir dir;
  std::filesystem::create_directories("out/chapters");
  testing::write_file("out/thesis.aux",
                  "\\relax\n\\bibdata{front}\n\\@input{chapters/chap1.aux}\n\\@input{missing.aux}\n"
                  "\\@input{thesis.aux}\n\\bibdata{ back.bib , thesis-blx}\n");
  testing::write_file("out/chapters/chap1.aux", "\\bibstyle{plainnat}\n\\bibdata{bib/refs,bib/extra}\n");
  EXPECT_EQ(aux_databases("out/thesis.aux"),
            (Names{"front.bib", "bib/refs.bib", "bib/extra.bib", "back.bib", "thesis-blx.bib"}));
  EXPECT_EQ(aux_databases("out/none.aux"), Names{});
}

TEST(scanDocumentHints, EngineFromMagicLineElsePackages) {
  struct Case {
    std::vector<std::string> lines;
    std::string engine;
    bool biblatex, biblatex_bibtex, bibliography;
  };
  const Case cases[] = {
      {{"\\documentclass{article}"}, "LaTeX", false, false, false},
      {{"\\usepackage{xeCJK}", "\\printbibliography"}, "xelatex", false, false, true},
      {{"% !TeX program = lualatex", "\\usepackage{xeCJK}"}, "lualatex", false, false, false},
      {{"\\usepackage[utf8]{inputenc}\\usepackage{CJKutf8}"}, "pdflatex", false, false, false},
      {{"\\RequirePackage{luatexja-fontspec}"}, "lualatex", false, false, false},
      {{"\\usepackage[backend=bibtex,style=apa]{biblatex}"}, "LaTeX", true, true, false},
      // Commented-out text tells nothing, and \bibliographystyle is no bibliography.
      {{"% \\usepackage{xeCJK}", "%\\printbibliography", "\\bibliographystyle{plainnat}"}, "LaTeX", false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines.front());
    DocumentHints hints;
    for (const std::string& line : c.lines) note_hints(line + "\n", hints);
    EXPECT_EQ(std::make_tuple(hints.engine(), hints.biblatex, hints.biblatex_bibtex, hints.bibliography),
              std::make_tuple(c.engine, c.biblatex, c.biblatex_bibtex, c.bibliography));
  }
}

}  // namespace
}  // namespace corvina
