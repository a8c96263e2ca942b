// The zhuyin order of corvina4: readings, tokens and the name fields that take surname
// readings (the way back through the decoder is tested with the pinyin order's).

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "encode/tables/reading_tables.h"
#include "encode/utf8_encoder.h"
#include "encode/zhuyin_key.h"
#include "zhuyin_text.h"

namespace corvina {
namespace {

using tables::Reading;
using testing::expect_increasing;
using testing::parse;

bool same(const Reading& a, const Reading& b) {
  return a.initial == b.initial && a.medial == b.medial && a.final_ == b.final_ && a.tone == b.tone;
}

char32_t first_code_point(const std::string& s) {
  return (s[0] & 0x0Fu) << 12 | (s[1] & 0x3Fu) << 6 | (s[2] & 0x3Fu);
}

TEST(zhuyinReadings, CharacterReadWrong) {
  // Taiwan readings where the mainland differs, 車 as ㄔㄜ, a four-byte ideograph,
  // simplified forms and other characters outside Big5, and the readings of one- and
  // two-character surnames.
  const std::vector<std::pair<std::string, std::string>> readings = {
      {"李", "ㄌㄧˇ"}, {"劉", "ㄌㄧㄡˊ"}, {"綠", "ㄌㄩˋ"}, {"一", "ㄧ"}, {"兒", "ㄦˊ"}, {"中", "ㄓㄨㄥ"},
      {"期", "ㄑㄧˊ"}, {"企", "ㄑㄧˋ"}, {"微", "ㄨㄟˊ"}, {"垃", "ㄌㄜˋ"}, {"車", "ㄔㄜ"},
      {"曾", "ㄘㄥˊ"}, {"嗎", "˙ㄇㄚ"}, {"\xF0\xA0\x80\x80", "ㄏㄜ"}, {"月", "ㄩㄝˋ"}, {"雄", "ㄒㄩㄥˊ"},
      {"對", "ㄉㄨㄟˋ"}, {"論", "ㄌㄨㄣˋ"}, {"君", "ㄐㄩㄣ"}, {"問", "ㄨㄣˋ"}, {"之", "ㄓ"}, {"用", "ㄩㄥˋ"},
      {"耶", "ㄧㄝˊ"}, {"元", "ㄩㄢˊ"}, {"要", "ㄧㄠˋ"}, {"女", "ㄋㄩˇ"}, {"俟", "ㄙˋ"},
      {"丁", "ㄉㄧㄥ"}, {"不", "ㄅㄨˋ"}, {"人", "ㄖㄣˊ"}, {"愛", "ㄞˋ"}, {"齉", "ㄋㄤˋ"}, {"驪", "ㄌㄧˊ"},
      {"鬱", "ㄩˋ"}, {"张", "ㄓㄤ"}, {"邓", "ㄉㄥˋ"}, {"刘", "ㄌㄧㄡˊ"}, {"陈", "ㄔㄣˊ"}, {"黄", "ㄏㄨㄤˊ"},
      {"恒", "ㄏㄥˊ"}, {"碁", "ㄑㄧˊ"}, {"裏", "ㄌㄧˇ"}, {"堃", "ㄎㄨㄣ"}, {"喆", "ㄓㄜˊ"}, {"犇", "ㄅㄣ"},
      {"子", "ㄗˇ"}, {"\xEF\xA4\x82", "ㄔㄜ"}};  // U+F902, the compatibility form of 車
  for (const auto& [character, zhuyin] : readings) {
    const char32_t cp = character.size() == 4 ? 0x20000 : first_code_point(character);
    EXPECT_TRUE(same(tables::reading(cp), parse(zhuyin))) << character << " " << zhuyin;
  }
  const std::vector<std::pair<std::string, std::string>> surnames = {
      {"曾", "ㄗㄥ"}, {"單", "ㄕㄢˋ"}, {"沈", "ㄕㄣˇ"}, {"仇", "ㄑㄧㄡˊ"}, {"區", "ㄡ"}, {"查", "ㄓㄚ"},
      {"解", "ㄒㄧㄝˋ"}, {"樂", "ㄩㄝˋ"}, {"覃", "ㄑㄧㄣˊ"}, {"翟", "ㄓㄞˊ"}, {"繆", "ㄇㄧㄠˋ"},
      {"番", "ㄆㄢ"}, {"蔚", "ㄩˋ"}, {"阚", "ㄎㄢˋ"},  // read the word's way before, under ㄈ ㄨ ㄏ
      {"闕", "ㄑㄩㄝ"}};
  for (const auto& [character, zhuyin] : surnames) {
    const auto r = tables::surname_reading(first_code_point(character));
    EXPECT_TRUE(r && same(*r, parse(zhuyin))) << character << " " << zhuyin;
  }
  const auto yuchi = tables::compound_surname(U'尉', U'遲');
  ASSERT_TRUE(yuchi);
  EXPECT_TRUE(same(yuchi->first, parse("ㄩˋ")) && same(yuchi->second, parse("ㄔˊ")));
  EXPECT_FALSE(tables::compound_surname(U'尉', U'繚'));
  EXPECT_EQ(tables::reading(0x3000).tone, 0);
}

TEST(zhuyinReadings, IdeographWithoutReadingOrMalformed) {
  int read = 0;
  for (char32_t cp = 0x3400; cp <= 0x323AF; ++cp) {
    const Reading r = tables::reading(cp);
    if (r.tone == 0) {
      ASSERT_FALSE(cp >= 0x4E00 && cp <= 0x9FA5) << "U+" << std::hex << static_cast<unsigned>(cp);
      continue;
    }
    ++read;
    const bool ok = r.tone <= 5 && r.initial >= 0 && r.initial <= 21 && (r.medial == 0 || (r.medial >= 22 && r.medial <= 24)) &&
                    (r.final_ == 0 || (r.final_ >= 25 && r.final_ <= 37)) && r.initial + r.medial + r.final_ > 0;
    ASSERT_TRUE(ok) << "U+" << std::hex << static_cast<unsigned>(cp);
  }
  EXPECT_GT(read, 41000);  // Unihan 15 reads 41,420, about a third of them four-byte
}

std::string token(char32_t cp, const std::string& zhuyin, int strokes) {
  std::string out;
  zhuyin::append_token(out, cp, zhuyin.empty() ? Reading{} : parse(zhuyin), strokes);
  return out;
}

TEST(zhuyinTokens, OutOfWholeReadingOrder) {
  expect_increasing({
      token(0x3000, "", -1),                                              // no reading first
      token(U'李', "ㄌㄧˇ", 7), token(U'廖', "ㄌㄧㄠˋ", 14), token(U'劉', "ㄌㄧㄡˊ", 15),
      token(U'連', "ㄌㄧㄢˊ", 11), token(U'林', "ㄌㄧㄣˊ", 8), token(U'盧', "ㄌㄨˊ", 16),
      token(U'羅', "ㄌㄨㄛˊ", 19), token(U'呂', "ㄌㄩˇ", 7), token(U'賴', "ㄌㄞˋ", 16),
      token(U'藍', "ㄌㄢˊ", 18),
      token(U'之', "ㄓ", 4), token(U'知', "ㄓ", 8), token(U'直', "ㄓˊ", 8),         // tone, strokes
      token(U'哦', "ㄛˊ", 10),                                                 // ㄛ is 26: "Z"
      token(U'俄', "ㄜˊ", 9),                                                  // ㄜ is 27: "Zza"
      token(0x4E00, "ㄦ", 26), token(0x4E01, "ㄦ", 27), token(0x4E00, "ㄦ", 48), // strokes past 26
      token(0x4E00, "ㄦ", 52), token(0xFFFF, "ㄦ", 52), token(0x20000, "ㄦ", 52),  // four-byte last
  });
  EXPECT_EQ(token(U'羅', "ㄌㄨㄛˊ", 19), "xHCC2S32645");
  EXPECT_EQ(token(0x2A6D6, "ㄦ", 52), "xZzkAA1ZzzaY173782");
}

// Names in the order of their whole readings (Taiwan readings, surnames as surnames), each
// placed so that a neighbour moves past it when its surname takes the common reading, when a
// syllable leaves its place among those of one initial, or when the neutral tone is not last.
TEST(zhuyinTokens, NamesOutOfWholeReadingOrder) {
  expect_increasing(testing::author_tokens(
      SortOrder::kZhuyin, {"丁明", "澹臺明", "譚明", "黎明", "李廖", "李華", "廖志", "劉嘉", "林馬", "林嗎",
                           "林毛", "呂明", "賴明", "化明", "華安", "仇英", "解宇", "朱華", "諸葛亮", "查如",
                           "詹明", "單明", "上官英", "曾志", "蔡明", "王明", "尉遲恭", "樂君", "區文", "歐陽明"}));
}

// Encodes `bib` in zhuyin order and marks each character's token: "S" where the reading
// in the token is not the character's usual one (a surname reading), "." where it is.
std::string marks(const std::string& encoded) {
  static const std::regex kToken("x(0|[A-Y]|Zz+[a-y])([A-Q])([A-N])([0-5])(0|[A-Y]|Zz+[a-y])([0-9]{5})");
  std::string out;
  for (std::sregex_iterator it(encoded.begin(), encoded.end(), kToken), end; it != end; ++it) {
    const char32_t cp = static_cast<char32_t>(std::stoul((*it)[6]));
    std::string usual;
    zhuyin::append_token(usual, cp, tables::reading(cp), -1);
    out += usual.substr(0, usual.size() - 6) == it->str().substr(0, usual.size() - 6) ? "." : "S";
  }
  return out;
}

std::string encode_zhuyin(const std::string& text, std::size_t piece) {
  auto encoder = make_utf8_encoder(SortOrder::kZhuyin, ChineseBlock::kLast);
  std::string out;
  for (std::size_t i = 0; i < text.size(); i += piece) encoder->encode(std::string_view(text).substr(i, piece), out);
  encoder->finish(out);
  return out;
}

TEST(zhuyinNameFields, SurnameReadingMissingOrMisplaced) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"@book{k, author = {曾經 and 曾經}, title = {曾經}}", "S.S..."},
      {"@Book{k,\n  AUTHOR = \"區 and\n\t沈\",\n  Journal = {區沈}}", "SS.."},
      {"@book{k, editor = {單\n  AND\n  區}, editora={{曾}}, authors = {曾}, key = 曾}", "SSS.."},
      {"@book{k, author = {國曾 and 陳, 曾 and 曾 {曾}}}", "....SS"},
      {"@book{k, translator = {尉遲恭 and 万俟卨 and 尉繚 and 單于 and 單}}", "S...S...S.S"},
      {"@preamble{\"\\def\\x{}\"} @book(曾, holder = {曾}) author = {曾}", ".S."},
      {"@string{a = {曾}} @book{k, title = \"曾 {and} 曾\", bookauthor = {單", "...S"},
  };
  for (const auto& [bib, expected] : cases) {
    const std::string whole = encode_zhuyin(bib, bib.size());
    EXPECT_EQ(marks(whole), expected) << bib;
    for (std::size_t piece = 1; piece < bib.size(); ++piece)
      ASSERT_EQ(encode_zhuyin(bib, piece), whole) << bib << " in pieces of " << piece;
  }
}

}  // namespace
}  // namespace corvina
