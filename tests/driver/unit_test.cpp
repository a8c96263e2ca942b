// The driver's decisions that need no document: command line, document name and
// back-end choice.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

#include "driver/backend_choice.h"
#include "driver/command_line.h"
#include "driver/document_name.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace corvina {
namespace {

Build big5_like() { return {.takes_order_option = false, .bibtex_without_bcf = {"bibtex8", "--mstrings", "50000", "-W"}}; }
Build utf8_like() { return {.takes_order_option = true, .bibtex_without_bcf = {"bibtex"}}; }

TEST(CommandLine, ArgumentReadAsTheWrongSetting) {
  using A = CommandLine::Action;
  constexpr ChineseBlock kLast = ChineseBlock::kLast, kFirst = ChineseBlock::kFirst;
  constexpr SortOrder kStrokes = SortOrder::kStrokes, kZhuyin = SortOrder::kZhuyin, kPinyin = SortOrder::kPinyin;
  struct Case {
    bool big5;
    std::vector<std::string> args;
    A action;
    std::string document;
    SortOrder order = SortOrder::kStrokes;
    ChineseBlock block = ChineseBlock::kLast;
    std::string output_directory = "";
    std::string bad_option = "";
    std::string usage_error = "";
  };
  const Case cases[] = {
      // corvina4's order option: only its second character counts.
      {false, {"thesis"}, A::kRun, "thesis"},
      {false, {"-y", "thesis"}, A::kRun, "thesis", kZhuyin},
      {false, {"-Y", "thesis"}, A::kRun, "thesis", kZhuyin},
      {false, {"-yes", "thesis"}, A::kRun, "thesis", kZhuyin},
      {false, {"-q", "thesis"}, A::kRun, "thesis", kStrokes, kLast, "", "-q"},
      {false, {"-", "thesis"}, A::kRun, "thesis", kStrokes, kLast, "", "-"},
      {false, {"-p", "thesis"}, A::kRun, "thesis", kPinyin},
      {false, {"-Pinyin", "thesis"}, A::kRun, "thesis", kPinyin},
      // Both orders asked for: neither may win silently.
      {false, {"-y", "-p", "thesis"}, A::kUsage, "", kZhuyin, kLast, "", "", "-y and -p: choose one order, zhuyin or pinyin."},
      {false, {"-p", "--chinese-first", "-Y", "thesis"}, A::kUsage, "", kPinyin, kFirst, "", "",
       "-p and -Y: choose one order, zhuyin or pinyin."},
      {false, {"-p", "-p", "thesis"}, A::kRun, "-p", kPinyin},
      {false, {"-q", "-p", "thesis"}, A::kRun, "-p", kStrokes, kLast, "", "-q"},
      {true, {"-p", "thesis"}, A::kUsage, ""},
      // Only the first argument that is not a long option is ever the order option.
      {false, {"thesis", "-y"}, A::kRun, "thesis"},
      {false, {"-y", "-y", "thesis"}, A::kRun, "-y", kZhuyin},
      {false, {"-y"}, A::kUsage, "", kZhuyin},
      {false, {}, A::kUsage, ""},
      {false, {"--help"}, A::kHelp, ""},
      {false, {"--version"}, A::kVersion, ""},
      // Long options anywhere before the name, in both programs; after it corvina4 reads
      // nothing, as with the order option, and corvina takes exactly one name.
      {false, {"--chinese-first", "-y", "thesis"}, A::kRun, "thesis", kZhuyin, kFirst},
      {false, {"-y", "--output-directory", "out", "--chinese-first", "thesis"}, A::kRun, "thesis", kZhuyin,
       kFirst, "out"},
      {false, {"--output-directory=build/aux", "thesis"}, A::kRun, "thesis", kStrokes, kLast, "build/aux"},
      {false, {"thesis", "--chinese-first"}, A::kRun, "thesis"},
      {true, {"--chinese-first", "--output-directory", "-y", "thesis"}, A::kRun, "thesis", kStrokes, kFirst, "-y"},
      {false, {"-y", "--output-directory=a b", "thesis"}, A::kRun, "thesis", kZhuyin, kLast, "a b"},
      {false, {"--output-directory=out", "-y", "thesis"}, A::kRun, "thesis", kZhuyin, kLast, "out"},
      {false, {"thesis", "--output-directory"}, A::kRun, "thesis"},
      // corvina: exactly one name, no order option.
      {true, {"thesis"}, A::kRun, "thesis"},
      {true, {"-y", "thesis"}, A::kUsage, ""},
      {true, {"a", "b"}, A::kUsage, ""},
      {true, {"--version"}, A::kVersion, ""},
      {true, {"--output-directory", "out", "thesis"}, A::kRun, "thesis", kStrokes, kLast, "out"},
      {true, {"--output-directory", "out"}, A::kUsage, "", kStrokes, kLast, "out"},
      {true, {"thesis", "--chinese-first"}, A::kUsage, ""},
      {true, {"--chinese-first"}, A::kUsage, "", kStrokes, kFirst},
      // An unknown long option, or one without its value, is named.
      {false, {"--chinese-last", "thesis"}, A::kUsage, "", kStrokes, kLast, "", "", "--chinese-last: unknown option."},
      {true, {"--help", "thesis"}, A::kUsage, "", kStrokes, kLast, "", "", "--help: unknown option."},
      {true, {"thesis", "--output-directory"}, A::kUsage, ""},
      {false, {"--output-directory"}, A::kUsage, "", kStrokes, kLast, "", "", "--output-directory: a folder name must follow."},
      {true, {"--output-directory=", "thesis"}, A::kUsage, "", kStrokes, kLast, "", "", "--output-directory=: unknown option."},
  };
  for (const Case& c : cases) {
    CommandLine line = parse_command_line(c.big5 ? big5_like() : utf8_like(), c.args);
    SCOPED_TRACE(::testing::PrintToString(c.args) + (c.big5 ? " corvina" : " corvina4"));
    EXPECT_EQ(std::tie(line.action, line.document, line.order, line.block, line.output_directory, line.bad_option,
                       line.usage_error),
              std::tie(c.action, c.document, c.order, c.block, c.output_directory, c.bad_option, c.usage_error));
  }
}

TEST(CommandLine, AllEntriesReadOnlyBeforeTheName) {
  using A = CommandLine::Action;
  const std::tuple<bool, std::vector<std::string>, A, bool> cases[] = {
      {false, {"--all-entries", "-y", "thesis"}, A::kRun, true},
      {false, {"-y", "--chinese-first", "--all-entries", "thesis"}, A::kRun, true},
      {true, {"--all-entries", "thesis"}, A::kRun, true},
      {false, {"thesis", "--all-entries"}, A::kRun, false},
      {true, {"thesis", "--all-entries"}, A::kUsage, false},
      {false, {"--all-entry", "thesis"}, A::kUsage, false},
  };
  for (const auto& [big5, args, action, all_entries] : cases) {
    CommandLine line = parse_command_line(big5 ? big5_like() : utf8_like(), args);
    EXPECT_EQ(std::tie(line.action, line.all_entries), std::tie(action, all_entries)) << ::testing::PrintToString(args);
  }
  EXPECT_NE(help_text(utf8_like()).find("--all-entries"), std::string::npos);
}

TEST(DocumentName, VdkFirstThenTexInDirectModeAndControlFilesNameTheFolder) {
  struct Case {
    std::string typed, output_directory;
    std::vector<std::string> present;
    DocumentName expected;
  };
  const Case cases[] = {
      {"thesis", "", {"thesis.vdk", "thesis.tex"}, {"thesis.vdk", "thesis", "", false}},
      {"thesis", "", {"thesis.tex"}, {"thesis.tex", "thesis", "", true}},
      {"thesis", "", {}, {"thesis.vdk", "thesis", "", false}},
      {"thesis.tex", "out", {"thesis.vdk"}, {"thesis.tex", "thesis", "out", true}},
      {"thesis.vdk", "", {"thesis.vdk"}, {"thesis.vdk.vdk", "thesis.vdk", "", false}},
      {"out/thesis.bcf", "", {"thesis.tex"}, {"thesis.tex", "thesis", "out", true}},
      {"thesis.aux", "", {"thesis.vdk"}, {"thesis.vdk", "thesis", "", false}},
      {"sub/thesis.aux", "build", {"thesis.tex"}, {"thesis.tex", "thesis", "build/sub", true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    auto exists = [&](const std::string& file) { return std::find(c.present.begin(), c.present.end(), file) != c.present.end(); };
    DocumentName name = resolve_document_name(c.typed, c.output_directory, exists);
    // The folder compared as a path: Windows joins a folder and a name with a backslash.
    using std::filesystem::path;
    EXPECT_EQ(std::make_tuple(name.fullname, name.purename, path(name.output_directory), name.direct),
              std::make_tuple(c.expected.fullname, c.expected.purename, path(c.expected.output_directory), c.expected.direct));
  }
}

TEST(BackendChoice, ControlFilesDecideAndTheNewerWinsWhenBothExist) {
  struct Case {
    ControlFiles files;
    std::vector<std::string> big5, utf8;
  };
  const Case cases[] = {
      {{false, false, {}}, {"bibtex8", "--mstrings", "50000", "-W", "my thesis"}, {"bibtex", "my thesis"}},
      {{false, true, {}}, {"bibtex8", "--mstrings", "50000", "-W", "my thesis"}, {"bibtex", "my thesis"}},
      {{true, false, {}}, {"biber", "my thesis"}, {"biber", "my thesis"}},
      {{true, true, 1}, {"biber", "my thesis"}, {"biber", "my thesis"}},
      {{true, true, 0}, {"bibtex", "my thesis"}, {"bibtex", "my thesis"}},
      {{true, true, -1}, {"bibtex", "my thesis"}, {"bibtex", "my thesis"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(choose_backend(big5_like(), c.files, "my thesis"), c.big5);
    EXPECT_EQ(choose_backend(utf8_like(), c.files, "my thesis"), c.utf8);
  }
}

// Only a classic .bst formats the sort tokens as text; marking them for biblatex would put
// an ideograph into every sort field.
TEST(BackendChoice, ClassicStyleTakenForBiblatexsOwnOrTheOtherWayRound) {
  struct Case {
    std::string bcf, aux;  // "-": the file is missing
    bool classic;
  };
  const Case cases[] = {
      {"-", "\\relax\n\\bibstyle{plainnat}\n\\bibdata{refs}\n", true},
      {"-", "\\bibstyle{gbt7714-numerical}\n\\bibstyle{biblatex}\n", true},  // bibtex takes the first
      {"-", "\\bibstyle{biblatex}\n\\bibdata{thesis-blx,refs}\n", false},
      {"-", "\\bibdata{refs}\n", false},
      {"-", "-", false},
      {"", "\\bibstyle{plain}\n", false},  // a .bcf and no -blx.bib: biber runs
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.aux);
    testing::TempDir dir;
    std::filesystem::create_directory("out");
    if (c.bcf != "-") testing::write_file("out/my thesis.bcf", c.bcf);
    if (c.aux != "-") testing::write_file("out/my thesis.aux", c.aux);
    EXPECT_EQ(runs_classic_style(utf8_like(), "my thesis", "out"), c.classic);
    EXPECT_FALSE(runs_classic_style(utf8_like(), "my thesis", "")) << "read the wrong folder";
  }
}

}  // namespace
}  // namespace corvina
