// The decoders of both builds, fed line by line as the back end's .bbl is read, and seeded
// random texts without a complete token run, encoded in random pieces and decoded.

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "codec_io.h"
#include "decode/big5_decoder.h"
#include "decode/utf8_decoder.h"
#include "encode/big5_encoder.h"
#include "encode/utf8_encoder.h"

namespace corvina {
namespace {

using namespace std::string_view_literals;

using Cases = std::vector<std::pair<std::string, std::string>>;

const std::string kYi = "一", kEr = "兒";

std::string big5(std::string_view text, std::string* log = nullptr) {
  return testing::decode_lines(*make_big5_decoder(true), text, log);
}

std::string utf8(std::string_view text, bool add_mbox = true, std::string* log = nullptr) {
  return testing::decode_lines(*make_utf8_decoder(add_mbox), text, log);
}

TEST(decode, TextWithoutACompleteRunChanged) {
  for (const std::string text : {"see xxx.lanl.gov, key xxx00\n", "ends in xxx\nnext",
                                 "xxxA4x42048 xxx9x919968 xxx{x{19968 xxxZz0xZz020818 xxxZzzxZzz20818\n"}) {
    EXPECT_EQ(big5(text), text);
    EXPECT_EQ(utf8(text), text);
  }
}

TEST(decodeBig5, CompleteRunNotDecodedOrIncompleteOneDecoded) {
  const Cases cases = {
      {"{xxxAx42048}\n", "{\xA4\x40}\n"},  // no \mbox{} in this build
      {"xxxZzax50796", "\xC6\x6C"},
      {"xxxA1x50796", "xxxA1x50796"},  // the groups above 26 no longer take a digit
      {"xxxAx42048x42050x4205\n", "\xA4\x40\xA4\x42x4205\n"},
      {"xxxAx420481", "\xA4\x40" "1"},
      {"xxxxAx42048", "x\xA4\x40"},
      {"XXXaX42048 xxxzZbx50807", "\xA4\x40 \xC6\x77"},  // a back end may change case
      {"xxxAx42048x99999 xxxAx99999 xxxAx4204\n", "\xA4\x40x99999 xxxAx99999 xxxAx4204\n"},
      {"xxx0x41281\r\n", "\xA1\x41\r\n"},
      {std::string(700, 'a') + "xxxKx45916\n", std::string(700, 'a') + "\xB3\x5C\n"},
  };
  for (const auto& [line, expected] : cases) EXPECT_EQ(big5(line), expected) << line;
}

TEST(decodeUtf8, CompleteRunNotDecodedOrIncompleteOneDecoded) {
  const Cases cases = {
      {"xxxAxA19968xB20108", kYi + "二"},
      {"xxxxAxA19968", "x" + kYi},
      {"xxxZzkxZzk20818 xxxzzkxzzk20818", kEr + " " + kEr},
      {"xxxxxx19968", kYi},  // group X after a back end lower-cased it
      {"xxxAx19968 xxxAxA1996", "xxxAx19968 xxxAxA1996"},  // own group code, a digit missing
      {"xxx0x065535 xxx0x065536", "\xEF\xBF\xBF xxx0x065536"},  // no three-byte form
      {"xxx0x008212", "\xE2\x80\x94"},
      {"xxxZzvxZzv40856xZzza19968", "龘一"},  // groups 48 and 52
      {"xxxIxIY136729 xxxixiy136729", "\U00021619 \U00021619"},
      {"xxxIxIY136729x0Y262143", "\U00021619\U0003FFFF"},
      {"xxx0x0Y131071 xxx0x0Y262144 xxx0x0Y13107", "xxx0x0Y131071 xxx0x0Y262144 xxx0x0Y13107"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(utf8(text), expected) << text;
}

TEST(decodeUtf8, MboxMissingOrMisplaced) {
  const Cases cases = {
      {"  \\field{title}{xxxAxA19968}\n", "  \\field{title}{" + kYi + "\\mbox{}}\n"},
      {"{xxxAxA19968 }", "{" + kYi + " }"},
      {"{xxxAxA19968x}", "{" + kYi + "x\\mbox{}}"},  // an undecoded x keeps the flag
      {"{xxxAxA19968\n}xxx\n", "{" + kYi + "\n\\mbox{}}xxx\n"},
      {"{xxxAxA19968\r\n}xxx\n", "{" + kYi + "\r\n\\mbox{}}xxx\n"},  // CR is line end
      {"{xxxAxA19968\n}\n}xxx\n", "{" + kYi + "\n}\n\\mbox{}}xxx\n"},  // copied line
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(utf8(text), expected) << text;
  EXPECT_EQ(utf8("{xxxAxA19968}", false), "{" + kYi + "}");
}

TEST(decode, LogRecordWrong) {
  std::string log;
  big5("{max} xxxAx42048 %c\n", &log);  // "$" after each undecoded x
  EXPECT_EQ(log, "19 1 17 0 ${max} xxxAx42048 %c\n{max$} \xA4\x40 %c\n");
  log.clear();
  big5("{{max}", &log);  // a line without "xxx" is copied, not scanned
  EXPECT_EQ(log, "6 0 -1 0 ${{max}{{max}");
  log.clear();
  utf8("  \\field{title}{xxxAxA19968}\n", true, &log);  // without \mbox{}
  EXPECT_EQ(log, "28 1 -1 0 $  \\field{title}{xxxAxA19968}\n  \\field{title}{" + kYi + "}\n");
}

char pick(std::mt19937& rng, unsigned low, unsigned high) {
  return static_cast<char>(low + rng() % (high - low + 1));
}

// Up to 3000 bytes: characters, other high bytes, bytes close to token text and, in half the
// texts, line ends (the other half has lines over 600 bytes). No "x" right after a character:
// "x" and digits there read as one more token, which the token format cannot tell apart.
std::string random_text(std::mt19937& rng, bool utf8) {
  constexpr std::string_view kNear = "xxxxxXxXAaZz0123459 }{%\r\0"sv;
  const auto trail = [&] { return pick(rng, 0x80, 0xBF); };
  const std::size_t length = rng() % 3000, long_lines = rng() % 2;
  std::string t;
  for (bool after = false; t.size() < length;) {
    const unsigned kind = rng() % 6;
    const bool was_after = std::exchange(after, false);
    if (kind < 3) {
      const char c = kind == 0 && !long_lines ? '\n' : kNear[rng() % kNear.size()];
      t.push_back(was_after && (c == 'x' || c == 'X') ? 'y' : c);
    } else if (!utf8 && kind == 3) {  // stray bytes
      t.push_back(rng() % 2 ? pick(rng, 0x80, 0x9F) : '\xFF');
    } else if (!utf8) {  // a pair with any trail byte; A0 leads only inside a run
      t += {pick(rng, was_after ? 0xA0 : 0xA1, 0xFE), pick(rng, 0, 0xFF)};
      after = true;
    } else if (kind == 3) {  // four-byte sequences (ideographs of U+20000..U+3FFFF among them), or stray bytes
      if (rng() % 2) {
        t += {pick(rng, 0xF0, 0xF4), trail(), trail(), trail()};
        after = t[t.size() - 4] == '\xF0' && static_cast<unsigned char>(t[t.size() - 3]) >= 0xA0;
      } else {
        t += {trail(), pick(rng, 0xC0, 0xDF), pick(rng, 0xF5, 0xFF)};
      }
    } else if (kind == 4) {  // a three-byte sequence cut short by a plain or a high byte
      t += {pick(rng, 0xE0, 0xEF), trail(), rng() % 2 ? 'a' : pick(rng, 0xC0, 0xFF)};
    } else {  // three-byte characters, overlong and surrogate forms too
      t += {pick(rng, 0xE0, 0xEF), trail(), trail()};
      after = true;
    }
  }
  if (rng() % 4 == 0) {  // a character cut by the end
    t += utf8 ? std::string{pick(rng, 0xE0, 0xEF), trail()} : std::string{pick(rng, 0xA1, 0xFE)};
  }
  return t;
}

// Encodes 300 seeded texts of one build whole and in pieces of 1..16 bytes and decodes them.
void expect_round_trips(bool utf8) {
  const std::regex run(utf8 ? "xxx(0|zz+[a-y]|[a-z])x(0|zz+[a-y]|[a-z])([0-9]{5}|y[0-9]{6})"
                            : "xxx(0|zz+[a-y]|[a-z])x[0-9]{5}", std::regex::icase);
  const std::regex character(utf8 ? "[\\xE0-\\xEF][\\x80-\\xBF]{2}|\\xF0[\\xA0-\\xBF][\\x80-\\xBF]{2}"
                                  : "[\\xA1-\\xFE][^]");
  const auto encoder = utf8 ? make_utf8_encoder : make_big5_encoder;
  const auto decoder = utf8 ? make_utf8_decoder : make_big5_decoder;
  const std::string mbox = "\\mbox{}";
  int checked = 0, mboxes = 0;
  for (unsigned seed = 1; seed <= 300; ++seed) {
    std::mt19937 rng(seed);
    const std::string text = random_text(rng, utf8);
    if (std::regex_search(text, run)) continue;  // out of scope
    ++checked;
    const SortOrder order = seed % 2 ? SortOrder::kStrokes : SortOrder::kZhuyin;
    const std::string whole =
        testing::encode_in_pieces(*encoder(order), text, rng, text.size() + 1);
    SCOPED_TRACE("seed " + std::to_string(seed));
    ASSERT_EQ(testing::encode_in_pieces(*encoder(order), text, rng, 16), whole);
    ASSERT_FALSE(std::regex_search(whole, character));
    ASSERT_EQ(testing::decode_lines(*decoder(false), whole), text);
    // With "\mbox{}" on, the only change is "\mbox{}" before a "}" that a decoded character,
    // a line end or undecoded "x" stand before on its line.
    std::string marked = testing::decode_lines(*decoder(true), whole);
    for (std::size_t p; (p = marked.find(mbox)) != std::string::npos; ++mboxes) {
      marked.erase(p, mbox.size());
      const std::size_t behind = p ? marked.find_last_not_of("xX", p - 1) : p - 1;
      ASSERT_EQ(marked[p], '}');
      ASSERT_TRUE(behind == std::string::npos || marked[behind] == '\n' || marked[behind] & 0x80);
    }
    ASSERT_EQ(marked, text);
  }
  EXPECT_GT(checked, 250);
  EXPECT_EQ(mboxes > 0, utf8);  // corvina writes none
}

TEST(encodeDecodeBig5, ByteLostOrChangedOnTheWayThrough) { expect_round_trips(false); }

TEST(encodeDecodeUtf8, ByteLostOrChangedOnTheWayThrough) { expect_round_trips(true); }

}  // namespace
}  // namespace corvina
