// Every way a run can end early or fail: the status a script or latexmk sees, the message
// the user reads, and the user's databases as they were.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "driver/run_harness.h"
#include "support/files.h"

namespace corvina::testing {
namespace {

// Every stop before the back end: the message, the status, and the document folder as it
// was, file by file, but for the log and the locator's answer.
TEST(ExitStatus, EarlyStopTouchedAFileOfTheUsersOrToldTheWrongReason) {
  using Databases = std::vector<std::pair<std::string, std::string>>;
  struct Case {
    std::string program;
    std::vector<std::string> args;
    std::string commands;  // the document's preamble
    int status;
    std::string message;
    std::function<void(RunHarness&)> more = nullptr;  // what else the folder holds
    Databases databases = {{"refs.bib", kUtf8}};
    std::string document = "thesis.vdk", control = "thesis.bcf";  // no control file when empty
  };
  const auto own = [](const char* name) { return [name](RunHarness&) { write_file(name, "the user's own\n"); }; };
  const auto fifo = [](const char* name) { return [name](RunHarness&) { mkfifo(name, 0644); }; };
  const std::string refs = "\\addbibresource{refs.bib}\n", other = "\\addbibresource{other.bib}\n";
  const std::string big5_refused = " is written in Big5: use corvina for it (corvina4 reads UTF-8).\n";
  const std::string utf8_refused = " is written in UTF-8: use corvina4 for it (corvina reads Big5).\n";
  const Databases mixed = {{"refs.bib", kUtf8}, {"other.bib", kBig5}};
  const Case cases[] = {
      {"corvina4", {}, "", 1, "\n** Usage: corvina4  [-Option...]  filename(.vdk)\n\n      y : sorting by zhuyin.\n\n"},
      {"corvina4", {"-y"}, "", 1, "** Usage: corvina4"},
      {"corvina", {"a", "b"}, "", 1, "\n** Usage: corvina  filename(.vdk)\n"},
      {"corvina", {"--chinese-last", "thesis"}, "", 1, "\n! --chinese-last: unknown option.\n\n** Usage: corvina "},
      {"corvina", {"thesis.vdk"}, "", 1, "cannot open thesis.vdk.vdk, give up.....\n"},
      {"corvina", {"--version"}, "", 0, "corvina " CORVINA_RELEASE "\n"},
      {"corvina4", {"--version"}, "", 0, "corvina4 " CORVINA_RELEASE "\n"},
      {"corvina4", {"--help"}, "", 0, "  -y "},
      {"corvina4", {"--help"}, "", 0, "  -p "},
      {"corvina4", {"-y", "-p", "thesis"}, "", 1, "\n! -y and -p: choose one order, zhuyin or pinyin.\n\n** Usage: corvina4 "},
      {"corvina", {"--help"}, "", 0, "The manual: man corvina\n"},
      {"corvina4", {"thesis"}, "", 2,
       "\n Error: cannot find \\bibliography, \\nobibliography,  \\addbibresource,\n"
       " \\addglobalbib, or \\addsectionbib command\n, \n Maybe you are not using biblatex at all?\n"},
      {"corvina4", {"thesis"}, "\\addbibresource[location=remote]{refs.bib}\n", 3,
       "\nError: \"location=remote\" option is not supported by corvina.\n"},
      {"corvina4", {"thesis"}, "\\addbibresource{refs.bib}\\relax\n\\addbibresource{missing.bib}\n", 4,
       "\n!Warning: cannot find missing.bib. Please check it.\n"},
      // Before LaTeX has run.
      {"corvina4", {"thesis"}, "\\usepackage{xeCJK}\n\\usepackage{biblatex}\n" + refs, 1,
       "\n! run xelatex thesis first: thesis.bcf is missing.\n", nullptr, {{"refs.bib", kUtf8}}, "thesis.tex", ""},
      {"corvina4", {"--output-directory", "out", "thesis"}, "\\bibliography{refs}\n", 1,
       "\n! run LaTeX thesis first: out/thesis.aux is missing.\n", nullptr, {{"refs.bib", kUtf8}}, "thesis.tex", ""},
      {"corvina4", {"thesis"}, "\\usepackage{mythesis}\n\\printbibliography\n", 4,
       "\n! run LaTeX thesis first: neither the document nor thesis.bcf names a database.\n", nullptr,
       {{"refs.bib", kUtf8}}, "thesis.tex"},
      // A file for the other program, also after others were staged, also one left alone
      // (read-only, never encoded); the first in the document's order is named.
      {"corvina", {"thesis"}, refs, 1, "\n! refs.bib" + utf8_refused, nullptr, {{"refs.bib", kUtf8}}, "thesis.tex"},
      {"corvina", {"thesis"}, "% 中文\n" + refs, 1, "\n! thesis.tex" + utf8_refused, nullptr, {{"refs.bib", kBig5}},
       "thesis.tex"},
      {"corvina4", {"thesis"}, refs, 1, "\n! refs.bib" + big5_refused, nullptr, {{"refs.bib", kBig5 + kBig5}},
       "thesis.tex"},
      {"corvina4", {"thesis"}, refs + other, 1, "\n! other.bib" + big5_refused, nullptr, mixed, "thesis.tex"},
      {"corvina4", {"thesis"}, other + refs, 1, "\n! other.bib" + big5_refused, nullptr, mixed, "thesis.tex"},
      {"corvina4", {"thesis"}, refs + other, 1, "\n! other.bib" + big5_refused,
       [](RunHarness&) { std::filesystem::permissions("other.bib", std::filesystem::perms::owner_read); }, mixed,
       "thesis.tex"},
      {"corvina", {"thesis"}, refs + "\\addbibresource{more.bib}\n" + other, 1, "\n! other.bib" + utf8_refused,
       nullptr, {{"refs.bib", kBig5}, {"more.bib", kBig5}, {"other.bib", kUtf8}}, "thesis.tex"},
      {"corvina", {"thesis"}, "\\addbibresource{first.bib}\n" + refs + "\\addbibresource{second.bib}\n", 1,
       "\n! first.bib" + utf8_refused, nullptr, {{"first.bib", kUtf8}, {"refs.bib", kBig5}, {"second.bib", kUtf8}},
       "thesis.tex"},
      // Names that are taken, and files that are not regular.
      {"corvina4", {"thesis"}, refs, 6,
       "\n! refs.bib-tmp.bib is in the way: it is the name of the working copy of refs.bib, and no run of "
       "ours left it there. Rename or move it, then run again.\n", own("refs.bib-tmp.bib")},
      {"corvina4", {"thesis"}, refs, 6, "refs.bib-backup.bib is in the way: it is the name of the backup of refs.bib",
       own("refs.bib-backup.bib")},
      {"corvina4", {"thesis"}, refs, 6,
       "refs.bib-restore.txt is in the way: it is the name of the intent record of refs.bib", own("refs.bib-restore.txt")},
      {"corvina4", {"thesis"}, refs + "\\addbibresource{refs.bib-backup.bib}\n", 6, "refs.bib-backup.bib is in the way",
       own("refs.bib-backup.bib")},
      {"corvina4", {"thesis"}, refs + "\\addbibresource{lib.bib}\n", 6,
       "lib.bib is in the way: it is the name of the sorting copy of lib.bib",
       [](RunHarness& h) {
         std::filesystem::create_symlink("gone.bib", "lib.bib");  // dangling
         write_file(h.outside("lib.bib"), kUtf8);
         h.stand_in("kpsewhich", "echo '" + h.outside("lib.bib").string() + "'");
       }},
      {"corvina4", {"thesis"}, refs + "\\addbibresource{pipe.bib}\n", 6,
       "\n! pipe.bib is a FIFO, not a regular file: it is not read.\n", fifo("pipe.bib")},
      {"corvina4", {"thesis"}, refs + "\\bibliography{dir}\n", 6, "dir.bib is a directory, not a regular file",
       [](RunHarness&) { std::filesystem::create_directory("dir.bib"); }},
      {"corvina4", {"thesis"}, refs, 6, "\n! temp21-tmp.bbl is a FIFO, not a regular file: it is not written.\n",
       fifo("temp21-tmp.bbl")},
      {"corvina4", {"thesis"}, refs, 1,
       "\n! thesis.vdk is a FIFO, not a regular file: it is not read.\ncannot open thesis.vdk, give up.....\n",
       [](RunHarness&) { std::filesystem::remove("thesis.vdk"); mkfifo("thesis.vdk", 0644); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    RunHarness h;
    h.stand_in("kpsewhich", "exit 1");
    for (const char* backend : {"biber", "bibtex", "bibtex8"}) h.stand_in(backend, "touch ran.txt");
    write_file(c.document, "\\documentclass{article}\n" + c.commands + "\\begin{document}\\end{document}\n");
    if (!c.control.empty()) write_file(c.control, "");
    for (const auto& [name, text] : c.databases) write_file(name, text);
    if (c.more) c.more(h);
    const std::string before = h.snapshot();
    EXPECT_EQ(exit_status(h.run(c.program, c.args)), c.status);
    EXPECT_TRUE(contains(h.console(), c.message)) << h.console();
    // The log is opened before the command line is read; --help and --version make none.
    EXPECT_EQ(file_exists("bug.txt"), c.status != 0);
    for (const char* log : {"bug.txt", "findbib@.txt"}) std::filesystem::remove(log);
    EXPECT_EQ(h.snapshot(), before);
  }
}

// A database found elsewhere is refused after its sorting copy and record were made here.
TEST(OtherEncoding, DatabaseFoundElsewhereLeavesItsSortingCopyOrRecord) {
  RunHarness h;
  write_file("refs.bib", kUtf8);
  write_file(h.outside("lib.bib"), kBig5);
  h.stand_in("kpsewhich", "echo '" + h.outside("lib.bib").string() + "'");
  h.stand_in("biber", "touch ran.txt");
  write_file("thesis.tex", "\\addbibresource{refs.bib}\n\\addbibresource{lib.bib}\n");
  write_file("thesis.bcf", "");
  const std::string listing = h.listing();

  EXPECT_EQ(exit_status(h.run("corvina4", {"thesis"})), 1) << h.console();
  EXPECT_TRUE(contains(h.console(), "\n! " + h.outside("lib.bib").string() +
                                       " is written in Big5: use corvina for it (corvina4 reads UTF-8).\n"))
      << h.console();
  EXPECT_EQ(h.listing(), "bug.txt\n" + listing);
  EXPECT_EQ(read_file(h.outside("lib.bib")), kBig5);
  EXPECT_EQ(read_file("refs.bib"), kUtf8);
}

// Failures once the databases are staged: reported, every database restored, no working
// file left, and no .bbl left with sort keys.
TEST(ExitStatus, LateFailureLeftADatabaseEncodedOrABblWithSortKeys) {
  struct Case {
    std::string biber;  // empty: no biber anywhere on PATH
    int status;
    std::vector<std::string> messages;
    std::string bbl = "(none)";  // what thesis.bbl holds after
    std::string left = "refs.bib\nthesis.bcf\nthesis.vdk\n";  // the document folder after
    std::function<void(RunHarness&)> more = nullptr;
    std::string document = "thesis.vdk";
  };
  const std::string decoded_kept = "refs.bib\ntemp21-tmp.bbl\nthesis.bbl\nthesis.bcf\nthesis.vdk\n";
  const std::string copies = "/bin/cat refs.bib > \"$1.bbl\"", held_keys =
      "\n! thesis.bbl still held sort keys and is removed; run corvina4 again.\n";
  // The decoded copy cannot be written: it would go through a link into no folder.
  const auto unwritable = [](const char* name) {
    return [name](RunHarness&) { std::filesystem::create_symlink("no/such/folder/thesis.bbl", name); };
  };
  const Case cases[] = {
      {"exit 2", 5,
       {"\n! biber exited with status 2.\n",
        "\n! thesis.bbl was not written by the back end: decoding and pellam4 are skipped.\n"}},
      {"kill -9 $$", 5, {"\n! biber was killed by signal 9.\n"}},
      {"", 5, {"\n! biber cannot be started: No such file or directory. Is it installed and on PATH?\n"}},
      {copies, 5, {"Postprocessing thesis.bbl", "\n! pellam4 exited with status 1.\n"}, kUtf8, decoded_kept,
       [](RunHarness& h) { h.stand_in("pellam4", "exit 1"); }},
      {copies, 5,
       {"pellam4 cannot be started",
        "\n! thesis.bbl holds the decoded text of temp21-tmp.bbl, without pellam4's work.\n"},
       kUtf8, decoded_kept, [](RunHarness& h) { setenv("PATH", h.outside("bin").c_str(), 1); }},  // the stand-ins alone
      {copies, 6, {held_keys}, "(none)", "refs.bib\ntemp21-tmp.bbl\nthesis.bcf\nthesis.vdk\n", unwritable("temp21-tmp.bbl")},
      {copies, 6, {held_keys}, "(none)", "refs.bib\nthesis-tmp.bbl\nthesis.bcf\nthesis.tex\n", unwritable("thesis-tmp.bbl"),
       "thesis.tex"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.messages.back());
    RunHarness h;
    if (c.biber.empty()) h.hide_installed_programs(); else h.stand_in("biber", c.biber);
    write_file(c.document, "\\addbibresource{refs.bib}\n");
    write_file("thesis.bcf", "");
    write_file("refs.bib", kUtf8);
    if (c.more) c.more(h);
    EXPECT_EQ(exit_status(h.run("corvina4", {"thesis"})), c.status);
    for (const std::string& message : c.messages) EXPECT_TRUE(contains(h.console(), message)) << h.console();
    EXPECT_EQ(read_file("refs.bib"), kUtf8);
    EXPECT_EQ(file_exists("thesis.bbl") ? read_file("thesis.bbl") : "(none)", c.bbl);
    EXPECT_EQ(h.listing(), c.left);
  }
}

}  // namespace
}  // namespace corvina::testing
