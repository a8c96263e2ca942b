// File times finer than a second, on both systems (how a program failed is seen in the
// whole-run tests).

#include "platform/platform.h"

#include <gtest/gtest.h>

#include "support/files.h"
#include "support/temp_dir.h"

namespace corvina {
namespace {

TEST(Platform, FileTimesCompareBelowOneSecond) {
  testing::TempDir dir;
  testing::write_file("a", "");
  testing::write_file("b", "");
  // One tick of the file system's clock, whatever its unit (1 ns or 100 ns).
  const int64_t base = *write_time("a");
  ASSERT_TRUE(set_write_time("b", base + 1));
  EXPECT_EQ(write_time("b"), base + 1);
  EXPECT_LT(*comparefiletime("a", "b"), 0);
  EXPECT_GT(*comparefiletime("b", "a"), 0);
  ASSERT_TRUE(set_write_time("b", base));
  EXPECT_EQ(*comparefiletime("a", "b"), 0);
  EXPECT_FALSE(comparefiletime("a", "gone").has_value());
}

}  // namespace
}  // namespace corvina
