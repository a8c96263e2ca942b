// Every way a run can end early or fail: the status a script or latexmk sees, the message
// the user reads, and the user's databases as they were.

#include <gtest/gtest.h>

#include "driver/run_harness.h"
#include "support/files.h"

namespace corvina::testing {
namespace {

TEST(ExitStatus, EarlyStopsTellWhyAndTouchNoDatabase) {
  struct Case {
    std::string program;
    std::vector<std::string> args;
    std::string commands;
    int status;
    std::string message;
    // A .tex document (no preprocessor) instead of a .vdk, and the back end's control file.
    std::string document = "thesis.vdk", control = "thesis.bcf", database = kUtf8;
  };
  const Case cases[] = {
      {"corvina4", {}, "", 1, "\n** Usage: corvina4  [-Option...]  filename(.vdk)\n\n      y : sorting by zhuyin.\n\n"},
      {"corvina4", {"-y"}, "", 1, "** Usage: corvina4"},
      {"corvina", {"a", "b"}, "", 1, "\n** Usage: corvina  filename(.vdk)\n"},
      {"corvina", {"--chinese-last", "thesis"}, "", 1, "\n! --chinese-last: unknown option.\n\n** Usage: corvina "},
      {"corvina", {"thesis.vdk"}, "", 1, "cannot open thesis.vdk.vdk, give up.....\n"},
      {"corvina", {"--version"}, "", 0, "corvina " CORVINA_RELEASE "\n"},
      {"corvina4", {"--version"}, "", 0, "corvina4 " CORVINA_RELEASE "\n"},
      {"corvina4", {"--help"}, "", 0, "  -y "},
      {"corvina", {"--help"}, "", 0, "The manual: man corvina\n"},
      {"corvina4", {"thesis"}, "", 2,
       "\n Error: cannot find \\bibliography, \\nobibliography,  \\addbibresource,\n"
       " \\addglobalbib, or \\addsectionbib command\n, \n Maybe you are not using biblatex at all?\n"},
      {"corvina4", {"thesis"}, "\\addbibresource[location=remote]{refs.bib}\n", 3,
       "\nError: \"location=remote\" option is not supported by corvina.\n"},
      {"corvina4", {"thesis"}, "\\addbibresource{refs.bib}\\relax\n\\addbibresource{missing.bib}\n", 4,
       "\n!Warning: cannot find missing.bib. Please check it.\n"},
      // Before LaTeX has run, or with the program for the other encoding.
      {"corvina4", {"thesis"}, "\\usepackage{xeCJK}\n\\usepackage{biblatex}\n\\addbibresource{refs.bib}\n", 1,
       "\n! run xelatex thesis first: thesis.bcf is missing.\n", "thesis.tex", ""},
      {"corvina4", {"--output-directory", "out", "thesis"}, "\\bibliography{refs}\n", 1,
       "\n! run LaTeX thesis first: out/thesis.aux is missing.\n", "thesis.tex", ""},
      {"corvina4", {"thesis"}, "\\usepackage{mythesis}\n\\printbibliography\n", 4,
       "\n! run LaTeX thesis first: neither the document nor thesis.bcf names a database.\n", "thesis.tex"},
      {"corvina", {"thesis"}, "\\addbibresource{refs.bib}\n", 1,
       "\n! refs.bib is written in UTF-8: use corvina4 for it (corvina reads Big5).\n", "thesis.tex"},
      {"corvina", {"thesis"}, "% 中文\n\\addbibresource{refs.bib}\n", 1,
       "\n! thesis.tex is written in UTF-8: use corvina4 for it (corvina reads Big5).\n", "thesis.tex",
       "thesis.bcf", kBig5},
      {"corvina4", {"thesis"}, "\\addbibresource{refs.bib}\n", 1,
       "\n! refs.bib is written in Big5: use corvina for it (corvina4 reads UTF-8).\n", "thesis.tex", "thesis.bcf",
       kBig5 + kBig5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    RunHarness h;
    h.stand_in("kpsewhich", "exit 1");
    write_file(c.document, "\\documentclass{article}\n" + c.commands + "\\begin{document}\\end{document}\n");
    write_file("refs.bib", c.database);
    if (!c.control.empty()) write_file(c.control, "");
    const std::string before = h.listing();
    EXPECT_EQ(exit_status(h.run(c.program, c.args)), c.status);
    EXPECT_TRUE(contains(h.console(), c.message)) << h.console();
    EXPECT_EQ(read_file("refs.bib"), c.database);
    // The log is opened before the command line is read; --help and --version make none.
    // A stop after the search leaves the locator's answer too.
    std::filesystem::remove("findbib@.txt");
    EXPECT_EQ(h.listing(), (c.status != 0 ? "bug.txt\n" : "") + before);
  }
}

TEST(ExitStatus, FailingOutsideProgramsAreReportedAndEverythingIsRestored) {
  struct Case {
    std::string biber;    // empty: no biber anywhere on PATH
    std::string pellam4;  // empty: the shipped stand-in
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {"exit 2", "",
       {"\n! biber exited with status 2.\n",
        "\n! thesis.bbl was not written by the back end: decoding and pellam4 are skipped.\n"}},
      {"kill -9 $$", "", {"\n! biber was killed by signal 9.\n"}},
      {"", "",
       {"\n! biber cannot be started: No such file or directory. Is it installed and on PATH?\n"}},
      {"cat refs.bib > \"$1.bbl\"", "exit 1", {"Postprocessing thesis.bbl", "\n! pellam4 exited with status 1.\n"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.messages.back());
    RunHarness h;
    if (c.biber.empty()) h.hide_installed_programs(); else h.stand_in("biber", c.biber);
    if (!c.pellam4.empty()) h.stand_in("pellam4", c.pellam4);
    write_biber_document("refs.bib", kUtf8);
    EXPECT_EQ(exit_status(h.run("corvina4", {"thesis"})), 5);
    for (const std::string& message : c.messages) EXPECT_TRUE(contains(h.console(), message)) << h.console();
    EXPECT_EQ(read_file("refs.bib"), kUtf8);
    EXPECT_FALSE(file_exists("refs.bib-backup.bib"));
    EXPECT_FALSE(file_exists("refs.bib-tmp.bib"));
    EXPECT_FALSE(file_exists("bug.txt"));
  }
}

}  // namespace
}  // namespace corvina::testing
