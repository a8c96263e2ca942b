// File times finer than a second, the run lock, and the copy and check of backups and
// restores, on both systems (how a program failed is seen in the whole-run tests).

#include "platform/platform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "platform/pure_write.h"
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

// The encoded text takes the database's name while the backup keeps the user's file: the
// old name must hold the new text, the new name be gone, the second name untouched.
TEST(Platform, RenameOntoLinkedLeftTheNewNameOrTouchedTheSecondName) {
  for (const bool target_exists : {true, false}) {
    SCOPED_TRACE(target_exists);
    testing::TempDir dir;
    if (target_exists) {
      testing::write_file("refs.bib", "user's text");
      std::filesystem::create_hard_link("refs.bib", "refs.bib-backup.bib");
    }
    testing::write_file("refs.bib-tmp.bib", "sort keys");
    ASSERT_EQ(rename_onto_linked("refs.bib-tmp.bib", "refs.bib"), 0);
    EXPECT_EQ(testing::read_file("refs.bib"), "sort keys");
    EXPECT_FALSE(std::filesystem::exists("refs.bib-tmp.bib"));
    EXPECT_TRUE(!target_exists || testing::read_file("refs.bib-backup.bib") == "user's text");
  }
  testing::TempDir dir;
  EXPECT_NE(rename_onto_linked("missing", "refs.bib"), 0);
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

// pure_write and same_contents: a copy that loses or changes a byte, or a check that
// misses a difference, loses a user's database.
std::string random_bytes(std::size_t size) {
  std::mt19937 rng(7);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(rng());
  return bytes;
}

TEST(PureWrite, CopyLosesBytesOrCheckMissesADifference) {
  const std::string large = random_bytes((3 << 20) + 17);  // several chunks and a piece
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {{"empty", ""}, {"one byte", "x"}, {"several chunks", large}};
  for (const auto& c : cases) {
    testing::TempDir dir;
    testing::write_file("a.bib", c.bytes);
    testing::write_file("b.bib", "old and longer than one byte");
    EXPECT_EQ(pure_write("a.bib", "b.bib"), "") << c.name;
    EXPECT_TRUE(testing::read_file("b.bib") == c.bytes) << c.name;
    EXPECT_TRUE(same_contents("a.bib", "b.bib")) << c.name;
    if (c.bytes.empty()) continue;
    std::string changed = c.bytes;
    changed[changed.size() / 2] ^= 1;
    testing::write_file("b.bib", changed);
    EXPECT_FALSE(same_contents("a.bib", "b.bib")) << c.name;
    testing::write_file("b.bib", c.bytes + "\n");
    EXPECT_FALSE(same_contents("a.bib", "b.bib")) << c.name;
  }
}

}  // namespace
}  // namespace corvina
