#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "scan/search_bibliography.h"
#include "scan/search_inpinc.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace corvina {
namespace {

using testing::write_file;

class scanSearch : public ::testing::Test {
 protected:
  scanSearch() : state(build, console, log) { state.fullname = "doc.vdk"; }

  testing::TempDir dir;
  Build build{};
  std::ostringstream console, log;
  RunState state;
};

TEST_F(scanSearch, CommentedInputDoesNotRaiseLineCounterAndIncludeSatisfiesFinalCheck) {
  write_file("doc.vdk", "\\input{a}\n% \\input{b}\n\\include{ c }\nplain\n");
  search_inpinc(state);
  EXPECT_EQ(state.inpinc, (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(log.str(), "tmp: a 1\n(0)comment out! (1)\n(1)(2)");
  EXPECT_TRUE(search_bibliography(state, 0));
  EXPECT_TRUE(state.orgbib.empty());
}

TEST_F(scanSearch, IncludeOpenedAsVdkBeforeTexAndSkippedWhenMissing) {
  state.inpinc = {"chap1", "chap2", "gone"};
  write_file("chap1.vdk", "\\addbibresource{vdk.bib}\n");
  write_file("chap1.tex", "\\addbibresource{tex1.bib}\n");
  write_file("chap2.tex", "\\addbibresource{shared.bib}\n");
  write_file("doc.vdk", "\\addbibresource{shared.bib}\n");
  EXPECT_TRUE(search_bibliography(state, 1));
  EXPECT_TRUE(search_bibliography(state, 2));
  EXPECT_FALSE(search_bibliography(state, 3));
  EXPECT_TRUE(search_bibliography(state, 0));
  EXPECT_EQ(state.orgbib, (std::vector<std::string>{"vdk.bib", "shared.bib", "shared.bib"}));
}

TEST_F(scanSearch, IncludeWrittenWithExtensionIsTriedAsWrittenAndDirectModeSkipsVdk) {
  std::filesystem::create_directories("setup/preamble.tex.d");
  state.inpinc = {"setup/preamble.tex", "chap1", "setup/preamble.tex.d"};
  state.direct = true;
  write_file("setup/preamble.tex", "\\addbibresource{bib/refs.bib}\n");
  write_file("chap1.vdk", "\\addbibresource{vdk.bib}\n");
  write_file("chap1.tex", "\\addbibresource{tex.bib}\n");
  EXPECT_TRUE(search_bibliography(state, 1));
  EXPECT_TRUE(search_bibliography(state, 2));
  EXPECT_FALSE(search_bibliography(state, 3)) << "a folder is never read as a source";
  EXPECT_EQ(state.orgbib, (std::vector<std::string>{"bib/refs.bib", "tex.bib"}));
}

}  // namespace
}  // namespace corvina
