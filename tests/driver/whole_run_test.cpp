// Complete runs of both programs: what the user sees, what the outside programs get,
// and what is left in the document folder.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "driver/run_harness.h"
#include "support/files.h"

namespace corvina::testing {
namespace {

namespace fs = std::filesystem;

const std::string kUtf8Database =
    "@book{wang, author = {王小明 and Smith, John}, title = {中文 Title}}\n"
    "@book{smith, author = {Smith, Anna}, title = {Plain}}\n";

void write_document(const std::string& name, const std::string& commands) {
  write_file(name + ".vdk", "\\documentclass{article}\n\\usepackage{biblatex}\n" + commands +
                                "\\begin{document}\\nocite{*}\\printbibliography\\end{document}\n");
}

TEST(WholeRun, Utf8RunSortsRestoresAndCleansUp) {
  RunHarness h;
  write_biber_document("refs.bib", kUtf8Database);
  // An old modification time, so that a restore that forgets it is seen.
  const auto time_before = fs::last_write_time("refs.bib") - std::chrono::hours(24);
  fs::last_write_time("refs.bib", time_before);
  h.copying_backend("biber", "refs.bib");
  h.stand_in("pellam4", std::string("exec '") + CORVINA_BIN_DIR + "/pellam4' \"$@\"");

  EXPECT_EQ(exit_status(h.run("corvina4", {"thesis"})), 0) << h.console();
  EXPECT_EQ(h.console(),
            "\nThe Chinese processor of Corvina4, version utf-8b2.3.\n"
            "Copyright (C) the corvina authors. Free software, without any warranty.\n\n"
            "\n Searching \\input{...}, \\include(...) ... \n"
            "\n Searching \\bibliography, \\nobibliography, \\addbibresource, \\addglobalbib, "
            "or \\addsectionbib ... \n"
            "\n*** backup from refs.bib to refs.bib-backup.bib ...done.\n"
            "Preprocessing refs.bib-backup.bib to refs.bib-tmp.bib ... \n"
            "Postprocessing thesis.bbl to temp21-tmp.bbl ...\ndone.\n\n"
            "\n*** remove2 refs.bib-tmp.bib ...\n\ndone.\n"
            "\n*** copy   refs.bib-backup.bib to refs.bib...\ndone.\n"
            "\n*** remove3 refs.bib-backup.bib ...\ndone.\n");
  EXPECT_EQ(h.args_of("biber"), "thesis\n");
  EXPECT_EQ(h.args_of("pellam4"), "-+\n--\n-b\ntemp21-tmp.bbl\nthesis.bbl\n");

  // The back end saw sort keys only, and the .bbl came back as Chinese.
  std::string seen = read_file(h.outside("seen.bib"));
  EXPECT_NE(seen.find("Zzz"), std::string::npos);
  EXPECT_TRUE(std::none_of(seen.begin(), seen.end(), [](char b) { return b & 0x80; })) << seen;
  EXPECT_EQ(read_file("thesis.bbl"), kUtf8Database);

  EXPECT_EQ(read_file("refs.bib"), kUtf8Database);
  EXPECT_EQ(fs::last_write_time("refs.bib"), time_before);
  EXPECT_EQ(h.listing(), "refs.bib\ntemp21-tmp.bbl\nthesis.bbl\nthesis.bcf\nthesis.vdk\n");
}

// An entry that does not close still reaches the back end whole, with one warning that
// names the user's database and the entry's line.
TEST(WholeRun, UnclosedEntryLostOrNotReported) {
  RunHarness h;
  const std::string bib = kUtf8Database + "@book{cut, author = {\xE6\x9B\xBE}, title = {\xE6\x9C\xAA\n";
  write_biber_document("refs.bib", bib);
  h.copying_backend("biber", "refs.bib");
  h.stand_in("pellam4", std::string("exec '") + CORVINA_BIN_DIR + "/pellam4' \"$@\"");

  EXPECT_EQ(exit_status(h.run("corvina4", {"thesis"})), 0) << h.console();
  EXPECT_NE(h.console().find("Preprocessing refs.bib-backup.bib to refs.bib-tmp.bib ... \n"
                             "!Warning: refs.bib, line 3: the entry is not closed (the file ends inside it); "
                             "it goes to the back end as it is.\nPostprocessing"),
            std::string::npos)
      << h.console();
  EXPECT_NE(read_file(h.outside("seen.bib")).find("@book{cut, author = {Zzz"), std::string::npos);
  EXPECT_EQ(read_file("refs.bib"), bib);
}

TEST(WholeRun, Big5RunGivesBackTheDatabaseByteForByte) {
  RunHarness h;
  write_document("thesis", "\\bibliography{refs}\n");  // no .bcf: bibtex8
  write_file("thesis.aux", "\\bibdata{refs}\n");
  write_file("refs.bib", kBig5);
  h.copying_backend("bibtex8", "refs.bib");
  h.stand_in("pellam", std::string("exec '") + CORVINA_BIN_DIR + "/pellam' \"$@\"");

  EXPECT_EQ(exit_status(h.run("corvina", {"thesis"})), 0) << h.console();
  EXPECT_EQ(h.args_of("bibtex8"), "--mstrings\n50000\n-W\nthesis\n");
  EXPECT_EQ(h.args_of("pellam"), "-+\n--\nthesis-tmp.bbl\nthesis.bbl\n");
  // \bibliography{refs} stands for refs.bib from staging on.
  EXPECT_NE(h.console().find("*** backup from refs.bib to refs.bib-backup.bib ..."), std::string::npos);
  EXPECT_EQ(read_file(h.outside("seen.bib")).find('\xA4'), std::string::npos);
  EXPECT_EQ(read_file("thesis.bbl"), kBig5);
  EXPECT_EQ(read_file("refs.bib"), kBig5);
  EXPECT_EQ(h.listing(), "refs.bib\nthesis-tmp.bbl\nthesis.aux\nthesis.bbl\nthesis.vdk\n");
}

// The database is never written into: its encoded text is a new file under its name, and
// the file itself comes back under the name, with its permissions and other hard links. A
// document name with a blank, a database name with shell syntax, a database that is a
// symbolic link come back as they were too.
TEST(WholeRun, UnusualDatabaseFilesChangedOrTheirOtherNamesSawSortKeys) {
  RunHarness h;
  // Blanks in a database name are dropped by the scan, as LaTeX does.
  write_document("my thesis", "\\addbibresource{a;touch pwned;$(touch pwned).bib}\n"
                              "\\addbibresource{linked.bib}\n\\addbibresource{refs.bib}\n");
  const std::string odd_name = "a;touchpwned;$(touchpwned).bib";
  write_file(odd_name, kUtf8Database);
  fs::create_directory(h.outside("shared"));
  write_file(h.outside("shared") / "linked.bib", kUtf8Database);
  fs::create_symlink(h.outside("shared") / "linked.bib", "linked.bib");
  write_file("refs.bib", kUtf8Database);
  fs::create_hard_link("refs.bib", h.outside("mine.bib"));
  const fs::perms own = fs::perms::owner_read | fs::perms::owner_write;
  fs::permissions("refs.bib", own);
  struct stat before {};
  ASSERT_EQ(stat("refs.bib", &before), 0);
  write_file("my thesis.bcf", "");
  h.stand_in("biber", "cat '" + h.outside("mine.bib").string() + "' > '" + h.outside("seen-mine.bib").string() +
                          "'\ncat linked.bib refs.bib > \"$1.bbl\"");

  EXPECT_EQ(exit_status(h.run("corvina4", {"my thesis"})), 0) << h.console();
  EXPECT_EQ(h.args_of("biber"), "my thesis\n");
  EXPECT_EQ(read_file(h.outside("seen-mine.bib")), kUtf8Database);
  struct stat after {};
  ASSERT_EQ(stat("refs.bib", &after), 0);
  EXPECT_EQ(std::make_pair(after.st_ino, after.st_nlink), std::make_pair(before.st_ino, nlink_t{2}));
  EXPECT_EQ(fs::status("refs.bib").permissions(), own);
  EXPECT_TRUE(fs::is_symlink("linked.bib"));
  for (const fs::path& database : {fs::path(odd_name), h.outside("shared") / "linked.bib", fs::path("refs.bib")})
    EXPECT_EQ(read_file(database), kUtf8Database) << database;
  EXPECT_EQ(h.listing(), odd_name + "\nlinked.bib\nmy thesis.bbl\nmy thesis.bcf\nmy thesis.vdk\nrefs.bib\n"
                                    "temp21-tmp.bbl\n");
}

// MiKTeX ships a kpsewhich beside its own findtexmf, with other search rules: where
// findtexmf is installed, it is the one asked.
TEST(WholeRun, KpsewhichAskedWhereFindtexmfIsInstalled) {
  RunHarness h;
  write_biber_document("lib.bib", "");
  fs::create_directory(h.outside("shared"));
  write_file(h.outside("shared") / "lib.bib", kUtf8Database);
  h.stand_in("findtexmf", "echo '" + (h.outside("shared") / "lib.bib").string() + "'");
  h.stand_in("kpsewhich", "exit 1");
  h.copying_backend("biber", "lib.bib");

  EXPECT_EQ(exit_status(h.run("corvina4", {"thesis"})), 0) << h.console();
  EXPECT_EQ(h.args_of("findtexmf"), "lib.bib\n");
  EXPECT_EQ(h.args_of("kpsewhich"), "");
  EXPECT_EQ(read_file("thesis.bbl"), kUtf8Database);
}

}  // namespace
}  // namespace corvina::testing
