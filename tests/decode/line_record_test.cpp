#include "decode/line_record.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace corvina::testing {
namespace {

LineRecord counted_byte_by_byte(const std::string& text) {
  LineRecord record{static_cast<long long>(text.size()), 1, -1};
  for (std::size_t i = 0; i < text.size(); ++i) {
    record.balance += (text[i] == '}') - (text[i] == '{');
    if (text[i] == '%') record.last_percent = static_cast<long long>(i);
  }
  return record;
}

// The record is read eight bytes at a time, the last few through a word that overlaps
// the one before: a brace or "%" there must count once, at its own place.
TEST(LineRecord, BracesOrPercentInTheLastBytesMiscounted) {
  for (std::size_t size = 0; size <= 27; ++size)
    for (std::size_t at = 0; at < size; ++at) {
      std::string text(size, 'a');
      text[at] = '%';
      text[size - 1 - at] = at % 2 ? '{' : '}';
      if (at + 3 < size) text[at + 3] = '\0';  // a NUL is text too, and neither
      const LineRecord got = line_record(text), want = counted_byte_by_byte(text);
      EXPECT_EQ(std::tie(got.balance, got.last_percent, got.length), std::tie(want.balance, want.last_percent, want.length))
          << size << " " << at;
    }
}

// The decoder skips the search for a run prefix in a line without two "z" side by side:
// a pair anywhere, also across a block boundary or in the last bytes, must be seen.
TEST(LineRecord, TwoZsSideBySideMissed) {
  for (std::size_t size = 2; size <= 40; ++size)
    for (std::size_t at = 0; at + 2 <= size; ++at) {
      std::string text(size, 'a');
      text[at] = 'z';
      text[at + 1] = 'Z';
      bool z_pair = false;
      line_record(text, &z_pair);
      EXPECT_TRUE(z_pair) << text;
      text[at + 1] = 'y';
      if (at >= 2) text[at - 2] = 'z';  // two lone ones
      line_record(text, &z_pair);
      EXPECT_FALSE(z_pair) << text;
    }
}

// Long lines are counted in lanes of a byte each, which must be emptied before 256.
TEST(LineRecord, BracesOfALongLineOverflowed) {
  for (const std::size_t size : {4095, 4096, 4097, 10000}) {
    std::string closes(size, '}'), mixed(size, '{');
    mixed[size / 3] = '%';
    for (const std::string& text : {closes, mixed}) {
      const LineRecord got = line_record(text), want = counted_byte_by_byte(text);
      EXPECT_EQ(std::tie(got.balance, got.last_percent), std::tie(want.balance, want.last_percent)) << size;
    }
  }
}

TEST(LineRecord, NumbersWrittenWrong) {
  const struct {
    LineRecord record;
    const char* text;
  } cases[] = {
      {{0, 1, -1}, "0 1 -1 0 $"},
      {{99, -9, 98}, "99 -9 98 0 $"},
      {{100, -10, 10}, "100 -10 10 0 $"},
      {{9223372036854775807LL, -9223372036854775807LL - 1, 123456}, "9223372036854775807 -9223372036854775808 123456 0 $"},
  };
  for (const auto& [record, text] : cases) {
    std::string log = "x";
    append_record(record, log);
    EXPECT_EQ(log, std::string("x") + text);
  }
}

}  // namespace
}  // namespace corvina::testing
