// The encoders of both builds: group prefixes, the token format and the byte order of tokens.

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <tuple>
#include <vector>

#include <iconv.h>
#include <algorithm>

#include "decode/big5_decoder.h"
#include "decode/codec_io.h"
#include "decode/group_code.h"
#include "decode/utf8_decoder.h"
#include "encode/big5_encoder.h"
#include "encode/big5_groups.h"
#include "encode/utf8_encoder.h"
#include "encode/tables/character_tables.h"
#include "encode/token.h"
#include "core/sort_settings.h"
#include "zhuyin_text.h"

namespace corvina {
namespace {

using Cases = std::vector<std::pair<std::string, std::string>>;

constexpr auto encode = testing::encode_whole;

std::string big5(std::string_view input) {
  return encode(*make_big5_encoder(SortOrder::kStrokes, ChineseBlock::kLast), input);
}

// Stand-in tables for corvina4: the group is the code point's low byte, or falls as it rises.
int low_byte(char32_t c) { return static_cast<int>(c & 0xFF); }
int falling(char32_t c) { return low_byte(c) == 0 ? 0 : 38 - low_byte(c); }

std::string utf8(char32_t c) {
  const std::string lead = c > 0xFFFF ? std::string{char(0xF0 | c >> 18), char(0x80 | (c >> 12 & 0x3F))}
                                      : std::string{char(0xE0 | c >> 12)};
  return lead + char(0x80 | (c >> 6 & 0x3F)) + char(0x80 | (c & 0x3F));
}

template <typename Encode>
void expect_sorted_as_listed(const std::vector<std::string>& names, Encode encode_name) {
  std::vector<std::string> tokens;
  for (const std::string& name : names) tokens.push_back(encode_name(name));
  testing::expect_increasing(tokens);
}

// The Big5 build's groups against corvina4's stroke table, through the C library's Big5
// mapping: both must count every Big5 character alike (29 standing for 29 or more), mended
// slips included, since a document gives the same order in either build.
TEST(encodeBig5, GroupDisagreesWithTheUtf8StrokeTable) {
  const iconv_t to_utf32 = iconv_open("UTF-32LE", "BIG5");
  if (to_utf32 == reinterpret_cast<iconv_t>(-1)) GTEST_SKIP() << "skipped: no Big5 conversion";
  int compared = 0;
  for (unsigned code = 0xA440; code <= 0xF9D5; ++code) {
    char in[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    char32_t cp = 0;
    char *from = in, *to = reinterpret_cast<char*>(&cp);
    std::size_t in_left = 2, out_left = sizeof cp;
    if (iconv(to_utf32, &from, &in_left, &to, &out_left) == static_cast<std::size_t>(-1)) continue;
    const int strokes = tables::strokes(cp);
    if (strokes < 1) continue;  // a symbol of the C library's mapping that Big5 ranks nowhere
    EXPECT_EQ(big5::group(code), std::min(strokes, 29)) << std::hex << code << " U+" << static_cast<unsigned>(cp);
    ++compared;
  }
  iconv_close(to_utf32);
  EXPECT_GT(compared, 13000);
  // Codes outside the ideograph ranges: symbols, unassigned lead bytes, the gap after the
  // first block's three strokes, and the end of the appended characters.
  for (unsigned code : {0xA1A1u, 0xA3FEu, 0xA47Fu, 0xA4A0u, 0xC67Fu, 0xC7A1u, 0xC8FEu, 0xF9DDu,
                        0xFAFEu, 0xFE40u})
    EXPECT_EQ(big5::group(code), 0) << std::hex << code;
}

TEST(encodeBig5, RunWrittenOffTheTokenFormat) {
  auto encoder = make_big5_encoder(SortOrder::kStrokes, ChineseBlock::kLast);  // one encoder, one database per case
  const Cases cases = {
      {"", ""},
      {"{\xA4\x40\xA4\x42}", "{ZzzAx42048x42050}"},
      {"\xB3\x5C\xA4\x40", "ZzzKx45916x42048"},  // prefix from the first character only
      {"\xA4\x40 \xA4\x42", "ZzzAx42048 ZzzBx42050"},
      {"\xA1\x41\xA4\x40", "Zzz0x41281x42048"},
      {"\xA4\x40\xA1\x41", "ZzzAx42048x41281"},
      {"\xC6\x6C", "ZzzZzax50796"},
      {"\xC6\x7A\xC6\x7B", "ZzzZzcx50810x50811"},  // 驪, which Big5 ranks with 28 strokes
      {"\xA4\x7D", "ZzzCx42109"},  // the trail byte is taken whatever it is
      {"\xA0\xA4\x40", "\xA0ZzzAx42048"},
      {"\xA4\x40\xA0\x41", "ZzzAx42048x41025"},  // A0 leads once a run is open
      {"\x80\x9F\xFF", "\x80\x9F\xFF"},
      {std::string("a\0b\xA4", 4), std::string("a\0b\xA4", 4)},
      {"\x40", "\x40"},  // the lead byte held at the end of the last database stays there
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(encode(*encoder, input), expected);
}

TEST(encodeBig5, TokensOutOfGroupThenCodeOrder) {
  // None, then 1 to 26, 27, 28, 29 or more strokes.
  expect_sorted_as_listed({"\xA1\x41", "\xA4\x40", "\xA4\x40\xA1\x41", "\xA4\x40\xA4\x42", "\xA4\x41",
                           "\xA4\x42\xA4\x40", "\xC9\x40", "\xA4\xFD", "\xA4\xFE", "\xB3\x5C", "\xF9\xD6",
                           "\xF9\xDC", "\xC6\x65", "\xC6\x6C", "\xC6\x76", "\xC6\x7A", "\xF9\xC6"},
                          big5);
}

std::string group_code(int value) { std::string code; append_group_code(code, value); return code; }

TEST(groupCode, WrongAtARuleEdge) {
  const std::vector<std::pair<int, std::string_view>> cases = {
      {-1, "0"}, {0, "0"}, {1, "A"}, {26, "Z"}, {27, "Zza"}, {37, "Zzk"}, {48, "Zzv"}, {51, "Zzy"},
      {52, "Zzza"}, {76, "Zzzy"}, {77, "Zzzza"}};
  for (const auto& [value, code] : cases) EXPECT_EQ(group_code(value), code) << value;
}

// Every code, with anything that may follow it in a token, sorts before the next value's,
// in byte order and lower-cased; and the decoders' parser reads back exactly the code.
TEST(groupCode, OutOfValueOrderOrReadBackWrongly) {
  const std::vector<std::string> followers = {"x", "0", "9", "Y", "A", "Q"};
  for (int value = 0; value < 200; ++value) {
    for (const std::string& f : followers) {
      ASSERT_EQ(group_code_size(group_code(value) + f + "00000"), group_code(value).size()) << value << f;
      for (const std::string& g : followers) {
        std::string low = group_code(value) + f, high = group_code(value + 1) + g;
        ASSERT_LT(low, high) << value;
        for (std::string* s : {&low, &high})
          for (char& c : *s) c = static_cast<char>(std::tolower(c));
        ASSERT_LT(low, high) << value << " lower-cased";
      }
    }
  }
}

TEST(encodeUtf8, OrderReadsTheWrongTable) {
  const std::vector<std::tuple<SortOrder, std::string, std::string>> cases = {
      {SortOrder::kStrokes, "一二", "ZzzAxA19968xB20108"},
      {SortOrder::kStrokes, "\xE2\x80\x9C", "Zzz0x008220"},
      {SortOrder::kStrokes, "个龘齉", "ZzzCxC20010xZzv40856xZzj40777"},
      {SortOrder::kStrokes, "张劉\U00021619", "ZzzGxG24352xO21129xIY136729"},
      {SortOrder::kZhuyin, "个一兒", "ZzzIxIGA4C20010xVAA1A19968xZzkAA2H20818"},
  };
  for (const auto& [order, input, expected] : cases)
    EXPECT_EQ(encode(*make_utf8_encoder(order, ChineseBlock::kLast), input), expected);
}

TEST(encodeUtf8, ReaderTakesAMalformedSequenceForACharacter) {
  auto encoder = make_utf8_encoder_with(low_byte);  // one encoder, one database per case
  const Cases cases = {
      {"\xEF\xBB\xBF", "Zzz0x065279"},  // a byte-order mark first: no group before it
      {"", ""},
      {"\xE2\x80\x94", "ZzzTxT08212"},  // U+2014: group 0x14, a leading zero in the code
      {"\xF0\xA0\x80\x80", "Zzz0x0Y131072"},  // U+20000
      {"\xF0\xB2\x8E\xAF\xE2\x80\x94", "ZzzZzzzzzzxxZzzzzzzxY205743xT08212"},  // U+323AF, group 175
      {"\xF0\x9F\x98\x80\xF1\x80\x80\x80\xF0\xA0\x80", "\xF0\x9F\x98\x80\xF1\x80\x80\x80\xF0\xA0\x80"},
      {"\xF0\xA0" "A", "\xF0\xA0" "A"},
      {"\xC3\xA9\x80", "\xC3\xA9\x80"},
      {"\xE4\xB8" "A", "\xE4\xB8" "A"},
      {"\xE4\xC0\x80\xE4\xB8\xFF", "\xE4\xC0\x80\xE4\xB8\xFF"},  // high bytes, no continuation
      {"\xE4\xB8", "\xE4\xB8"},
      {std::string("\xE4\xB8\x81\0", 4), std::string("ZzzAxA19969\0", 12)},
      {"\xE4\xB8\x9B\xE4\xB8\x85", "ZzzZzaxZza19995xE19973"},
      {"\xEF\xBB\xBF" "a", "ZzzExE65279a"},  // the group of the last database's last character
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(encode(*encoder, input), expected);
}

TEST(encodeUtf8, TokensOutOfGroupThenCodeOrder) {
  // With `falling`, U+4E25 is group 1 and U+4E01 group 37; U+4E00 and U+4E26 have none.
  std::vector<std::string> names = {utf8(0x4E00), utf8(0x4E26)};
  for (char32_t c = 0x4E25; c >= 0x4E01; --c) names.push_back(utf8(c));
  names.insert(names.begin() + 3, {utf8(0x4E25) + utf8(0x4E02), utf8(0x4E25) + utf8(0x4E01)});
  names.insert(names.end() - 1, utf8(0x4E02) + utf8(0x4E25));
  // Four-byte ideographs after the three-byte ones of their group: U+20025 is group 1,
  // U+2A701 group 37.
  names.insert(names.begin() + 5, {utf8(0x20025), utf8(0x2A725)});
  names.insert(names.end(), {utf8(0x20001), utf8(0x2A701)});
  expect_sorted_as_listed(names, [](const std::string& name) {
    return encode(*make_utf8_encoder_with(falling), name);
  });
}

// Latin keys that a real bibliography may hold, in their own order, and Chinese names of
// the lowest and the highest groups of each build.
const std::vector<std::string> kLatinKeys = {"Abbott", "Xu", "Yang", "Zhang", "Zwingli", "Zyzzyva", "Zz"};
const std::vector<std::string> kBig5Names = {"\xA1\x41", "\xA4\x40", "\xC6\x65\xF9\xD5", "\xC6\x6C"};
const std::vector<std::string> kUtf8Names = {"\xE2\x80\x9C", "一", "齉龘"};

TEST(encode, ChineseBlockSplitsTheLatinKeysOrFallsOnTheWrongSide) {
  for (const ChineseBlock block : {ChineseBlock::kLast, ChineseBlock::kFirst}) {
    for (const RunMark mark : {RunMark::kNone, RunMark::kIdeograph})
    for (const bool big5_build : {true, false}) {
      SCOPED_TRACE(std::string(big5_build ? "big5" : "utf8") + (block == ChineseBlock::kFirst ? " first" : " last") +
                   (mark == RunMark::kIdeograph ? " marked" : ""));
      auto encode_name = [&](const std::string& name) {
        if (static_cast<unsigned char>(name[0]) < 0x80) return name;
        return encode(big5_build ? *make_big5_encoder(SortOrder::kStrokes, block, mark)
                                 : *make_utf8_encoder(SortOrder::kStrokes, block, mark), name);
      };
      const std::vector<std::string>& chinese = big5_build ? kBig5Names : kUtf8Names;
      std::vector<std::string> names = block == ChineseBlock::kFirst ? chinese : kLatinKeys;
      const std::vector<std::string>& after = block == ChineseBlock::kFirst ? kLatinKeys : chinese;
      names.insert(names.end(), after.begin(), after.end());
      expect_sorted_as_listed(names, encode_name);
      EXPECT_TRUE(encode_name(chinese[0]).starts_with(block == ChineseBlock::kFirst ? "0Zz" : "Zzz"));
    }
  }
}

// A classic .bst style looks for Chinese in the text of each name and title: every run must
// carry the ideograph, right behind its prefix, in every order and build, and nowhere else.
TEST(encode, RunWithoutItsIdeographOrIdeographOutOfPlace) {
  struct Case {
    bool big5_build;
    SortOrder order;
    std::string text;
    std::size_t runs;
  };
  const std::string chen = "\xE9\x99\xB3", dawen = "\xE5\xA4\xA7\xE6\x96\x87", zeng = "\xE6\x9B\xBE";
  const Case cases[] = {
      {false, SortOrder::kStrokes, chen, 1},
      {false, SortOrder::kStrokes, "a" + chen + dawen + " b", 1},
      {false, SortOrder::kStrokes, "{" + chen + ", " + dawen + "} and " + zeng, 3},
      {false, SortOrder::kZhuyin, "author = {" + chen + ", " + dawen + " and " + zeng + "}", 3},
      {false, SortOrder::kStrokes, "Zzz and 0Zz as text", 0},
      {true, SortOrder::kStrokes, "\xA4\x40 x \xB3\xAF\xA4\x6A", 2},
  };
  for (const ChineseBlock block : {ChineseBlock::kLast, ChineseBlock::kFirst})
    for (const Case& c : cases) {
      SCOPED_TRACE(c.text);
      const auto make = c.big5_build ? make_big5_encoder : make_utf8_encoder;
      const std::string_view mark = c.big5_build ? kBig5RunMark : kUtf8RunMark;
      const std::string plain = encode(*make(c.order, block, RunMark::kNone), c.text);
      const std::string marked = encode(*make(c.order, block, RunMark::kIdeograph), c.text);
      const std::string prefix(run_prefix(block));
      std::string expected = plain;
      for (std::size_t at = plain.find(prefix), n = 0; n < c.runs; ++n, at = expected.find(prefix, at + 1))
        expected.insert(at + prefix.size(), mark);
      EXPECT_EQ(marked, expected);
      EXPECT_EQ(marked.size() - plain.size(), c.runs * mark.size());
    }
}


// The Big5 bytes of UTF-8 `text`, through the C library; empty when it has no Big5 mapping.
std::string to_big5(const std::string& text) {
  iconv_t to = iconv_open("BIG5", "UTF-8");
  if (to == reinterpret_cast<iconv_t>(-1)) return "";
  std::string in = text, out(text.size() * 2, '\0');
  char *from = in.data(), *into = out.data();
  size_t left = in.size(), room = out.size();
  const bool whole = iconv(to, &from, &left, &into, &room) != static_cast<size_t>(-1) && left == 0;
  iconv_close(to);
  return whole ? out.substr(0, out.size() - room) : "";
}

// A classic style abbreviates each word of a given name to its first letter, so the first
// character of each given-name word gets a group of its own, as bibtex tells the parts of
// a name. Nothing else may change: without the groups' "{\!" and "}" (which sort keys
// drop) the text is byte for byte the marked runs it was, and it decodes back whole.
TEST(encode, GivenNameInitialMissingOrWrittenWhereNoGivenNameBegins) {
  struct Case {
    bool big5_build;
    SortOrder order;
    std::string entry;
    std::vector<std::string> initials;
  };
  const std::string da = "大", xiao = "小", ou = "歐";
  const Case cases[] = {
      {false, SortOrder::kStrokes, "@book{k, author = {陳, 大文}}", {da}},
      {false, SortOrder::kStrokes, "@book{k, author = {陳, 大}, title = {陳, 大文}}", {da}},
      {false, SortOrder::kStrokes, "@book{k, author = {陳, 大文 小明}}", {da, xiao}},
      {false, SortOrder::kStrokes, "@book{k, author = {陳, 大-文}}", {da, "文"}},
      {false, SortOrder::kStrokes, "@book{k, author = \"陳,大文\" # {x}}", {da}},
      {false, SortOrder::kStrokes, "@book{k, author = {陳, {大}文 and 陳, {大文}}}", {}},
      {false, SortOrder::kStrokes, "@book{k, author = {陳大文 and {陳 大文} and 陳}}", {}},
      {false, SortOrder::kStrokes, "@book{k, author = {Smith, John and Smith, Jo 大}}", {da}},
      {false, SortOrder::kStrokes, "@book{k, editor = {大文 陳 and 小 van 陳 and 陳 大文}}", {da, xiao, "陳"}},
      {false, SortOrder::kStrokes, "@book{k, author = {陳, 二世, 大文 and 陳, 小, 大}}", {da, da}},
      {false, SortOrder::kStrokes, "@book{k, author = {陳, 大文 band 小明}}", {da, xiao}},
      {false, SortOrder::kZhuyin, "@book{k, author = {歐陽 大文 and 曾, 大文}}", {ou, da}},
      {false, SortOrder::kPinyin, "@book{k, author = {歐陽修 and 陳, 歐陽}}", {ou}},
      {false, SortOrder::kStrokes, "author = {陳, 大文}", {}},  // between entries
      {true, SortOrder::kStrokes, "@book{k, author = {\xB3\xAF, \xA4\x6A\xA4\xE5}}", {"\xA4\x6A"}},
      // A second byte "}" or "~" is no syntax.
      {true, SortOrder::kStrokes, "@book{k, author = {\xB3\xAF, \xA4\x7D\xA4\x7E\xA4\xE5}}", {"\xA4\x7D"}},
  };
  for (const ChineseBlock block : {ChineseBlock::kLast, ChineseBlock::kFirst})
    for (const Case& c : cases) {
      SCOPED_TRACE(c.entry);
      const auto make = c.big5_build ? make_big5_encoder : make_utf8_encoder;
      const auto decoder = c.big5_build ? make_big5_decoder(false) : make_utf8_decoder(false);
      const std::string_view mark = c.big5_build ? kBig5RunMark : kUtf8RunMark;
      const std::string encoded = encode(*make(c.order, block, RunMark::kIdeograph), c.entry);
      std::string expected = encode(*make(c.order, block, RunMark::kNone), c.entry);
      const std::string prefix(run_prefix(block));
      for (std::size_t at = expected.find(prefix); at != std::string::npos; at = expected.find(prefix, at + 1))
        expected.insert(at + prefix.size(), mark);
      std::string stripped = encoded;
      std::vector<std::string> initials;
      for (std::size_t at; (at = stripped.find(kInitialOpening)) != std::string::npos;) {
        const std::size_t close = stripped.find('}', at);
        ASSERT_NE(close, std::string::npos);
        const std::string inside = stripped.substr(at + kInitialOpening.size(), close - at - kInitialOpening.size());
        initials.push_back(testing::decode_lines(*decoder, inside));
        stripped.erase(close, 1);
        stripped.erase(at, kInitialOpening.size());
      }
      EXPECT_EQ(initials, c.initials) << encoded;
      EXPECT_EQ(stripped, expected);
      EXPECT_EQ(testing::decode_lines(*decoder, encoded), c.entry);
    }
}


// For biblatex the entry keeps its fields byte for byte; the sort fields it gets carry the
// tokens that the fields they stand for get when encoded, surname readings included. Both
// builds: biber reads a Big5 database as Big5 when the document says so.
TEST(encode, UserFieldChangedOrSortFieldUnlikeTheTokensOfItsSource) {
  struct Added {
    std::string name, source, value;
  };
  struct Case {
    std::string entry;
    std::vector<Added> added;
    std::string after;  // the value the added fields follow
    std::string encoded_in_place;  // "field=value" that stays where it is, encoded
  };
  const Case cases[] = {
      {"@book{k, author = {曾國藩 and 單小明}, title = {曾經}, year = {1990}}",
       {{"sortname", "author", "{曾國藩 and 單小明}"}, {"sorttitle", "title", "{曾經}"}}, "{1990}", ""},
      {"@book{k,\n  editor = \"陳, 大文\",\n  title = {Tone},\n}", {{"sortname", "editor", "\"陳, 大文\""}}, "{Tone}", ""},
      {"@book(k, author = {Smith, John}, title = {臺灣})", {{"sorttitle", "title", "{臺灣}"}}, "{臺灣}", ""},
      {"@book{陳2015, author = {陳大文}, sortname = {曾, 大文}, title = {Tone}}", {}, "", "sortname={曾, 大文}"},
      {"@book{k, author = {Smith, John}, title = {Tone}}", {}, "", ""},
      // Big5 trail bytes that are a backslash (許 B3 5C, 功 A5 5C) and braces (弓 A4 7D, 廾 A4 7B).
      {"@book{k, author = {許功}, title = {弓廾}}", {{"sortname", "author", "{許功}"}, {"sorttitle", "title", "{弓廾}"}},
       "{弓廾}", ""},
  };
  struct Program {
    std::unique_ptr<Encoder> (*make)(SortOrder, ChineseBlock, RunMark);
    std::string (*bytes)(const std::string&);
    std::vector<SortOrder> orders;
  };
  const Program programs[] = {
      {make_utf8_encoder, [](const std::string& text) { return text; }, {SortOrder::kStrokes, SortOrder::kZhuyin}},
      {make_big5_encoder, to_big5, {SortOrder::kStrokes}},
  };
  for (const Program& program : programs)
    for (const SortOrder order : program.orders)
      for (const Case& case_utf8 : cases) {
        SCOPED_TRACE(case_utf8.entry);
        Case c = case_utf8;
        for (std::string* text : {&c.entry, &c.after, &c.encoded_in_place}) *text = program.bytes(*text);
        for (Added& a : c.added) a.value = program.bytes(a.value);
        if (c.entry.empty()) GTEST_SKIP() << "skipped: no Big5 conversion";
        const auto tokens_of = [&program, order](const std::string& field, const std::string& value) {
          const std::string head = "@book{k, " + field + " = ";
          const std::string encoded = encode(*program.make(order, ChineseBlock::kLast, RunMark::kNone), head + value + "}");
          return encoded.substr(head.size(), encoded.size() - head.size() - 1);
        };
        std::string expected = c.entry;
        if (!c.encoded_in_place.empty()) {
          const std::string field = c.encoded_in_place.substr(0, c.encoded_in_place.find('='));
          const std::string value = c.encoded_in_place.substr(field.size() + 1);
          expected.replace(expected.find(value), value.size(), tokens_of(field, value));
        }
        std::string fields;
        for (const Added& a : c.added) fields += ",\n  " + a.name + " = " + tokens_of(a.source, a.value);
        if (!c.added.empty()) expected.insert(c.entry.rfind(c.after) + c.after.size(), fields);
        auto encoder = program.make(order, ChineseBlock::kLast, RunMark::kNone);
        encoder->keep_fields_as_written(default_sort_settings());
        EXPECT_EQ(encode(*encoder, c.entry), expected);
      }
  // Text between entries and @string are encoded as before: the back end expands a macro
  // into the fields it stands in.
  const std::string other = "@string{chen = {陳大文}}\n陳 ";
  auto encoder = make_utf8_encoder(SortOrder::kStrokes, ChineseBlock::kLast);
  encoder->keep_fields_as_written(default_sort_settings());
  EXPECT_EQ(encode(*encoder, other), encode(*make_utf8_encoder(SortOrder::kStrokes, ChineseBlock::kLast), other));
}

}  // namespace
}  // namespace corvina
