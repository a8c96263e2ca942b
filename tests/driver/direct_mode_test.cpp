// Documents without a preprocessor, databases named only in the back end's control file,
// and the back end's files in an output folder.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "driver/run_harness.h"
#include "support/files.h"

namespace corvina::testing {
namespace {

namespace fs = std::filesystem;

TEST(DirectMode, DecodedTextGoesStraightToTheBblWhereverTheBackEndFilesAre) {
  struct Case {
    std::string program;
    std::vector<std::string> args;
    std::string backend, control, backend_args, bbl;
  };
  const Case cases[] = {
      {"corvina4", {"thesis.tex"}, "biber", "thesis.bcf", "thesis\n", "thesis.bbl"},
      {"corvina4", {"thesis"}, "biber", "thesis.bcf", "thesis\n", "thesis.bbl"},
      {"corvina4", {"--output-directory", "out", "thesis.tex"}, "biber", "out/thesis.bcf",
       "--output-directory\nout\nthesis\n", "out/thesis.bbl"},
      {"corvina4", {"out/thesis.aux"}, "bibtex", "out/thesis.aux", "out/thesis\n", "out/thesis.bbl"},
      {"corvina", {"thesis.tex"}, "biber", "thesis.bcf", "--output-encoding=big5\nthesis\n", "thesis.bbl"},
      {"corvina", {"--output-directory=out", "thesis.tex"}, "biber", "out/thesis.bcf",
       "--output-encoding=big5\n--output-directory\nout\nthesis\n", "out/thesis.bbl"},
      {"corvina", {"--output-directory=out", "thesis.tex"}, "bibtex8", "out/thesis.aux",
       "--mstrings\n50000\n-W\nout/thesis\n", "out/thesis.bbl"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.program + " " + c.args.back());
    RunHarness h;
    const std::string database = c.program == "corvina" ? kBig5 : kUtf8;
    write_file("thesis.tex", "\\addbibresource{refs.bib}\n");
    write_file("refs.bib", database);
    write_file("cinput.tex", "\\fontfamily{pqM}\n");
    fs::create_directory("out");
    write_file(c.control, "");
    // The back end writes its .bbl beside its control file; BIBINPUTS must lead it there too.
    h.stand_in(c.backend, "cp refs.bib '" + h.outside("seen.bib").string() + "'\necho \"$BIBINPUTS\" > '" +
                              h.outside("bibinputs").string() + "'\ncat refs.bib > '" + c.bbl + "'");
    h.stand_in("pellam", "exit 0");
    h.stand_in("pellam4", "exit 0");
    ASSERT_EQ(exit_status(h.run(c.program, c.args)), 0) << h.console();
    EXPECT_EQ(h.args_of(c.backend), c.backend_args);
    const std::string seen = read_file(h.outside("seen.bib"));
    EXPECT_TRUE(std::none_of(seen.begin(), seen.end(), [](char b) { return b & 0x80; })) << "back end saw Chinese";
    EXPECT_EQ(read_file(c.bbl), database);
    EXPECT_EQ(read_file("refs.bib"), database);
    EXPECT_EQ(h.args_of(c.program == "corvina" ? "pellam" : "pellam4"), "") << "no preprocessor in direct mode";
    EXPECT_EQ(read_file("cinput.tex"), "\\fontfamily{pqM}\n");
    EXPECT_EQ(contains(read_file(h.outside("bibinputs")), "out:"), c.backend != "biber");
    std::set<std::string> left = {"cinput.tex", "out", "refs.bib", "thesis.tex", c.control, c.bbl};
    std::string expected;
    for (const std::string& name : left) expected += name.starts_with("out/") ? "" : name + "\n";
    EXPECT_EQ(h.listing(), expected) << "no temporary .bbl, no log left";
  }
}

// "\mbox{}" behind a decoded character before a brace is the preprocessor's business; read
// by LaTeX directly it prints as a blank after the character.
TEST(DirectMode, MboxWrittenWhereLatexReadsTheBblOrMissingForThePreprocessor) {
  const std::string database = "@book{a, title = {\xE4\xB8\xAD\xE6\x96\x87}}\n";
  struct Case {
    std::string document, argument, bbl_read_by_latex;
  };
  const Case cases[] = {
      {"thesis.tex", "thesis.tex", database},
      {"thesis.vdk", "thesis", "@book{a, title = {\xE4\xB8\xAD\xE6\x96\x87\\mbox{}}}\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.document);
    RunHarness h;
    write_file(c.document, "\\addbibresource{refs.bib}\n");
    write_file("thesis.bcf", "");
    write_file("refs.bib", database);
    h.stand_in("biber", "cat refs.bib > thesis.bbl");
    h.stand_in("pellam4", "cp \"$4\" \"$5\"");
    ASSERT_EQ(exit_status(h.run("corvina4", {c.argument})), 0) << h.console();
    EXPECT_EQ(read_file("thesis.bbl"), c.bbl_read_by_latex);
  }
}

// A database named only where the scan does not look, and one named both ways.
TEST(ControlFiles, DatabasesTheScanMissesAreSortedOnce) {
  RunHarness h;
  write_file("thesis.tex", "\\usepackage{mythesis}\n\\bibliography{refs}\n\\printbibliography\n");
  write_file("refs.bib", kUtf8);
  write_file("extra.bib", kUtf8);
  write_file("thesis.aux", "\\bibdata{thesis-blx,refs}\n\\@input{chap.aux}\n");
  write_file("chap.aux", "\\bibdata{extra}\n");
  h.stand_in("bibtex", "cat refs.bib extra.bib > seen.txt\ncat refs.bib extra.bib > thesis.bbl");
  ASSERT_EQ(exit_status(h.run("corvina4", {"thesis"})), 0) << h.console();
  const std::string console = h.console();
  EXPECT_EQ(console.find("*** backup from refs.bib"), console.rfind("*** backup from refs.bib")) << console;
  EXPECT_TRUE(contains(console, "*** backup from extra.bib to extra.bib-backup.bib"));
  EXPECT_FALSE(contains(console, "thesis-blx"));
  EXPECT_EQ(read_file("seen.txt").find('\xE4'), std::string::npos) << "extra.bib reached the back end unsorted";
  EXPECT_EQ(read_file("thesis.bbl"), kUtf8 + kUtf8);
  EXPECT_EQ(read_file("extra.bib"), kUtf8);
}

}  // namespace
}  // namespace corvina::testing
