// Every way a run can end early or fail: the status a script or latexmk sees, the message
// the user reads, and the user's databases as they were.

#include <gtest/gtest.h>

#include "driver/run_harness.h"
#include "support/files.h"

namespace corvina::testing {
namespace {

const std::string kDatabase = "@book{a, author = {王小明}, title = {書}}\n";

void write_document(const std::string& commands) {
  write_file("thesis.vdk", "\\documentclass{article}\n" + commands + "\\begin{document}\\end{document}\n");
}

TEST(ExitStatus, EarlyStopsTellWhyAndTouchNoDatabase) {
  struct Case {
    std::string program;
    std::vector<std::string> args;
    std::string commands;
    int status;
    std::string message;
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
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    RunHarness h;
    h.stand_in("kpsewhich", "exit 1");
    write_document(c.commands);
    write_file("refs.bib", kDatabase);
    write_file("thesis.bcf", "");
    EXPECT_EQ(exit_status(h.run(c.program, c.args)), c.status);
    EXPECT_TRUE(contains(h.console(), c.message)) << h.console();
    EXPECT_EQ(read_file("refs.bib"), kDatabase);
    // The log is opened before the command line is read; --help and --version make none.
    EXPECT_EQ(file_exists("bug.txt"), c.status != 0);
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
    write_biber_document("refs.bib", kDatabase);
    EXPECT_EQ(exit_status(h.run("corvina4", {"thesis"})), 5);
    for (const std::string& message : c.messages) EXPECT_TRUE(contains(h.console(), message)) << h.console();
    EXPECT_EQ(read_file("refs.bib"), kDatabase);
    EXPECT_FALSE(file_exists("refs.bib-backup.bib"));
    EXPECT_FALSE(file_exists("refs.bib-tmp.bib"));
    EXPECT_FALSE(file_exists("bug.txt"));
  }
}

}  // namespace
}  // namespace corvina::testing
