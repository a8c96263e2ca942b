// The decoders of both builds, fed line by line as the back end's .bbl is read, and seeded
// random texts without a complete token run, encoded in random pieces and decoded.

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "codec_io.h"
#include "decode/big5_decoder.h"
#include "decode/line_record.h"
#include "decode/token_decoder.h"
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
  for (const std::string text : {"see Zzz.lanl.gov, xxx.lanl.gov, key Zzz00, 0zz00\n", "ends in Zzz\nnext",
                                 "ZzzA4x42048 Zzz9x919968 0Zz{x{19968 zzz-x19968 Zzz xA19968 ZzzZz0xZz020818 ZzzZzzxZzz20818\n"}) {
    EXPECT_EQ(big5(text), text);
    EXPECT_EQ(utf8(text), text);
  }
}

TEST(decodeBig5, CompleteRunNotDecodedOrIncompleteOneDecoded) {
  const Cases cases = {
      {"{ZzzAx42048}\n", "{\xA4\x40}\n"},  // no \mbox{} in this build
      {"ZzzZzax50796 0ZzZzax50796", "\xC6\x6C \xC6\x6C"},
      {"ZzzA1x50796", "ZzzA1x50796"},  // the groups above 26 no longer take a digit
      {"ZzzAx42048x42050x4205\n", "\xA4\x40\xA4\x42x4205\n"},
      {"ZzzAx420481", "\xA4\x40" "1"},
      {"ZZzzAx42048", "Z\xA4\x40"},
      {"zZZaX42048 0zzzZbx50807", "\xA4\x40 \xC6\x77"},  // a back end may change case
      {"ZzzAx42048x99999 ZzzAx99999 ZzzAx4204\n", "\xA4\x40x99999 ZzzAx99999 ZzzAx4204\n"},
      {"Zzz0x41281\r\n", "\xA1\x41\r\n"},
      {std::string(700, 'a') + "ZzzKx45916\n", std::string(700, 'a') + "\xB3\x5C\n"},
  };
  for (const auto& [line, expected] : cases) EXPECT_EQ(big5(line), expected) << line;
}

TEST(decodeUtf8, CompleteRunNotDecodedIncompleteOneDecodedOrMboxMissingOrMisplaced) {
  const Cases cases = {
      {"ZzzAxA19968xB20108 0ZzAxA19968", kYi + "二 " + kYi},
      {"ZZzzAxA19968", "Z" + kYi},
      {"ZzzZzkxZzk20818 zzzzzkxzzk20818", kEr + " " + kEr},
      {"zzzxxx19968", kYi},  // group X after a back end lower-cased it
      {"ZzzAx19968 ZzzAxA1996", "ZzzAx19968 ZzzAxA1996"},  // own group code, a digit missing
      {"Zzz0x065535 Zzz0x065536", "\xEF\xBF\xBF Zzz0x065536"},  // no three-byte form
      {"Zzz0x008212", "\xE2\x80\x94"},
      {"ZzzZzvxZzv40856xZzza19968", "龘一"},  // groups 48 and 52
      {"ZzzIxIY136729 zzzixiy136729", "\U00021619 \U00021619"},
      {"ZzzIxIY136729x0Y262143", "\U00021619\U0003FFFF"},
      {"Zzz0x0Y131071 Zzz0x0Y262144 Zzz0x0Y13107", "Zzz0x0Y131071 Zzz0x0Y262144 Zzz0x0Y13107"},
      // "\mbox{}" goes before a closing brace that a decoded character stands before.
      {"  \\field{title}{ZzzAxA19968}\n", "  \\field{title}{" + kYi + "\\mbox{}}\n"},
      {"{ZzzAxA19968 }", "{" + kYi + " }"},
      {"{ZzzAxA19968x}", "{" + kYi + "x\\mbox{}}"},  // an undecoded x keeps the flag
      {"{ZzzAxA19968Z}", "{" + kYi + "Z}"},
      {"{ZzzAxA19968\n}Zzz\n", "{" + kYi + "\n\\mbox{}}Zzz\n"},
      {"{ZzzAxA19968\r\n}Zzz\n", "{" + kYi + "\r\n\\mbox{}}Zzz\n"},  // CR is line end
      {"{ZzzAxA19968\n}\n}Zzz\n", "{" + kYi + "\n}\n\\mbox{}}Zzz\n"},  // copied line
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(utf8(text), expected) << text;
  EXPECT_EQ(utf8("{ZzzAxA19968}", false), "{" + kYi + "}");
}

// Lines are searched for a prefix sixteen bytes at a time; a prefix at any place, also cut
// by a block boundary or in the last bytes, must be found, and a lone "z" pair or a "zz"
// with the wrong byte before it must not count.
TEST(decode, RunPrefixMissedAtABlockBoundary) {
  for (const char* prefix : {"0zZ", "zZz"})
    for (std::size_t size = 3; size <= 40; ++size)
      for (std::size_t at = 0; at + 3 <= size; ++at) {
        std::string line(size, 'a');
        line.replace(at, 3, prefix);
        EXPECT_TRUE(has_run_prefix(line)) << line;
        line[at] = 'y';
        EXPECT_FALSE(has_run_prefix(line)) << line;
      }
  EXPECT_FALSE(has_run_prefix("zz and a z, 0z z0 Z"));
}

TEST(decode, LogRecordWrong) {
  std::string log[3];
  big5("{max} ZzzAx42048 %c\n", &log[0]);  // "$" after each undecoded x
  big5("{{max}", &log[1]);  // a line without a run prefix is copied, not scanned
  utf8("  \\field{title}{ZzzAxA19968}\n", true, &log[2]);  // without \mbox{}
  EXPECT_EQ(log[0], "19 1 17 0 ${max} ZzzAx42048 %c\n{max$} \xA4\x40 %c\n");
  EXPECT_EQ(log[1], "6 0 -1 0 ${{max}{{max}");
  EXPECT_EQ(log[2], "28 1 -1 0 $  \\field{title}{ZzzAxA19968}\n  \\field{title}{" + kYi + "}\n");
}

// A classic style's "f." copies the encoder's group of a given name's initial whole, and
// its "ff" the group and the rest of the run; only that group loses its braces.
TEST(decode, InitialGroupKeptOrUsersBracesDropped) {
  const std::string da = "大", dawen = "大文";
  const Cases utf8_cases = {
      {"{\\!Zzz中CxC22823}.", da + "."},
      {"{\\!ZzzCxC22823}.", "{\\!" + da + "}."},  // a run without the mark was written for biber
      {"{\\!Zzz中CxC22823}xD25991 and {\\!Zzz中CxC22823}.~B.", dawen + " and " + da + ".~B."},
      {"{\\!0ZZ中CXC22823}XD25991.", dawen + "."},  // upper-cased by a style
      {"{ZzzCxC22823}.", "{" + da + "}."},  // the user's braces
      {"{\\!Zzz中CxC22823xD25991}.", "{\\!" + dawen + "}."},
      {"{\\!Zzz中CxC22823 }", "{\\!" + da + " }"},
      {"{\\!Zzz} {\\!ZzzC} {\\!", "{\\!Zzz} {\\!ZzzC} {\\!"},
      {"{\\'E}mile {\\!Zzz中CxC22823}", "{\\'E}mile " + da},
  };
  for (const auto& [line, expected] : utf8_cases) {
    std::string log;
    EXPECT_EQ(utf8(line, false, &log), expected) << line;
    // The log holds the line's record, the line as read, then what was written.
    std::string record;
    append_record(line_record(line), record);
    EXPECT_EQ(log, record + line + expected);
  }
  // In a .vdk document a decoded character before a "}" still gets its "\mbox{}".
  EXPECT_EQ(utf8("{\\!Zzz中CxC22823}}", true), da + "\\mbox{}}");
  const Cases big5_cases = {
      {"{\\!Zzz\xA4\xA4" "Ax42048}.", "\xA4\x40."},
      {"{\\!ZzzAx42048}.", "{\\!\xA4\x40}."},
      {"{\\!Zzz\xA4\xA4" "Ax42048}x42050.", "\xA4\x40\xA4\x42."},
      {"{ZzzAx42048}.", "{\xA4\x40}."},
  };
  for (const auto& [line, expected] : big5_cases) EXPECT_EQ(big5(line), expected) << line;
}

TEST(encodeDecode, TextRunningIntoATokenSwallowed) {
  // Latin text glued to a Chinese word, the letters of a run prefix among it; 鬱 and 齉 are
  // of groups above 26, whose codes begin with "Z" as well.
  struct Build {
    std::vector<std::string> words;
    decltype(&make_big5_encoder) encoder;
    std::string (*decode)(std::string_view);
  };
  const Build builds[] = {{{"\xC0\xEF", "\xC6\x7B", "\xA4\x40"}, make_big5_encoder, [](std::string_view t) { return big5(t); }},
                          {{"爵", "齉", "一"}, make_utf8_encoder, [](std::string_view t) { return utf8(t, false); }}};
  for (const std::string latin : {"Jazz", "ZZ", "0Z", "Zzz", "0Zz", "zzZ", "zZzz"})
    for (const ChineseBlock block : {ChineseBlock::kLast, ChineseBlock::kFirst})
      for (const RunMark mark : {RunMark::kNone, RunMark::kIdeograph})
        for (const Build& build : builds)
          for (const std::string& word : build.words) {
            const std::string text = latin + word + "\n";
            std::mt19937 rng(1);
            const std::string encoded =
                testing::encode_in_pieces(*build.encoder(SortOrder::kStrokes, block, mark), text, rng, 100);
            EXPECT_EQ(build.decode(encoded), text) << encoded;
          }
}

// Lines as biber and biblatex's bibtex style write them; 王 is ZzzDxD29579 in corvina4.
TEST(decodeUtf8, InitialBuiltFromATokenLeftOrALatinOneChanged) {
  const std::string wang = "ZzzDxD29579", xiao = "ZzzCxC23567", ming = "ZzzHxH26126", da = "ZzzCxC22823";
  const Cases cases = {
      {"  family={" + wang + "\\bibnamedelima Jr},\n  familyi={Z\\bibinitperiod\\bibinitdelim J\\bibinitperiod},\n",
       "  family={王\\bibnamedelima Jr},\n  familyi={王\\bibinitperiod\\bibinitdelim J\\bibinitperiod},\n"},
      {"given={" + xiao + "-" + ming + "\\bibnamedelima " + da + "},\n"
       "giveni={Z\\bibinithyphendelim Z\\bibinitperiod\\bibinitdelim Z\\bibinitperiod},\n",
       "given={小-明\\bibnamedelima 大},\ngiveni={小\\bibinithyphendelim 明\\bibinitperiod\\bibinitdelim 大\\bibinitperiod},\n"},
      // A corporate name in braces; the name's closing braces on the initials line.
      {"family={{" + wang + xiao + "}},\nfamilyi={Z\\bibinitperiod}}}%\n",
       "family={{王小}},\nfamilyi={王\\bibinitperiod}}}%\n"},
      // Latin words that begin with Z, beside a Chinese one and alone.
      {"family={Zhang\\bibnamedelima " + wang + "},\nfamilyi={Z\\bibinitperiod\\bibinitdelim Z\\bibinitperiod},\n",
       "family={Zhang\\bibnamedelima 王},\nfamilyi={Z\\bibinitperiod\\bibinitdelim 王\\bibinitperiod},\n"},
      {"family={Zhang},\nfamilyi={Z\\bibinitperiod},\n", "family={Zhang},\nfamilyi={Z\\bibinitperiod},\n"},
      // With --chinese-first biber takes "0" for the initial, bibtex "Z".
      {"prefix={0ZzDxD29579},\nprefixi={0\\bibinitperiod},\nsuffix={0ZzDxD29579},\nsuffixi={Z\\bibinitperiod},\n",
       "prefix={王},\nprefixi={王\\bibinitperiod},\nsuffix={王},\nsuffixi={王\\bibinitperiod},\n"},
      // bibtex wraps long lines at a blank, the name part and its initials alike.
      {"given={" + xiao + "-" + ming + "\\bibnamedelima\n  " + da + "},\n"
       "giveni={Z\\bibinithyphendelim Z\\bibinitperiod\\bibinitdelim\n  Z\\bibinitperiod},\n",
       "given={小-明\\bibnamedelima\n  大},\ngiveni={小\\bibinithyphendelim 明\\bibinitperiod\\bibinitdelim\n  大\\bibinitperiod},\n"},
      // biber's delimiter after the first of three elements: "a" when it is shorter than
      // three characters, counted as decoded; "b" after three or more, or after a Latin one.
      {"given={" + xiao + "xH26126\\bibnamedelimb " + da + "\\bibnamedelima " + da + "},\n",
       "given={小明\\bibnamedelima 大\\bibnamedelima 大},\n"},
      {"given={" + xiao + "xH26126xC22823\\bibnamedelimb " + da + "\\bibnamedelima " + da + "},\n",
       "given={小明大\\bibnamedelimb 大\\bibnamedelima 大},\n"},
      {"given={Abc\\bibnamedelimb " + da + "\\bibnamedelima " + da + "},\n",
       "given={Abc\\bibnamedelimb 大\\bibnamedelima 大},\n"},
      // A name part whose braces never close ends with its line.
      {"family={{" + wang + "},\n         given={" + xiao + "},\ngiveni={Z\\bibinitperiod},\n",
       "family={{王},\n         given={小},\ngiveni={小\\bibinitperiod},\n"},
      // Initials of another part, or with no name part before them, stay.
      {"given={" + wang + "},\nfamilyi={Z\\bibinitperiod},\n", "given={王},\nfamilyi={Z\\bibinitperiod},\n"},
      {"familyi={Z\\bibinitperiod},\n", "familyi={Z\\bibinitperiod},\n"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(utf8(text, false), expected) << text;
  EXPECT_EQ(big5("family={ZzzDx42237},\nfamilyi={Z\\bibinitperiod},\n"),
            "family={\xA4\xFD},\nfamilyi={\xA4\xFD\\bibinitperiod},\n");
}

char pick(std::mt19937& rng, unsigned low, unsigned high) { return static_cast<char>(low + rng() % (high - low + 1)); }

// Up to 3000 bytes: characters, other high bytes, bytes close to token text and, in half the
// texts, line ends (the other half has lines over 600 bytes). No "x" right after a character:
// "x" and digits there read as one more token, which the token format cannot tell apart.
std::string random_text(std::mt19937& rng, bool utf8) {
  constexpr std::string_view kNear = "xxxxXxXAaZzzZzz0123459 }{%\r\0"sv;
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
  const std::regex run(utf8 ? "(zzz|0zz)(0|zz+[a-y]|[a-z])x(0|zz+[a-y]|[a-z])([0-9]{5}|y[0-9]{6})"
                            : "(zzz|0zz)(0|zz+[a-y]|[a-z])x[0-9]{5}", std::regex::icase);
  const std::regex character(utf8 ? "[\\xE0-\\xEF][\\x80-\\xBF]{2}|\\xF0[\\xA0-\\xBF][\\x80-\\xBF]{2}"
                                  : "[\\xA1-\\xFE][^]");
  const auto encoder = utf8 ? make_utf8_encoder : make_big5_encoder;
  // A marked run is the unmarked one with the ideograph behind its prefix: nothing else of
  // the key changes, so neither does its order.
  const std::regex mark_behind_prefix(std::string("(zzz|0zz)") + std::string(utf8 ? kUtf8RunMark : kBig5RunMark),
                                      std::regex::icase);
  const auto decoder = utf8 ? make_utf8_decoder : make_big5_decoder;
  const std::string mbox = "\\mbox{}";
  int checked = 0, mboxes = 0;
  for (unsigned seed = 1; seed <= 300; ++seed) {
    std::mt19937 rng(seed);
    const std::string text = random_text(rng, utf8);
    if (std::regex_search(text, run)) continue;  // out of scope
    ++checked;
    const SortOrder order = static_cast<SortOrder>(seed % 3);  // strokes, zhuyin, pinyin
    const ChineseBlock block = seed % 4 < 2 ? ChineseBlock::kLast : ChineseBlock::kFirst;
    const std::string whole =
        testing::encode_in_pieces(*encoder(order, block, RunMark::kNone), text, rng, text.size() + 1);
    SCOPED_TRACE("seed " + std::to_string(seed));
    ASSERT_EQ(testing::encode_in_pieces(*encoder(order, block, RunMark::kNone), text, rng, 16), whole);
    ASSERT_FALSE(std::regex_search(whole, character));
    ASSERT_EQ(testing::decode_lines(*decoder(false), whole), text);
    const std::string with_marks = testing::encode_in_pieces(*encoder(order, block, RunMark::kIdeograph), text, rng, 16);
    ASSERT_EQ(std::regex_replace(with_marks, mark_behind_prefix, "$1"), whole);
    ASSERT_EQ(std::regex_search(with_marks, mark_behind_prefix), whole != text) << "runs without their mark";
    ASSERT_EQ(testing::decode_lines(*decoder(false), with_marks), text);
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
