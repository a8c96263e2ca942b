// --explain: the order of the entries, the field that sorts each, and the strokes or
// readings shown beside its Chinese characters.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../encode/zhuyin_text.h"
#include "core/run_error.h"
#include "driver/command_line.h"
#include "driver/explain.h"
#include "encode/character_uses.h"
#include "encode/big5_encoder.h"
#include "encode/utf8_encoder.h"

namespace corvina {
namespace {

Build utf8_build() {
  return Build{.program = "corvina4", .takes_order_option = true, .reads_utf8 = true,
               .bibtex_without_bcf = {"bibtex"}, .make_encoder = make_utf8_encoder,
               .character_uses = utf8_character_uses};
}

// 曾 reads ㄗㄥ / zēng as a surname and ㄘㄥˊ / céng otherwise, so the title-only entry that
// begins with it falls elsewhere than the author 曾文 in both reading orders.
const std::string kDatabase =
    "@string{pub = {書局}}\n"
    "@book{wang, author = {王小明}, title = {甲}, year = {2001}}\n"
    "@book{zeng, author = {曾文}, title = {乙}, year = {2001}}\n"
    "@book{title_only, title = {曾經}, year = {2001}}\n"
    "@book{ding, author = {丁一}, title = {丙}, year = {2001}}\n"
    "@book{young, author = {Young, Peter}, title = {Atlas}, year = {2022}}\n"
    "@book{abbot, author = {Zed Abbot}, title = {Zoo}, year = {2022}}\n";

std::vector<std::string> ordered_keys(SortOrder order, ChineseBlock block, const std::string& database = kDatabase) {
  std::vector<ExplainedEntry> entries = explain_database(utf8_build(), order, block, database);
  order_by_sort_key(entries);
  std::vector<std::string> keys;
  for (const ExplainedEntry& e : entries) keys.push_back(e.key);
  return keys;
}

TEST(Explain, EntriesComeInTheOrderOfTheChosenReadingWithSurnamesReadAsSurnames) {
  struct Case {
    SortOrder order;
    ChineseBlock block;
    std::vector<std::string> keys;
  };
  // Strokes: 丁 2, 王 4, 曾 12 (曾文 before 曾經: 文 4, 經 13). Zhuyin: ㄉ, ㄗ (曾 as a
  // surname), ㄘ (曾 in a title), then ㄨ. Pinyin: céng, dīng, wáng, zēng. The "Given Family"
  // name sorts by its family name, so Abbot comes before Young.
  const Case cases[] = {
      {SortOrder::kStrokes, ChineseBlock::kLast, {"abbot", "young", "ding", "wang", "zeng", "title_only"}},
      {SortOrder::kZhuyin, ChineseBlock::kLast, {"abbot", "young", "ding", "zeng", "title_only", "wang"}},
      {SortOrder::kPinyin, ChineseBlock::kLast, {"abbot", "young", "title_only", "ding", "wang", "zeng"}},
      {SortOrder::kStrokes, ChineseBlock::kFirst, {"ding", "wang", "zeng", "title_only", "abbot", "young"}},
      {SortOrder::kPinyin, ChineseBlock::kFirst, {"title_only", "ding", "wang", "zeng", "abbot", "young"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ordered_keys(c.order, c.block), c.keys)
        << "order " << static_cast<int>(c.order) << ", block " << static_cast<int>(c.block);
  }
}

TEST(Explain, SortFieldsAndMissingNamesPlaceEntriesAsBiblatexDefaultSortingDoes) {
  struct Case {
    std::string database;
    std::vector<std::string> keys;
  };
  const Case cases[] = {
      {"@book{a, author = {Young}}\n@book{b, author = {Abbot}, sortkey = {Zulu}}", {"a", "b"}},
      {"@book{a, author = {Abbot}}\n@book{b, author = {Young}, presort = {aa}}", {"b", "a"}},
      {"@book{a, author = {Kim}, year = {2000}}\n@book{b, author = {Kim}, year = {2001}, sortyear = {1999}}", {"b", "a"}},
      {"@book{a, author = {Kim}, title = {Beta}}\n@book{b, author = {Kim}, title = {Gamma}, sorttitle = {Alpha}}", {"b", "a"}},
      {"@book{a, author = {Kim}, year = {2001}, title = {A}}\n@book{b, author = {Kim}, year = {2000}, title = {B}}", {"b", "a"}},
      {"@book{a, author = {Young}}\n@book{b, sortname = {Abbot}, author = {Zorn}}", {"b", "a"}},
      // Without a name the title takes its place: between Alpha and Gamma.
      {"@book{a, author = {Gamma}}\n@book{b, title = {Beta}}\n@book{c, editor = {Alpha}}", {"c", "b", "a"}},
      // biber compares without regard to case.
      {"@book{a, author = {abbot}}\n@book{b, author = {Young}}\n@book{c, author = {Bell}}", {"a", "c", "b"}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ordered_keys(SortOrder::kStrokes, ChineseBlock::kLast, c.database), c.keys) << c.database;
}

TEST(Explain, EachCharacterShowsWhatItsTokenUses) {
  struct Case {
    SortOrder order;
    std::string entry, line;
  };
  const Case cases[] = {
      {SortOrder::kStrokes, "@book{k, author = {王小明}}", "  王 4 · 小 3 · 明 8\n"},
      {SortOrder::kZhuyin, "@book{k, author = {曾文}}", "  曾 ㄗㄥ as a surname · 文 ㄨㄣˊ\n"},
      {SortOrder::kPinyin, "@book{k, author = {曾文}}", "  曾 zēng as a surname · 文 wén\n"},
      // Outside a name, and after the first character of a name, the ordinary reading.
      {SortOrder::kZhuyin, "@book{k, title = {曾經}}", "  曾 ㄘㄥˊ · 經 ㄐㄧㄥ\n"},
      {SortOrder::kPinyin, "@book{k, author = {文曾}}", "  文 wén · 曾 céng\n"},
      // Every name of the list begins with its surname; the second name too.
      {SortOrder::kZhuyin, "@book{k, author = {王一 and 曾二}}", "  王 ㄨㄤˊ · 一 ㄧ · 曾 ㄗㄥ as a surname · 二 ㄦˋ\n"},
      // A compound surname: both characters take its reading.
      {SortOrder::kZhuyin, "@book{k, author = {宰父明}}", "  宰 ㄗㄞˇ as a surname · 父 ㄈㄨˇ as a surname · 明 ㄇㄧㄥˊ\n"},
      // The editor sorts when there is no author; sortname before either.
      {SortOrder::kStrokes, "@book{k, editor = {丁}, title = {王}}", "  editor: 丁\n  丁 2\n"},
      {SortOrder::kStrokes, "@book{k, sortname = {丁}, author = {王}}", "  sortname: 丁\n  丁 2\n"},
  };
  for (const Case& c : cases) {
    const auto entries = explain_database(utf8_build(), c.order, ChineseBlock::kLast, c.entry);
    const std::string text = format_explanation("x.bib", c.order, entries, " · ");
    EXPECT_NE(text.find(c.line), std::string::npos) << c.entry << " gives\n" << text;
  }
}

// Big5 弓 is A4 7D: its second byte is "}" and must neither end the value nor be counted.
TEST(Explain, Big5CharactersAreCountedWholeAndSortByStrokes) {
  const Build big5{.program = "corvina", .bibtex_without_bcf = {"bibtex8"}, .make_encoder = make_big5_encoder,
                   .character_uses = big5_character_uses};
  const std::string database =
      "@book{wang, author = {\xA4\xFD\xA4\x70\xA9\xFA}}\n"  // 王小明
      "@book{gong, author = {\xA4\x7D}, title = {T}}\n"         // 弓
      "@book{ding, author = {\xA4\x42}}\n";                     // 丁
  std::vector<ExplainedEntry> entries = explain_database(big5, SortOrder::kStrokes, ChineseBlock::kLast, database);
  order_by_sort_key(entries);
  const std::string text = format_explanation("x.bib", SortOrder::kStrokes, entries, " / ");
  EXPECT_NE(text.find("\nding\n  author: \xA4\x42\n  \xA4\x42 2\n\n"
                      "gong\n  author: \xA4\x7D\n  \xA4\x7D 3\n\n"
                      "wang\n  author: \xA4\xFD\xA4\x70\xA9\xFA\n  \xA4\xFD 4 / \xA4\x70 3 / \xA9\xFA 8\n"),
            std::string::npos)
      << text;
}

TEST(Explain, ReadingsAreSpelledWithTheirToneWhereItBelongs) {
  for (const std::string zhuyin : {"ㄗㄥ", "ㄇㄚˇ", "˙ㄉㄜ", "ㄑㄩㄢˊ", "ㄦˋ", "ㄓ"})
    EXPECT_EQ(zhuyin_text(testing::parse(zhuyin)), zhuyin);
  struct Case {
    std::string_view letters;
    int tone;
    std::string text;
  };
  const Case cases[] = {{"ZENG", 1, "zēng"}, {"LV", 3, "lǚ"}, {"LIU", 2, "liú"}, {"GUO", 2, "guó"},
                        {"HOU", 4, "hòu"}, {"XUE", 2, "xué"}, {"DE", 5, "de"}, {"NG", 2, "n\xCC\x81g"}};
  // The last has no vowel to carry the mark: a combining acute follows its n.
  for (const Case& c : cases) EXPECT_EQ(pinyin_text({c.letters, c.tone}), c.text);
  EXPECT_EQ(zhuyin_text({}), "");
  EXPECT_EQ(pinyin_text({}), "");
}

TEST(Explain, CommandLineTakesTheDatabaseWithTheOrderOnEitherSide) {
  struct Case {
    std::vector<std::string> args;
    CommandLine::Action action;
    SortOrder order;
  };
  const Case cases[] = {
      {{"--explain", "refs.bib"}, CommandLine::Action::kExplain, SortOrder::kStrokes},
      {{"-y", "--explain", "refs.bib"}, CommandLine::Action::kExplain, SortOrder::kZhuyin},
      {{"--explain", "refs.bib", "-p"}, CommandLine::Action::kExplain, SortOrder::kPinyin},
      {{"--explain"}, CommandLine::Action::kUsage, SortOrder::kStrokes},
      {{"--explain", "refs.bib", "thesis"}, CommandLine::Action::kUsage, SortOrder::kStrokes},
  };
  for (const Case& c : cases) {
    const CommandLine line = parse_command_line(utf8_build(), c.args);
    EXPECT_EQ(line.action, c.action) << c.args.back();
    EXPECT_EQ(line.order, c.order) << c.args.back();
    if (c.action == CommandLine::Action::kExplain) EXPECT_EQ(line.explain_database, "refs.bib");
    else EXPECT_FALSE(line.usage_error.empty()) << c.args.back();
  }
}

TEST(Explain, UnreadableDatabaseIsAFileErrorNamingIt) {
  std::ostringstream out;
  try {
    explain_file(utf8_build(), SortOrder::kStrokes, ChineseBlock::kLast, "no/such.bib", out);
    FAIL() << "no error";
  } catch (const RunError& error) {
    EXPECT_EQ(error.status(), kExitFileError);
    EXPECT_NE(std::string(error.what()).find("no/such.bib: No such file"), std::string::npos) << error.what();
  }
  EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace corvina
