// Backups and restores copy with pure_write and check with same_contents: a copy that
// loses or changes a byte, or a check that misses a difference, loses a user's database.
#include "platform/pure_write.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "support/files.h"
#include "support/temp_dir.h"

namespace corvina {
namespace {

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
