#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decode/utf8_decoder.h"
#include "codec_io.h"

namespace corvina {
namespace {

const std::string kYi = "\xE4\xB8\x80";  // U+4E00
const std::string kEr = "\xE5\x85\x92";  // U+5152

std::string decode(std::string_view text, bool add_mbox = true, std::string* log = nullptr) {
  return testing::decode_lines(*make_utf8_decoder(add_mbox), text, log);
}

TEST(decodeUtf8, DecodesOnlyCompleteRuns) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"xxxAxA19968xB20108", kYi + "\xE4\xBA\x8C"},
      {"xxxxAxA19968", "x" + kYi},
      {"xxxZzkxZzk20818 xxxzzkxzzk20818", kEr + " " + kEr},
      {"xxxxxx19968", kYi},  // group X after a back end lower-cased it
      {"xxxZzlxZzl20818", "xxxZzlxZzl20818"},
      {"xxx9x919968 xxx{x{19968", "xxx9x919968 xxx{x{19968"},
      {"xxxAx19968", "xxxAx19968"},  // the character's own group code is missing
      {"xxxAxA1996", "xxxAxA1996"},
      {"xxx0x065535 xxx0x065536", "\xEF\xBF\xBF xxx0x065536"},  // no three-byte form
      {"xxxAxA19968xA1996", kYi + "xA1996"},
      {"xxx0x008212", "\xE2\x80\x94"},
      {"doi xxx.lanl, key xxx00\n", "doi xxx.lanl, key xxx00\n"},
      {"ends in xxx\nnext", "ends in xxx\nnext"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(decode(text), expected) << text;
}

TEST(decodeUtf8, BraceAfterDecodedCharacterGetsMbox) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"  \\field{title}{xxxAxA19968}\n", "  \\field{title}{" + kYi + "\\mbox{}}\n"},
      {"{xxxAxA19968 }", "{" + kYi + " }"},
      {"{xxxAxA19968x}", "{" + kYi + "x\\mbox{}}"},  // an undecoded x keeps the flag
      {"{xxxAxA19968\n}xxx\n", "{" + kYi + "\n\\mbox{}}xxx\n"},
      {"{xxxAxA19968\r\n}xxx\n", "{" + kYi + "\r\n\\mbox{}}xxx\n"},  // CR is line end
      {"{xxxAxA19968\n}\n}xxx\n", "{" + kYi + "\n}\n\\mbox{}}xxx\n"},  // copied line
      {"{xxxAxA19968\na xxx\n}xxx\n", "{" + kYi + "\na xxx\n}xxx\n"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(decode(text), expected) << text;
  EXPECT_EQ(decode("{xxxAxA19968}", false), "{" + kYi + "}");
}

TEST(decodeUtf8, LogLeavesOutMbox) {
  std::string log;
  decode("  \\field{title}{xxxAxA19968}\n", true, &log);
  EXPECT_EQ(log, "28 1 -1 0 $  \\field{title}{xxxAxA19968}\n  \\field{title}{" + kYi + "}\n");
}

TEST(decodeUtf8, Uni2utf8GivesBackTheEncodedBytes) {
  EXPECT_EQ(uni2utf8(0x4E00), kYi);
  EXPECT_EQ(uni2utf8(0), "\xE0\x80\x80");
  EXPECT_EQ(uni2utf8(0xFEFF), "\xEF\xBB\xBF");
  EXPECT_EQ(uni2utf8(0xFFFF), "\xEF\xBF\xBF");
}

}  // namespace
}  // namespace corvina
