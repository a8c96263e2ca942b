// What only POSIX has: a shell's metacharacters in arguments, a file whose size the
// kernel does not report, and symbolic links written through.

#include <gtest/gtest.h>

#include <cerrno>
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

// A look that fails (here a loop of links) must never pass for "nothing is there", and a
// lock is known as ours by its open file, whatever name its folder is reached by.
TEST(Platform, FailedLookPassedForMissingOrOwnLockNotKnownByAnotherName) {
  namespace fs = std::filesystem;
  testing::TempDir dir;
  fs::create_symlink("loop", "loop");
  fs::create_directory("sub");
  fs::create_symlink("sub", "alias");
  testing::write_file("sub/file", "x");
  struct LookCase {
    const char* path;
    bool follow;
    FileKind kind;
    int error;
  };
  for (const LookCase& c : {LookCase{"loop/x", true, FileKind::kMissing, ELOOP}, {"loop", true, FileKind::kMissing, ELOOP},
                            {"loop", false, FileKind::kOther, 0}, {"none", false, FileKind::kMissing, 0},
                            {"sub/file/x", false, FileKind::kMissing, 0}, {"alias/file", true, FileKind::kRegular, 0},
                            {"alias", true, FileKind::kDirectory, 0}}) {
    const Look look = look_at(c.path, c.follow);
    EXPECT_EQ(std::pair(look.kind, look.error), std::pair(c.kind, c.error)) << c.path;
  }
  FileLock lock, other;
  ASSERT_EQ(lock.try_take("sub/corvina.lock"), FileLock::Outcome::kTaken);
  ASSERT_EQ(other.try_take("other.lock"), FileLock::Outcome::kTaken);
  struct HoldsCase {
    const char* path;
    bool held;
    int error;
  };
  for (const HoldsCase& c : {HoldsCase{"alias/corvina.lock", true, 0}, {"./sub/../sub/corvina.lock", true, 0},
                             {"other.lock", false, 0}, {"alias/none.lock", false, 0}, {"loop/corvina.lock", false, ELOOP}}) {
    int error = -1;
    EXPECT_EQ(std::pair(lock.holds(c.path, error), error), std::pair(c.held, c.error)) << c.path;
  }
}

}  // namespace
}  // namespace corvina
