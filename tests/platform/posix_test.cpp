// What only POSIX has: a shell's metacharacters in arguments, a file whose size the
// kernel does not report, and symbolic links written through.

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/platform.h"
#include "platform/pure_write.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace corvina {
namespace {

TEST(Platform, ArgumentsReachTheProgramUnsplitAndUnexpanded) {
  testing::TempDir dir;
  ProgramResult result = run_program({"printf", "%s|", "a b", "$(touch pwned);x", "'q\""}, "out.txt");
  EXPECT_TRUE(result.ok());
  EXPECT_EQ(testing::read_file("out.txt"), "a b|$(touch pwned);x|'q\"|");
  EXPECT_FALSE(testing::file_exists("pwned"));
}

TEST(PureWrite, FileOfUnknownSizeCopiedEmptyOrLinkReplaced) {
  testing::TempDir dir;
  // The kernel reports no size for this file and may refuse to copy it itself; its bytes
  // must arrive all the same. Systems without /proc have no such file to try.
  if (std::filesystem::exists("/proc/self/cmdline")) {
    ASSERT_EQ(pure_write("/proc/self/cmdline", "cmdline"), "");
    EXPECT_TRUE(testing::read_file("cmdline") == testing::read_file("/proc/self/cmdline") && !testing::read_file("cmdline").empty());
  }

  testing::write_file("target.bib", "old");
  std::filesystem::create_symlink("target.bib", "link.bib");
  testing::write_file("a.bib", "new");
  ASSERT_EQ(pure_write("a.bib", "link.bib"), "");
  EXPECT_TRUE(std::filesystem::is_symlink("link.bib"));
  EXPECT_EQ(testing::read_file("target.bib"), "new");

  const std::string error = pure_write("missing.bib", "a.bib");
  EXPECT_TRUE(error.find("missing.bib") != std::string::npos && error.find("No such file") != std::string::npos) << error;
  EXPECT_EQ(testing::read_file("a.bib"), "new");
}

}  // namespace
}  // namespace corvina
