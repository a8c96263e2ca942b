// The outside world as the run meets it: arguments that reach a program whole, and file
// times finer than a second (how a program failed is seen in the whole-run tests).

#include "platform/platform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

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

TEST(Platform, FileTimesCompareBelowOneSecond) {
  testing::TempDir dir;
  testing::write_file("a", "");
  testing::write_file("b", "");
  auto base = std::filesystem::last_write_time("a");
  std::filesystem::last_write_time("b", base + std::chrono::milliseconds(1));
  EXPECT_LT(*comparefiletime("a", "b"), 0);
  EXPECT_GT(*comparefiletime("b", "a"), 0);
  std::filesystem::last_write_time("b", base);
  EXPECT_EQ(*comparefiletime("a", "b"), 0);
  EXPECT_FALSE(comparefiletime("a", "gone").has_value());
}

}  // namespace
}  // namespace corvina
