// 300 names, sorted by their tokens, against the order of their whole readings as written
// down here by hand (Taiwan readings, surnames as surnames): the pairs in another order
// must stay under one in a hundred.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "decode/codec_io.h"
#include "encode/tables/character_tables.h"
#include "encode/utf8_encoder.h"
#include "zhuyin_text.h"

namespace corvina {
namespace {

struct Written {
  std::string characters;  // one or two
  std::string readings;    // one syllable a character, blank between
};

const std::vector<Written> kSurnames = {
    {"陳", "ㄔㄣˊ"}, {"林", "ㄌㄧㄣˊ"}, {"黃", "ㄏㄨㄤˊ"}, {"張", "ㄓㄤ"}, {"李", "ㄌㄧˇ"}, {"王", "ㄨㄤˊ"},
    {"吳", "ㄨˊ"}, {"劉", "ㄌㄧㄡˊ"}, {"蔡", "ㄘㄞˋ"}, {"楊", "ㄧㄤˊ"}, {"許", "ㄒㄩˇ"}, {"鄭", "ㄓㄥˋ"},
    {"謝", "ㄒㄧㄝˋ"}, {"郭", "ㄍㄨㄛ"}, {"洪", "ㄏㄨㄥˊ"}, {"曾", "ㄗㄥ"}, {"邱", "ㄑㄧㄡ"}, {"廖", "ㄌㄧㄠˋ"},
    {"賴", "ㄌㄞˋ"}, {"周", "ㄓㄡ"}, {"徐", "ㄒㄩˊ"}, {"蘇", "ㄙㄨ"}, {"葉", "ㄧㄝˋ"}, {"莊", "ㄓㄨㄤ"},
    {"呂", "ㄌㄩˇ"}, {"江", "ㄐㄧㄤ"}, {"何", "ㄏㄜˊ"}, {"蕭", "ㄒㄧㄠ"}, {"羅", "ㄌㄨㄛˊ"}, {"高", "ㄍㄠ"},
    {"潘", "ㄆㄢ"}, {"簡", "ㄐㄧㄢˇ"}, {"朱", "ㄓㄨ"}, {"鍾", "ㄓㄨㄥ"}, {"游", "ㄧㄡˊ"}, {"彭", "ㄆㄥˊ"},
    {"詹", "ㄓㄢ"}, {"施", "ㄕ"}, {"胡", "ㄏㄨˊ"}, {"沈", "ㄕㄣˇ"}, {"余", "ㄩˊ"}, {"盧", "ㄌㄨˊ"},
    {"梁", "ㄌㄧㄤˊ"}, {"趙", "ㄓㄠˋ"}, {"顏", "ㄧㄢˊ"}, {"柯", "ㄎㄜ"}, {"翁", "ㄨㄥ"}, {"魏", "ㄨㄟˋ"},
    {"孫", "ㄙㄨㄣ"}, {"戴", "ㄉㄞˋ"}, {"范", "ㄈㄢˋ"}, {"方", "ㄈㄤ"}, {"宋", "ㄙㄨㄥˋ"}, {"鄧", "ㄉㄥˋ"},
    {"杜", "ㄉㄨˋ"}, {"傅", "ㄈㄨˋ"}, {"侯", "ㄏㄡˊ"}, {"曹", "ㄘㄠˊ"}, {"薛", "ㄒㄩㄝ"}, {"丁", "ㄉㄧㄥ"},
    {"卓", "ㄓㄨㄛˊ"}, {"馬", "ㄇㄚˇ"}, {"阮", "ㄖㄨㄢˇ"}, {"董", "ㄉㄨㄥˇ"}, {"唐", "ㄊㄤˊ"}, {"溫", "ㄨㄣ"},
    {"藍", "ㄌㄢˊ"}, {"石", "ㄕˊ"}, {"蔣", "ㄐㄧㄤˇ"}, {"古", "ㄍㄨˇ"}, {"紀", "ㄐㄧˇ"}, {"姚", "ㄧㄠˊ"},
    {"連", "ㄌㄧㄢˊ"}, {"馮", "ㄈㄥˊ"}, {"歐", "ㄡ"}, {"程", "ㄔㄥˊ"}, {"湯", "ㄊㄤ"}, {"田", "ㄊㄧㄢˊ"},
    {"康", "ㄎㄤ"}, {"姜", "ㄐㄧㄤ"}, {"白", "ㄅㄞˊ"}, {"汪", "ㄨㄤ"}, {"鄒", "ㄗㄡ"}, {"尤", "ㄧㄡˊ"},
    {"巫", "ㄨ"}, {"黎", "ㄌㄧˊ"}, {"涂", "ㄊㄨˊ"}, {"龔", "ㄍㄨㄥ"}, {"嚴", "ㄧㄢˊ"}, {"韓", "ㄏㄢˊ"},
    {"袁", "ㄩㄢˊ"}, {"金", "ㄐㄧㄣ"}, {"童", "ㄊㄨㄥˊ"}, {"陸", "ㄌㄨˋ"}, {"夏", "ㄒㄧㄚˋ"}, {"柳", "ㄌㄧㄡˇ"},
    {"邵", "ㄕㄠˋ"}, {"錢", "ㄑㄧㄢˊ"}, {"伍", "ㄨˇ"}, {"倪", "ㄋㄧˊ"}, {"于", "ㄩˊ"}, {"譚", "ㄊㄢˊ"},
    {"駱", "ㄌㄨㄛˋ"}, {"熊", "ㄒㄩㄥˊ"}, {"任", "ㄖㄣˊ"}, {"甘", "ㄍㄢ"}, {"秦", "ㄑㄧㄣˊ"}, {"顧", "ㄍㄨˋ"},
    {"毛", "ㄇㄠˊ"}, {"章", "ㄓㄤ"}, {"史", "ㄕˇ"}, {"官", "ㄍㄨㄢ"}, {"萬", "ㄨㄢˋ"}, {"俞", "ㄩˊ"},
    {"雷", "ㄌㄟˊ"}, {"粘", "ㄋㄧㄢˊ"}, {"單", "ㄕㄢˋ"}, {"區", "ㄡ"}, {"查", "ㄓㄚ"}, {"車", "ㄔㄜ"},
    {"仇", "ㄑㄧㄡˊ"}, {"解", "ㄒㄧㄝˋ"}, {"翟", "ㄓㄞˊ"}, {"覃", "ㄑㄧㄣˊ"}, {"繆", "ㄇㄧㄠˋ"}, {"樂", "ㄩㄝˋ"},
    {"華", "ㄏㄨㄚˋ"}, {"葛", "ㄍㄜˇ"}, {"歐陽", "ㄡ ㄧㄤˊ"}, {"司馬", "ㄙ ㄇㄚˇ"}, {"諸葛", "ㄓㄨ ㄍㄜˊ"},
    {"尉遲", "ㄩˋ ㄔˊ"}, {"上官", "ㄕㄤˋ ㄍㄨㄢ"}, {"澹臺", "ㄊㄢˊ ㄊㄞˊ"},
};

const std::vector<Written> kGiven = {
    {"志", "ㄓˋ"}, {"明", "ㄇㄧㄥˊ"}, {"文", "ㄨㄣˊ"}, {"華", "ㄏㄨㄚˊ"}, {"美", "ㄇㄟˇ"}, {"玲", "ㄌㄧㄥˊ"},
    {"淑", "ㄕㄨˊ"}, {"芬", "ㄈㄣ"}, {"建", "ㄐㄧㄢˋ"}, {"國", "ㄍㄨㄛˊ"}, {"家", "ㄐㄧㄚ"}, {"豪", "ㄏㄠˊ"},
    {"俊", "ㄐㄩㄣˋ"}, {"傑", "ㄐㄧㄝˊ"}, {"雅", "ㄧㄚˇ"}, {"婷", "ㄊㄧㄥˊ"}, {"宏", "ㄏㄨㄥˊ"}, {"偉", "ㄨㄟˇ"},
    {"信", "ㄒㄧㄣˋ"}, {"宗", "ㄗㄨㄥ"}, {"惠", "ㄏㄨㄟˋ"}, {"如", "ㄖㄨˊ"}, {"冠", "ㄍㄨㄢˋ"}, {"廷", "ㄊㄧㄥˊ"},
    {"怡", "ㄧˊ"}, {"君", "ㄐㄩㄣ"}, {"佳", "ㄐㄧㄚ"}, {"穎", "ㄧㄥˇ"}, {"柏", "ㄅㄛˊ"}, {"翰", "ㄏㄢˋ"},
    {"承", "ㄔㄥˊ"}, {"恩", "ㄣ"}, {"彥", "ㄧㄢˋ"}, {"安", "ㄢ"}, {"琪", "ㄑㄧˊ"}, {"欣", "ㄒㄧㄣ"},
    {"哲", "ㄓㄜˊ"}, {"瑋", "ㄨㄟˇ"}, {"慧", "ㄏㄨㄟˋ"}, {"萱", "ㄒㄩㄢ"}, {"宇", "ㄩˇ"}, {"軒", "ㄒㄩㄢ"},
    {"博", "ㄅㄛˊ"}, {"仁", "ㄖㄣˊ"}, {"德", "ㄉㄜˊ"}, {"秀", "ㄒㄧㄡˋ"}, {"英", "ㄧㄥ"}, {"麗", "ㄌㄧˋ"},
    {"春", "ㄔㄨㄣ"}, {"嘉", "ㄐㄧㄚ"},
};

// A character's place in the whole-reading order: its symbols in chart order, a shorter
// syllable before a longer one it begins, then tone, strokes, code point.
using Key = std::tuple<std::vector<int>, int, int, char32_t>;

struct Name {
  std::string text;
  std::vector<Key> keys;
};

void add(Name& name, const Written& w) {
  name.text += w.characters;
  std::istringstream readings(w.readings);
  for (std::size_t i = 0; i < w.characters.size(); i += 3) {
    std::string syllable;
    readings >> syllable;
    const tables::Reading r = testing::parse(syllable);
    std::vector<int> symbols;
    for (int s : {r.initial, r.medial, r.final_})
      if (s != 0) symbols.push_back(s);
    const std::string c = w.characters.substr(i, 3);
    const char32_t cp = (c[0] & 0x0Fu) << 12 | (c[1] & 0x3Fu) << 6 | (c[2] & 0x3Fu);
    name.keys.emplace_back(symbols, r.tone, tables::strokes(cp), cp);
  }
}

std::string sort_token(const std::string& name) {
  const std::string out = testing::encode_whole(*make_utf8_encoder(SortOrder::kZhuyin, ChineseBlock::kLast),
                                                "@book{k, author = {" + name + "}}");
  const std::size_t start = out.find("= {") + 3;
  std::string token = out.substr(start, out.find('}', start) - start);
  for (char& c : token) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return token;
}

TEST(zhuyinOrderOf300Names, OneInAHundredPairsOrMoreOutOfReadingOrder) {
  std::vector<Name> names;
  for (std::size_t i = 0; i < 300; ++i) {
    Name name;
    add(name, kSurnames[i % kSurnames.size()]);
    add(name, kGiven[i * 7 % kGiven.size()]);
    if (i % 4 != 0) add(name, kGiven[(i * 11 + 5) % kGiven.size()]);
    names.push_back(name);
  }
  std::vector<std::string> tokens;
  for (const Name& n : names) tokens.push_back(sort_token(n.text));
  int pairs = 0, discordant = 0;
  for (std::size_t a = 0; a < names.size(); ++a) {
    for (std::size_t b = a + 1; b < names.size(); ++b) {
      if (names[a].text == names[b].text) continue;
      ++pairs;
      const bool by_reading = names[a].keys < names[b].keys;
      if (by_reading != (tokens[a] < tokens[b])) {
        ++discordant;
        if (discordant <= 10) std::printf("out of order: %s %s\n", names[a].text.c_str(), names[b].text.c_str());
      }
    }
  }
  std::printf("300 names: %d of %d pairs out of whole-reading order (%.2f %%)\n", discordant, pairs,
              100.0 * discordant / pairs);
  EXPECT_LT(discordant * 100, pairs);
}

}  // namespace
}  // namespace corvina
