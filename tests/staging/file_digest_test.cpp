// The digest that an intent record keeps of a backup.

#include "staging/file_digest.h"

#include <gtest/gtest.h>

#include <string>

namespace corvina {
namespace {

using Kind = FileDigest::Kind;

FileDigest digest(std::string_view text, std::size_t piece, Kind kind = Kind::kWords) {
  Digester digester(kind);
  for (std::size_t at = 0; at < text.size(); at += piece) digester.add(text.substr(at, piece));
  return digester.result();
}

TEST(FileDigest, SumDependsOnHowTheBytesWereCut) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += static_cast<char>(i * 37 + 11);
  for (std::size_t size = 0; size <= text.size(); ++size) {
    const std::string_view part = std::string_view(text).substr(0, size);
    for (std::size_t piece = 1; piece <= 9; ++piece) EXPECT_EQ(digest(part, piece), digest(part, part.size() + 1)) << size << " " << piece;
  }
}

// Records written by earlier versions hold FNV-1a over the bytes: it must stay that.
TEST(FileDigest, EarlierVersionsSumChanged) {
  EXPECT_EQ(digest("a", 1, Kind::kBytes).sum, 0xaf63dc4c8601ec8cull);
  EXPECT_EQ(digest("foobar", 4, Kind::kBytes).sum, 0x85944171f73967e8ull);
}

// A change in the high bits of two words of one lane must not cancel out; nor may bytes
// that only move, nor a NUL added at the end.
TEST(FileDigest, DifferentBytesSameSum) {
  const std::string text(64, 'a');
  std::string high = text, moved = text, moved_later = text;
  high[7] = high[39] = static_cast<char>('a' ^ 0x80);
  moved[0] = moved_later[8] = 'b';
  EXPECT_NE(digest(text, 64), digest(high, 64));
  EXPECT_NE(digest(moved, 64), digest(moved_later, 64));
  EXPECT_NE(digest("abc", 3).sum, digest(std::string("abc\0", 4), 4).sum);
}

}  // namespace
}  // namespace corvina
