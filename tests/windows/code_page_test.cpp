// A Big5 run of corvina, with the database named in the system's code page (950 on
// Traditional-Chinese Windows) when ctest's locale gives wine that code page, and named in
// ASCII otherwise, so that the Big5 run itself is checked on every Windows test run.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/names.h"
#include "support/files.h"
#include "windows/windows_harness.h"

namespace corvina::testing {
namespace {

TEST(CodePage, Big5RunOrBig5NameOfADatabaseChangesTheDatabase) {
  WindowsRun h;
  // 資料 in Big5 as the document writes it, and the same name as the file system keeps it.
  const bool cp950 = GetACP() == 950;
  const std::string written = cp950 ? "\xB8\xEA\xAE\xC6" : "refs", kept = cp950 ? "資料" : "refs";
  // 王小明 and 中文 in Big5; the 文 of the title stands right before the closing brace.
  const std::string database = "@book{wang, author = {\xA4\xFD\xA4\x70\xA9\xFA}, title = {\xA4\xA4\xA4\xE5}}\r\n";
  write_document("\\bibliography{" + written + "}\n");
  write_file("thesis.aux", "\\bibdata{" + written + "}\n");
  write_file(to_path(kept + ".bib"), database);
  h.tell("bibtex8", "copies", kept + ".bib");

  // bibtex8 searches the working folder first, before the folders the user named, in
  // the list syntax of Windows.
  SetEnvironmentVariableW(L"BIBINPUTS", L"C:\\texmf\\bib");
  const bool ok = h.run({"thesis"}, "corvina").ok();
  SetEnvironmentVariableW(L"BIBINPUTS", nullptr);
  ASSERT_TRUE(ok) << h.console();
  EXPECT_EQ(h.args_of("bibtex8"), "--mstrings\n50000\n-W\nthesis\n");
  EXPECT_EQ(h.bibinputs_of("bibtex8"), ".;C:\\texmf\\bib");
  EXPECT_EQ(h.seen().find('\xA4'), std::string::npos);
  EXPECT_EQ(read_file("thesis.bbl"), database);
  EXPECT_EQ(read_file(to_path(kept + ".bib")), database);
  const std::string listing = "thesis-tmp.bbl\nthesis.aux\nthesis.bbl\nthesis.vdk\n";
  EXPECT_EQ(h.listing(), cp950 ? listing + kept + ".bib\n" : kept + ".bib\n" + listing);
  std::printf("code page %u\n", GetACP());
}

}  // namespace
}  // namespace corvina::testing
