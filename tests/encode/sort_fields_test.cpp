// Which values of an entry are encoded and which sort fields are added, where the back end
// sorts by biblatex's sort fields.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "core/sort_settings.h"
#include "encode/sort_fields.h"

namespace corvina {
namespace {

// An entry as the reader hands it out, written from its fields, with their extents.
struct TestEntry {
  std::string text;
  bib::Entry entry;

  TestEntry(const std::string& type, const std::vector<std::pair<std::string, std::string>>& fields) {
    text = "@" + type + "{key";
    std::vector<bib::Field> read;
    for (const auto& [name, value] : fields) {
      text += ",\n  " + name + " = ";
      bib::Field field;
      field.name = name;
      field.value_begin = text.size();
      text += "{" + value + "}";
      field.value_end = text.size();
      field.pieces.push_back({bib::PieceKind::kBraced, field.value_begin, field.value_end});
      read.push_back(field);
    }
    text += "\n}";
    entry.text = text;
    entry.type = type;
    entry.key = "key";
    entry.fields = read;
  }
  std::string value(const SortFieldPlan::Extent& e) const { return text.substr(e.begin, e.end - e.begin); }
};

bool holds_chinese(std::string_view value) {
  return std::any_of(value.begin(), value.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// As the builds read their characters: three or four bytes in UTF-8 (so "Ø" is none), a
// lead byte A1..FE in Big5.
ChineseText chinese_text(bool big5) {
  return {holds_chinese,
          [big5](std::string_view text) {
            const auto lead = text.empty() ? 0 : static_cast<unsigned char>(text[0]);
            return big5 ? lead >= 0xA1 && lead <= 0xFE : lead >= 0xE0;
          },
          big5};
}

// What the plan says, as text: "=VALUE" for a value encoded in place, "+NAME=VALUE" for an
// added field, "+presort:A|B" for a presort of the label's characters, each name's apart
// ("+presort(own):..." from the entry's own label or shorthand).
std::vector<std::string> described(const TestEntry& t, const SortSettings& settings, bool big5 = false) {
  const SortFieldPlan plan = plan_sort_fields(t.entry, settings, chinese_text(big5));
  std::vector<std::string> out;
  for (const auto& e : plan.in_place) out.push_back("=" + t.value(e));
  for (const auto& a : plan.added) out.push_back("+" + a.name + "=" + t.value(a.from));
  if (!plan.label_presort.empty()) {
    std::string pieces;
    for (const std::string& piece : plan.label_presort) pieces += (pieces.empty() ? "" : "|") + piece;
    out.push_back(std::string("+presort") + (plan.label_presort_from_names ? ":" : "(own):") + pieces);
  }
  return out;
}

using Plan = std::vector<std::string>;

SortSettings with_template(std::vector<std::vector<std::string>> sorts) {
  SortSettings settings = default_sort_settings();
  settings.templates = {{"test", std::move(sorts)}};
  return settings;
}

TEST(sortFields, ChineseFieldTheOrderDependsOnLeftPlainOrUserTextEncoded) {
  struct Case {
    const char* what;
    std::string type;
    std::vector<std::pair<std::string, std::string>> fields;
    Plan expected;
  };
  const Case cases[] = {
      {"sortname from the author, sorttitle from the title",
       "book", {{"author", "陳, 大文"}, {"title", "臺灣方言"}, {"year", "2015"}},
       {"+sortname={陳, 大文}", "+sorttitle={臺灣方言}"}},
      {"the editor when there is no author", "book", {{"editor", "李美玲"}, {"title", "Tone"}}, {"+sortname={李美玲}"}},
      {"no translator by default: the title sorts", "book", {{"translator", "李美玲"}, {"title", "Tone"}}, {}},
      {"a Latin author with a Chinese editor sorts by the author", "book",
       {{"author", "Smith, John"}, {"editor", "李美玲"}, {"title", "Tone"}}, {}},
      {"the user's own sort fields encoded where they stand", "book",
       {{"author", "陳大文"}, {"sortname", "陳, 大文"}, {"sorttitle", "方言"}, {"title", "方言調查"}, {"presort", "甲"}},
       {"={陳, 大文}", "={方言}", "={甲}"}},
      {"a Latin sortname over a Chinese author", "book", {{"author", "陳大文"}, {"sortname", "Chen, Dawen"}}, {}},
      {"Latin only", "article", {{"author", "Abbott, Ann"}, {"title", "Phonology"}, {"journaltitle", "JP"}}, {}},
  };
  const SortSettings defaults = default_sort_settings();
  for (const Case& c : cases) {
    const TestEntry t(c.type, c.fields);
    EXPECT_EQ(described(t, defaults), c.expected) << c.what;
  }
}

TEST(sortFields, TemplateOrOptionsIgnored) {
  struct Case {
    const char* what;
    SortSettings settings;
    std::vector<std::pair<std::string, std::string>> fields;
    Plan expected;
  };
  SortSettings translator_on = default_sort_settings();
  translator_on.use["usetranslator"] = true;
  SortSettings no_author_for_books = default_sort_settings();
  no_author_for_books.use_by_type["book"]["useauthor"] = false;
  const Case cases[] = {
      {"usetranslator", translator_on, {{"translator", "李美玲"}, {"title", "Tone"}}, {"+sortname={李美玲}"}},
      {"useauthor=false for the type", no_author_for_books, {{"author", "陳大文"}, {"editor", "曾國藩"}}, {"+sortname={曾國藩}"}},
      {"a sorted field without a sort field is encoded where it stands",
       with_template({{"sortname", "author"}, {"journaltitle"}}),
       {{"author", "陳大文"}, {"title", "方言"}, {"journaltitle", "臺灣文學學報"}},
       {"={臺灣文學學報}", "+sortname={陳大文}"}},
      {"citation order sorts by no field", with_template({{"citeorder"}}), {{"author", "陳大文"}, {"title", "方言"}}, {}},
      {"a name list the template names without sortname is encoded where it stands",
       with_template({{"author"}, {"title"}}), {{"author", "陳大文"}, {"title", "方言"}}, {"={陳大文}", "={方言}"}},
  };
  for (const Case& c : cases) {
    const TestEntry t("book", c.fields);
    EXPECT_EQ(described(t, c.settings), c.expected) << c.what;
  }
}

// biblatex's alphabetic template: the label ranks above the names.
SortSettings labels_first() {
  return with_template({{"presort"}, {"labelalpha"}, {"sortkey"}, {"sortname", "author", "editor", "translator", "sorttitle", "title"},
                        {"sortyear", "year"}});
}

TEST(sortFields, LabelPresortMissingOrNotTheLabelsCharactersOrUsersPresortTouched) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, std::string>> fields;
    Plan expected;
  };
  const char* title = "方言";
  const Case cases[] = {
      {"family, given: the family name", {{"author", "陳, 大文"}, {"title", title}}, {"+sortname={陳, 大文}", "+sorttitle={方言}", "+presort:陳"}},
      {"one word: its first three characters", {{"author", "國立臺灣大學"}}, {"+sortname={國立臺灣大學}", "+presort:國立臺"}},
      {"a braced name is one word", {{"author", "{陳 and 李}"}}, {"+sortname={{陳 and 李}}", "+presort:陳 a"}},
      {"two names: one character each", {{"author", "陳大文 and 李美玲"}}, {"+sortname={陳大文 and 李美玲}", "+presort:陳|李"}},
      {"three names", {{"author", "陳大文 AND 李美玲 and 曾國藩"}}, {"+sortname={陳大文 AND 李美玲 and 曾國藩}", "+presort:陳|李|曾"}},
      {"four names: the first one's three and a plus", {{"author", "陳大文 and 李美玲 and 曾國藩 and 王小明"}},
       {"+sortname={陳大文 and 李美玲 and 曾國藩 and 王小明}", "+presort:陳大文"}},
      {"and others counts no name", {{"author", "陳大文 and others"}}, {"+sortname={陳大文 and others}", "+presort:陳大文"}},
      {"given name before the family name", {{"author", "大文 陳"}}, {"+sortname={大文 陳}", "+presort:陳"}},
      {"the editor when there is no author", {{"editor", "王小明"}}, {"+sortname={王小明}", "+presort:王小明"}},
      {"no translator by default", {{"translator", "李美玲"}, {"year", "1998"}}, {}},
      {"the label field over the names", {{"author", "王小明"}, {"label", "{甲}乙"}}, {"+sortname={王小明}", "+presort(own):甲乙"}},
      {"the shorthand over the label", {{"author", "Smith"}, {"label", "甲"}, {"shorthand", "丙丁"}}, {"+presort(own):丙丁"}},
      {"a label that begins Latin stays among the Latin ones", {{"author", "Smith, John and 李美玲"}},
       {"+sortname={Smith, John and 李美玲}"}},
      {"so does one that begins with a Latin letter beyond ASCII", {{"author", "Ødegaard, Ola"}},
       {"+sortname={Ødegaard, Ola}"}},
      {"the user's presort neither encoded nor replaced", {{"author", "陳大文"}, {"presort", "甲"}}, {"+sortname={陳大文}"}},
  };
  for (const Case& c : cases) {
    const TestEntry t("book", c.fields);
    EXPECT_EQ(described(t, labels_first()), c.expected) << c.what;
  }
  // A Big5 character whose second byte is a brace or "a" is one character.
  const TestEntry big5("book", {{"author", "\xA4\x7B\xA4\x61\xA4\x40\xA4\x41"}});
  EXPECT_EQ(described(big5, labels_first(), true).back(), "+presort:\xA4\x7B\xA4\x61\xA4\x40");
  SortSettings four_names = labels_first();
  four_names.max_alpha_names = 4;
  const TestEntry four("book", {{"author", "陳大文 and 李美玲 and 曾國藩 and 王小明"}});
  EXPECT_EQ(described(four, four_names).back(), "+presort:陳|李|曾|王") << "maxalphanames";
}

TEST(sortFields, LabelPresortAddedWhereTheLabelsDoNotSortFirst) {
  const TestEntry t("book", {{"author", "陳大文"}});
  const SortSettings label_after_names = with_template({{"presort"}, {"sortname", "author"}, {"labelalpha"}});
  SortSettings another_list_by_names = labels_first();
  another_list_by_names.templates.push_back(default_sort_settings().templates[0]);
  for (const SortSettings& settings : {default_sort_settings(), label_after_names, another_list_by_names})
    EXPECT_EQ(described(t, settings), Plan{"+sortname={陳大文}"});
}

TEST(sortFields, StringPreambleOrCommentTouched) {
  TestEntry t("string", {{"chen", "陳大文"}});
  t.entry.kind = bib::EntryKind::kString;
  const SortFieldPlan plan = plan_sort_fields(t.entry, with_template({{"chen"}}), chinese_text(false));
  EXPECT_TRUE(plan.in_place.empty() && plan.added.empty());
}

}  // namespace
}  // namespace corvina
