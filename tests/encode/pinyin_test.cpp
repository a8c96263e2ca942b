// The pinyin order of corvina4: mainland readings and stroke counts, tokens, surnames in
// name fields, and the way back through the decoder in all three orders.

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "decode/codec_io.h"
#include "decode/utf8_decoder.h"
#include "encode/pinyin_key.h"
#include "encode/tables/reading_tables.h"
#include "encode/utf8_encoder.h"
#include "zhuyin_text.h"

namespace corvina {
namespace {

using tables::Pinyin;
using testing::expect_increasing;

// "zhang1" -> ZHANG, tone 1; "lv3" -> LV, 3. Written here apart from the generator's parser.
std::string spelled(const Pinyin& p) {
  std::string out(p.letters);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out + std::to_string(p.tone);
}

char32_t code_point(const std::string& s) {
  const unsigned char b0 = s[0];
  if (b0 >= 0xF0) return (b0 & 0x07u) << 18 | (s[1] & 0x3Fu) << 12 | (s[2] & 0x3Fu) << 6 | (s[3] & 0x3Fu);
  return (b0 & 0x0Fu) << 12 | (s[1] & 0x3Fu) << 6 | (s[2] & 0x3Fu);
}

TEST(pinyinReadings, CharacterReadWrong) {
  // kMandarin's first value (polyphones read the mainland way), traditional forms read as
  // their simplified form (鋨 as 锇, not tiě), the mended characters, ü syllables, the neutral tone, syllabic nasals, a
  // four-byte ideograph, a compatibility ideograph, and the mainland stroke counts.
  const std::vector<std::tuple<std::string, std::string, int>> readings = {
      {"张", "zhang1", 7},  {"張", "zhang1", 11}, {"陈", "chen2", 7},   {"陳", "chen2", 10}, {"刘", "liu2", 6},
      {"劉", "liu2", 15},   {"沈", "shen3", 7},   {"都", "dou1", 10},   {"地", "di4", 6},    {"卜", "bu3", 2},
      {"俟", "si4", 9},     {"长", "chang2", 4},  {"長", "chang2", 8},  {"迹", "ji4", 9},    {"跡", "ji4", 13},
      {"誰", "shei2", 15},  {"谁", "shei2", 10},  {"差", "cha1", 9},    {"干", "gan1", 3},   {"曾", "ceng2", 12},
      {"单", "dan1", 8},    {"解", "jie3", 13},   {"吕", "lv3", 6},     {"女", "nv3", 3},    {"略", "lve4", 11},
      {"绿", "lv4", 11},    {"居", "ju1", 8},     {"雪", "xue3", 11},   {"吗", "ma5", 6},    {"的", "de5", 8},
      {"呣", "m2", 8},      {"嗯", "n2", 13},     {"\xF0\xA0\x80\x80", "he1", 2}, {"\xEF\xA4\x82", "che1", 7},
      {"車", "che1", 7},    {"一", "yi1", 1},     {"兒", "er2", 8},     {"龘", "da2", 48},   {"期", "qi1", 12},
      {"罗", "luo2", 8},    {"羅", "luo2", 19},   {"鋨", "e2", 15},     {"縝", "zhen3", 16}, {"蹣", "pan2", 18},
      {"子", "zi3", 3}};
  for (const auto& [character, reading, strokes] : readings) {
    const tables::PinyinEntry e = tables::pinyin(code_point(character));
    EXPECT_EQ(std::make_pair(spelled(e.reading), e.strokes), std::make_pair(reading, strokes)) << character;
  }
  for (const char32_t none : {0x3000u, 0x3105u, 0xFF21u, 0x4DFFu, 0x1F600u}) EXPECT_EQ(tables::pinyin(none).reading.tone, 0);
}

TEST(pinyinReadings, SurnameReadAsTheWord) {
  const std::vector<std::pair<std::string, std::string>> surnames = {
      {"曾", "zeng1"}, {"单", "shan4"}, {"單", "shan4"}, {"解", "xie4"},  {"查", "zha1"},  {"仇", "qiu2"},
      {"区", "ou1"},   {"區", "ou1"},   {"朴", "piao2"}, {"盖", "ge3"},   {"蓋", "ge3"},   {"乐", "yue4"},
      {"樂", "yue4"},  {"缪", "miao4"}, {"繆", "miao4"}, {"翟", "zhai2"}, {"覃", "qin2"},  {"任", "ren2"},
      {"华", "hua4"},  {"華", "hua4"},  {"纪", "ji3"},   {"燕", "yan1"},  {"秘", "bi4"},   {"召", "shao4"},
      {"种", "chong2"}, {"種", "chong2"}, {"繁", "po2"}, {"员", "yun4"},  {"过", "guo1"},  {"能", "nai4"},
      {"句", "gou1"},  {"宓", "fu2"},   {"番", "pan1"},  {"蔚", "yu4"},   {"肖", "xiao1"},
      {"阚", "kan4"},  {"阙", "que1"},  {"闕", "que1"}};
  for (const auto& [character, reading] : surnames) {
    const auto r = tables::pinyin_surname_reading(code_point(character));
    EXPECT_EQ(r ? spelled(*r) : "none", reading) << character;
  }
  const std::vector<std::tuple<std::string, std::string, std::string>> compounds = {
      {"尉迟", "yu4", "chi2"}, {"尉遲", "yu4", "chi2"}, {"万俟", "mo4", "qi2"},   {"萬俟", "mo4", "qi2"},
      {"单于", "chan2", "yu2"}, {"單于", "chan2", "yu2"}, {"澹台", "tan2", "tai2"}, {"澹臺", "tan2", "tai2"},
      {"长孙", "zhang3", "sun1"}, {"長孫", "zhang3", "sun1"}, {"令狐", "ling2", "hu2"}};
  for (const auto& [both, first, second] : compounds) {
    const auto r = tables::pinyin_compound_surname(code_point(both.substr(0, 3)), code_point(both.substr(3)));
    EXPECT_EQ(r ? spelled(r->first) + " " + spelled(r->second) : "none", first + " " + second) << both;
  }
  EXPECT_FALSE(tables::pinyin_compound_surname(U'尉', U'繚'));
  EXPECT_FALSE(tables::pinyin_surname_reading(U'陳'));
}

// One list serves both orders: a surname that one of them reads as a surname and the other
// as the word would sort under the wrong letter or symbol in that other order.
TEST(pinyinReadings, SurnameInOneOrderOnly) {
  for (char32_t cp = 0x4E00; cp <= 0x9FFF; ++cp) {
    ASSERT_EQ(tables::surname_reading(cp).has_value(), tables::pinyin_surname_reading(cp).has_value()) << std::hex << static_cast<unsigned>(cp);
    ASSERT_EQ(tables::begins_compound_surname(cp), tables::begins_pinyin_compound_surname(cp)) << std::hex << static_cast<unsigned>(cp);
  }
}

TEST(pinyinReadings, IdeographWithoutReadingOrMalformed) {
  int read = 0;
  for (char32_t cp = 0x3400; cp <= 0x323AF; ++cp) {
    const tables::PinyinEntry e = tables::pinyin(cp);
    if (e.reading.tone == 0) continue;
    ++read;
    bool ok = e.reading.tone <= 5 && !e.reading.letters.empty() && e.reading.letters.size() <= 6 && e.strokes >= 1;
    for (std::size_t i = 0; i < e.reading.letters.size(); ++i) {
      const char c = e.reading.letters[i];
      ok = ok && c >= 'A' && (i == 0 ? c <= 'Z' && c != 'I' && c != 'U' && c != 'V' : c <= 'V');
    }
    ASSERT_TRUE(ok) << "U+" << std::hex << static_cast<unsigned>(cp);
  }
  EXPECT_GT(read, 41000);  // kMandarin of Unihan 15 reads 41,420
}

std::string token(char32_t cp, const std::string& letters, int tone, int strokes) {
  std::string out;
  pinyin::append_token(out, cp, Pinyin{letters, tone}, strokes);
  return out;
}

TEST(pinyinTokens, OutOfLettersToneStrokesOrder) {
  expect_increasing({
      token(0x3000, "", 0, -1), token(0xFF21, "", 0, 3),               // no reading first, by strokes
      token(U'阿', "A", 1, 7), token(U'啊', "A", 5, 10), token(U'爱', "AI", 4, 10),  // a before ai
      token(U'陈', "CHEN", 2, 7), token(U'陳', "CHEN", 2, 10),  // strokes, not the group letter's code
      token(U'额', "E", 2, 15), token(U'恩', "EN", 1, 10), token(U'鞥', "ENG", 1, 18), token(U'儿', "ER", 2, 2),
      token(U'卢', "LU", 2, 5), token(U'栾', "LUAN", 2, 10), token(U'伦', "LUN", 2, 6),  // ü after u
      token(U'罗', "LUO", 2, 8), token(U'吕', "LV", 3, 6), token(U'略', "LVE", 4, 11),
      token(U'妈', "MA", 1, 6), token(U'麻', "MA", 2, 11), token(U'马', "MA", 3, 3),   // tones, neutral last
      token(U'骂', "MA", 4, 9), token(U'吗', "MA", 5, 6),
      token(U'张', "ZHANG", 1, 7), token(0x4E00, "ZHANG", 1, 26), token(0x4E00, "ZHANG", 1, 27),
      token(0x4E00, "ZHANG", 1, 64), token(0xFFFF, "ZHANG", 1, 64), token(0x2A6A5, "ZHANG", 1, 64),
      token(U'左', "ZUO", 3, 5),
  });
  // The layout the decoder reads back: letters, tone, stroke group code, code point.
  EXPECT_EQ(token(U'张', "ZHANG", 1, 7), "xZHANG1G24352");
  EXPECT_EQ(token(0x3000, "", 0, -1), "x0A0012288");
}

std::vector<std::string> name_tokens(const std::vector<std::string>& names) {
  return testing::author_tokens(SortOrder::kPinyin, names);
}

// Names in the order of their mainland readings (surnames as surnames), each placed so that
// a neighbour moves past it when its surname takes the common reading, when ü sorts as u,
// or when a tone (the neutral one last) leaves its place.
TEST(pinyinTokens, NamesOutOfPinyinOrder) {
  expect_increasing(name_tokens({"高明", "盖明", "葛明", "化明", "华安", "林妈", "林吗", "卢明", "罗明", "吕明",
                                 "万俟卨", "区文", "欧阳明", "朴明", "蒲明", "仇英", "任明", "忍明", "单明", "上官英",
                                 "谢明", "解宇", "于明", "尉迟恭", "乐君", "臧明", "曾志", "查如", "翟明", "张明"}));
}

// The letters and tones of a run of tokens: what must agree between two forms of one name.
std::string readings_of(const std::string& run) {
  static const std::regex kToken("x([0A-Z])([A-V]*[0-5])");
  std::string out;
  for (std::sregex_iterator it(run.begin(), run.end(), kToken), end; it != end; ++it) out += (*it)[1].str() + (*it)[2].str() + " ";
  return out;
}

TEST(pinyinTokens, SimplifiedAndTraditionalFormsReadApart) {
  const std::vector<std::pair<std::string, std::string>> pairs = {
      {"陈大文", "陳大文"}, {"刘德华", "劉德華"}, {"单明", "單明"}, {"区文", "區文"}, {"乐君", "樂君"},
      {"尉迟恭", "尉遲恭"}, {"长孙无忌", "長孫無忌"}, {"张爱玲", "張愛玲"}, {"谁说", "誰說"}, {"迹象", "跡象"}};
  for (const auto& [simplified, traditional] : pairs) {
    const auto tokens = name_tokens({simplified, traditional});
    EXPECT_EQ(readings_of(tokens[0]), readings_of(tokens[1])) << simplified << " " << traditional;
  }
}

// Surnames, ü, the neutral tone, a four-byte ideograph, lower-casing, and digits right after
// tokens: a stroke token followed by digits (a four-byte code 20xxxx, "Y20...", or a code
// whose first digits could be a tone and the group "0") must not read as a pinyin token; nor
// text shaped like a zhuyin token ("xAAA0A19968") as one.
TEST(readingsRoundTrip, DecodedTextDiffersFromTheDatabase) {
  const struct {
    std::string text;
    std::vector<SortOrder> orders;  // in the order they draw their pieces
  } cases[] = {
      {"@book{曾, author = {曾國藩 and 尉遲恭 and 單 and 阿}, title = {龘吕吗「一」，\xEF\xBB\xBF"
       "ㄅ\xF0\xA0\x80\x80\xF0\xB0\xBB\x9E""12345 些12345 俄12 阿00 Zzk xxxA xA1G38463}}\n\xE4\xB8",
       {SortOrder::kStrokes, SortOrder::kZhuyin, SortOrder::kPinyin}},
      {"@book{曾, author = {曾國藩 and 尉遲恭 and 單}, title = {龘車「一」，\xEF\xBB\xBF"
       "ㄅ\xF0\xA0\x80\x80 Zzk xxxA xAAA0A19968}}\n\xE4\xB8",
       {SortOrder::kZhuyin, SortOrder::kStrokes, SortOrder::kPinyin}},
  };
  for (const auto& [text, orders] : cases) {
    std::mt19937 rng(11);
    for (const SortOrder order : orders) {
      const std::string encoded = testing::encode_in_pieces(*make_utf8_encoder(order, ChineseBlock::kLast), text, rng, 7);
      for (bool lower : {false, true}) {
        std::string folded = encoded, expected = text;  // the Latin letters are lowered too
        for (char& c : folded) c = lower ? static_cast<char>(std::tolower(static_cast<unsigned char>(c))) : c;
        for (char& c : expected) c = lower && c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        EXPECT_EQ(testing::decode_lines(*make_utf8_decoder(false), folded), expected)
            << "order " << static_cast<int>(order) << (lower ? ", lower-cased" : "");
      }
    }
  }
}

}  // namespace
}  // namespace corvina
