// The sorting templates and use* options read from a .bcf, and the fields an entry sorts by.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "scan/sorting_templates.h"

namespace corvina {
namespace {

using Fields = std::vector<std::string>;

std::string option(const std::string& key, const std::string& value) {
  return "    <bcf:option type=\"singlevalued\">\n      <bcf:key>" + key + "</bcf:key>\n      <bcf:value>" + value +
         "</bcf:value>\n    </bcf:option>\n";
}

// A control file as biblatex writes it: global options of biber and of biblatex, a per-type
// block, the declarations of the options (which hold no values), two templates, one list.
std::string bcf(const std::string& datalists, const std::string& global_use = option("usetranslator", "0")) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<bcf:controlfile version=\"3.10\">\n"
         "  <bcf:options component=\"biber\" type=\"global\">\n" + option("useauthor", "0") +
         "  </bcf:options>\n  <bcf:options component=\"biblatex\" type=\"global\">\n" + option("useauthor", "1") +
         option("sortingtemplatename", "nyt") + global_use +
         "  </bcf:options>\n  <bcf:options component=\"biblatex\" type=\"collection\">\n" + option("useauthor", "0") +
         "  </bcf:options>\n  <bcf:optionscope type=\"GLOBAL\">\n"
         "    <bcf:option datatype=\"boolean\">useeditor</bcf:option>\n  </bcf:optionscope>\n"
         "  <bcf:sortingtemplate name=\"nyt\">\n"
         "    <bcf:sort order=\"1\">\n      <bcf:sortitem order=\"1\">presort</bcf:sortitem>\n    </bcf:sort>\n"
         "    <bcf:sort order=\"2\" final=\"1\">\n      <bcf:sortitem order=\"1\">sortkey</bcf:sortitem>\n    </bcf:sort>\n"
         "    <bcf:sort order=\"3\">\n      <bcf:sortitem order=\"1\">sortname</bcf:sortitem>\n"
         "      <bcf:sortitem order=\"2\">author</bcf:sortitem>\n      <bcf:sortitem order=\"3\">editor</bcf:sortitem>\n"
         "      <bcf:sortitem order=\"4\">translator</bcf:sortitem>\n"
         "      <bcf:sortitem order=\"5\">sorttitle</bcf:sortitem>\n      <bcf:sortitem order=\"6\">title</bcf:sortitem>\n"
         "    </bcf:sort>\n    <bcf:sort order=\"4\">\n      <bcf:sortitem order=\"1\">volume</bcf:sortitem>\n"
         "      <bcf:sortitem literal=\"1\" order=\"2\">0</bcf:sortitem>\n    </bcf:sort>\n  </bcf:sortingtemplate>\n"
         "  <bcf:sortingtemplate name=\"anyt\">\n    <bcf:sort order=\"1\">\n"
         "      <bcf:sortitem order=\"1\">labelalpha</bcf:sortitem>\n    </bcf:sort>\n  </bcf:sortingtemplate>\n" +
         datalists + "</bcf:controlfile>\n";
}

std::string datalist(const std::string& template_name) {
  return "  <bcf:datalist section=\"0\"\n                name=\"" + template_name +
         "/global//global/global\"\n                type=\"entry\"\n                sortingtemplatename=\"" +
         template_name + "\"\n                labelprefix=\"\">\n  </bcf:datalist>\n";
}

TEST(sortSettings, TemplateInUseMissedUnusedOneTakenOrLiteralTakenForAField) {
  struct Case {
    std::string lists;
    Fields sorted;
  };
  const Case cases[] = {
      {datalist("nyt"), {"presort", "sortkey", "sortname", "author", "editor", "translator", "sorttitle", "title", "volume"}},
      {datalist("anyt"), {"labelalpha"}},
      {datalist("anyt") + datalist("nyt") + datalist("anyt"),
       {"labelalpha", "presort", "sortkey", "sortname", "author", "editor", "translator", "sorttitle", "title", "volume"}},
      {"", {"presort", "sortkey", "sortname", "author", "editor", "translator", "sorttitle", "title", "volume"}},  // the global one
  };
  for (const Case& c : cases) {
    const auto settings = read_sort_settings(bcf(c.lists));
    ASSERT_TRUE(settings);
    std::set<std::string> fields(c.sorted.begin(), c.sorted.end());
    const Fields found = settings->sorted_fields();
    EXPECT_EQ(std::set<std::string>(found.begin(), found.end()), fields) << c.lists;
    EXPECT_EQ(found.size(), fields.size()) << "a field twice";
  }
  EXPECT_FALSE(read_sort_settings("<bcf:controlfile>\n</bcf:controlfile>\n"));
}

// A presort of the label's characters must come only where the labels sort before the
// names; in a document with a list sorted by presort and names it would reorder that list.
TEST(sortSettings, LabelsTakenToSortFirstWhereTheyDoNotOrAlphaNamesMissed) {
  struct Case {
    std::string lists, more_options;
    bool labels_first;
    int max, min;
  };
  const Case cases[] = {
      {datalist("nyt"), "", false, 3, 1},
      {datalist("anyt"), option("maxalphanames", "4") + option("minalphanames", "2"), true, 4, 2},
      {datalist("anyt") + datalist("nyt"), "", false, 3, 1},
      {"", option("maxalphanames", "x"), false, 3, 1},  // the global nyt; a value that is no number
  };
  for (const Case& c : cases) {
    const auto settings = read_sort_settings(bcf(c.lists, option("usetranslator", "0") + c.more_options));
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->sorts_by_label_first(), c.labels_first) << c.lists;
    EXPECT_EQ(settings->max_alpha_names, c.max) << c.more_options;
    EXPECT_EQ(settings->min_alpha_names, c.min) << c.more_options;
  }
}

// biber sorts by the first of sortname, author, editor, translator that the entry has and
// may use; the sort name field must come from that list, or sorting moves the entry.
TEST(sortSettings, SortNameTakenFromTheWrongNameList) {
  struct Case {
    std::string type;
    Fields has;
    std::string global_use, expected;
  };
  const std::string translator_off = option("usetranslator", "0"), translator_on = option("usetranslator", "1");
  const Case cases[] = {
      {"book", {"author", "editor", "title"}, translator_off, "author"},
      {"book", {"editor", "translator", "title"}, translator_off, "editor"},
      {"book", {"translator", "title"}, translator_off, ""},  // sorts by the title
      {"book", {"translator", "title"}, translator_on, "translator"},
      {"book", {"translator", "title"}, "", ""},  // biblatex's default: not the translator
      {"collection", {"author", "editor"}, translator_off, "editor"},  // the type's own useauthor=0
      {"collection", {"author"}, translator_off, ""},
      {"book", {"author", "editor"}, option("useauthor", "false") + option("useeditor", "0"), ""},
      {"book", {"title"}, translator_off, ""},
  };
  for (const Case& c : cases) {
    const auto settings = read_sort_settings(bcf(datalist("nyt"), c.global_use));
    ASSERT_TRUE(settings);
    const auto has = [&c](const std::string& field) { return std::find(c.has.begin(), c.has.end(), field) != c.has.end(); };
    EXPECT_EQ(settings->name_list_sorted_by(c.type, has), c.expected) << c.type << " " << c.global_use;
  }
  // Without a .bcf, biblatex's defaults.
  const SortSettings defaults = default_sort_settings();
  const auto only = [](std::string wanted) { return [wanted](const std::string& f) { return f == wanted || f == "title"; }; };
  EXPECT_EQ(defaults.name_list_sorted_by("book", only("editor")), "editor");
  EXPECT_EQ(defaults.name_list_sorted_by("book", only("translator")), "");
}

// biblatex writes bibencoding into the biber options as input_encoding; the same key among
// biblatex's own options, or an encoding that only looks like Big5, must not count.
TEST(bcfReadsBig5, Big5DatabaseKeptAsWrittenWhereBiberReadsItAsAnotherEncodingOrMissedInAnotherSpelling) {
  const auto with = [](const std::string& component, const std::string& encoding) {
    return "<bcf:controlfile>\n  <bcf:options component=\"" + component + "\" type=\"global\">\n" +
           option("output_encoding", "big5") + option("input_encoding", encoding) + "  </bcf:options>\n</bcf:controlfile>\n";
  };
  struct Case {
    std::string bcf;
    bool big5;
  };
  const Case cases[] = {
      {with("biber", "big5"), true},        {with("biber", "Big5"), true},       {with("biber", "BIG-5"), true},
      {with("biber", "big5-eten"), true},   {with("biber", "cp950"), true},      {with("biber", "big5_hkscs"), true},
      {with("biber", " big5\n"), true},     {with("biber", "utf8"), false},      {with("biber", "gb2312"), false},
      {with("biber", "big5x"), false},      {with("biber", "xbig5"), false},     {with("biblatex", "big5"), false},
      {with("biber", ""), false},           {"<bcf:controlfile>\n</bcf:controlfile>\n", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(bcf_reads_big5(c.bcf), c.big5) << c.bcf;
  }
}

}  // namespace
}  // namespace corvina
