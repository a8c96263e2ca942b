// File times finer than a second and the run lock, on both systems (how a program failed
// is seen in the whole-run tests).

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

// A second run must see the lock busy and read who holds it (Windows locks keep others
// from reading the bytes they cover); once the holder has removed it, the next takes it.
TEST(Platform, LockTakenTwiceOrItsHolderUnreadable) {
  testing::TempDir dir;
  FileLock holder, waiter;
  ASSERT_EQ(holder.try_take("corvina.lock"), FileLock::Outcome::kTaken);
  ASSERT_TRUE(holder.write("corvina4 on thesis (process 1)\n"));
  EXPECT_EQ(waiter.try_take("corvina.lock"), FileLock::Outcome::kBusy);
  EXPECT_EQ(waiter.read(), "corvina4 on thesis (process 1)\n");
  holder.remove_and_release("corvina.lock");
  EXPECT_EQ(waiter.try_take("corvina.lock"), FileLock::Outcome::kTaken);
  waiter.remove_and_release("corvina.lock");
  EXPECT_FALSE(testing::file_exists("corvina.lock"));
}

}  // namespace
}  // namespace corvina
