// corvina takes the names in a Big5 document in the system's code page (950 on
// Traditional-Chinese Windows). Run by ctest in a locale that gives wine that code page.

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/names.h"
#include "support/files.h"
#include "windows/windows_harness.h"

namespace corvina::testing {
namespace {

TEST(CodePage, Big5NameOfADatabaseOpensTheFileOfThatName) {
  if (GetACP() != 950) GTEST_SKIP() << "the code page is " << GetACP() << ", not 950";
  WindowsRun h;
  // 資料 in Big5 as the document writes it, and the same name as the file system keeps it.
  const std::string big5_name = "\xB8\xEA\xAE\xC6";
  const std::string utf8_name = "資料";
  const std::string database = "@book{wang, author = {\xA4\xFD\xA4\x70\xA9\xFA}, title = {\xA4\xA4\xA4\xE5}}\r\n";
  write_document("\\bibliography{" + big5_name + "}\n");
  write_file("thesis.aux", "\\bibdata{" + big5_name + "}\n");
  write_file(to_path(utf8_name + ".bib"), database);
  h.tell("bibtex8", "copies", utf8_name + ".bib");

  ASSERT_TRUE(h.run({"thesis"}, "corvina").ok()) << h.console();
  EXPECT_EQ(h.args_of("bibtex8"), "--mstrings\n50000\n-W\nthesis\n");
  EXPECT_EQ(h.seen().find('\xA4'), std::string::npos);
  EXPECT_EQ(read_file("thesis.bbl"), database);
  EXPECT_EQ(read_file(to_path(utf8_name + ".bib")), database);
  EXPECT_EQ(h.listing(), "thesis-tmp.bbl\nthesis.aux\nthesis.bbl\nthesis.vdk\n" + utf8_name + ".bib\n");
}

}  // namespace
}  // namespace corvina::testing
