// Whole runs of the Windows edition with the stand-ins of stand_in.cpp (run under wine in
// CI): names in UTF-8 that hold Chinese characters and blanks, the locator, and arguments
// that must reach a program exactly as given.

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/names.h"
#include "platform/platform.h"
#include "support/files.h"
#include "windows/windows_harness.h"

namespace corvina::testing {
namespace {

namespace fs = std::filesystem;

const std::string kDatabase =
    "@book{wang, author = {王小明 and Smith, John}, title = {中文 Title}}\r\n"
    "@book{smith, author = {Smith, Anna}, title = {Plain}}\r\n";

// The database is named where the document's scan does not look (a preamble elsewhere),
// so it comes from the back end's control file with its blank.
TEST(WindowsRun, DatabaseNamedWithChineseAndABlankIsDecodedAndComesBackByteForByte) {
  WindowsRun h;
  const std::string database = "文獻 資料.bib";
  write_document("");
  write_file("thesis.bcf", "<bcf:datasource type=\"file\" datatype=\"bibtex\">" + database + "</bcf:datasource>\n");
  write_file(to_path(database), kDatabase);
  // Less than a second back: a restore that kept whole seconds only would show.
  const int64_t time_before = *write_time(database) - 12345678;
  ASSERT_TRUE(set_write_time(database, time_before));
  h.tell("biber", "copies", database);

  ASSERT_TRUE(h.run({"thesis"}).ok()) << h.console();
  EXPECT_EQ(h.args_of("biber"), "thesis\n");
  EXPECT_EQ(h.args_of("pellam4"), "(not started)");  // a real .exe, which keeps no record
  EXPECT_NE(h.seen().find("Zzz"), std::string::npos);
  EXPECT_EQ(h.seen().find("王"), std::string::npos);
  EXPECT_EQ(read_file("thesis.bbl"), kDatabase);
  EXPECT_EQ(read_file(to_path(database)), kDatabase);
  EXPECT_EQ(write_time(database), time_before);
  EXPECT_EQ(h.listing(), "temp21-tmp.bbl\nthesis.bbl\nthesis.bcf\nthesis.vdk\n" + database + "\n");
}

// A .tex document, without the preprocessor: the decoded text replaces the .bbl that the
// back end wrote.
TEST(WindowsRun, DatabaseElsewhereIsFoundThroughFindtexmfAsPrinted) {
  WindowsRun h;
  fs::create_directory(h.outside("共用 資料"));
  const fs::path elsewhere = h.outside("共用 資料") / "lib.bib";
  write_file(elsewhere, kDatabase);
  write_document("\\addbibresource{lib.bib}\n");
  fs::rename("thesis.vdk", "thesis.tex");
  write_file("thesis.bcf", "");
  h.tell("findtexmf", "prints", from_path(elsewhere) + "\r\n");
  h.tell("kpsewhich", "status", "1");
  h.tell("biber", "copies", "lib.bib");

  ASSERT_TRUE(h.run({"thesis.tex"}).ok()) << h.console();
  EXPECT_EQ(h.args_of("findtexmf"), "lib.bib\n");
  EXPECT_EQ(h.args_of("kpsewhich"), "(not started)");
  EXPECT_NE(h.seen().find("Zzz"), std::string::npos);
  EXPECT_EQ(read_file("thesis.bbl"), kDatabase);
  EXPECT_EQ(read_file(elsewhere), kDatabase);
  EXPECT_EQ(h.listing(), "thesis.bbl\nthesis.bcf\nthesis.tex\n");
}

// The command line is split again by the started program's C runtime: quotes,
// backslashes before quotes and at the end, and an empty argument all need their rule.
TEST(WindowsRun, ArgumentSplitOrChangedOnItsWayToTheProgram) {
  WindowsRun h;
  h.tell("show", "status", "3");
  const std::vector<std::string> args = {
      "show", "a b", "", "say \"hi\"", "end\\", "dir with blank\\", "a\\\\\"b", "\\\\server\\share",
      "&whoami", "%PATH%", "中文 名.bib", "\t"};
  ProgramResult result = run_program(args);
  EXPECT_EQ(std::make_pair(result.outcome, result.value), std::make_pair(ProgramResult::Outcome::kExited, 3));
  std::string expected;
  for (size_t i = 1; i < args.size(); ++i) expected += args[i] + "\n";
  EXPECT_EQ(h.args_of("show"), expected);

  ProgramResult missing = run_program({"no-such-program", "x"});
  EXPECT_EQ(missing.describe("no-such-program"), "no-such-program cannot be started: No such file or directory");
}

}  // namespace
}  // namespace corvina::testing
