#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "scan/bibliography_line.h"
#include "scan/include_line.h"

namespace corvina {
namespace {

struct Case {
  const char* fault;  // what goes wrong when the case fails
  std::string line;
  LineKind kind;
  std::vector<std::string> names;
  std::string log;  // for line counter 3, with 1 name already recorded
};

void expect(const Case& c, const LineScan& got) {
  EXPECT_EQ(std::tie(got.kind, got.names, got.log), std::tie(c.kind, c.names, c.log)) << c.fault;
}

const std::string kLong(2000, 'x');

TEST(scanIncludeLine, Rules) {
  const Case cases[] = {
      {"SpacesRemovedNothingElse", "\\include{ chap 2\t}\n", LineKind::kCommand, {"chap2\t"}, "(3)"},
      {"InputLogsTmpWithSlotOfLastName", "\\input{a,b}", LineKind::kCommand, {"a", "b"}, "tmp: b 3\n(3)"},
      {"FolderItemBeforeCommaIsKept", "\\input{parts/x,y}", LineKind::kCommand, {"parts/x", "y"}, "tmp: y 3\n(3)"},
      {"InputWinsOverEarlierInclude", "\\include{b}\\input{a}", LineKind::kCommand, {"a"}, "tmp: a 2\n(3)"},
      {"UnclosedGroupStopsBeforeLineEnd", "\\input{a, b\r\n", LineKind::kCommand, {"a", "b"}, "tmp: b 3\n(3)"},
      {"PercentBeforeInputCommentsItOut", "\\include{a} % \\input{b}", LineKind::kCommented, {}, "comment out! (3)\n"},
      {"CommentedIncludeLogsNothing", "% \\include{a}", LineKind::kCommented, {}, ""},
      {"PercentFarIntoLongLineStillSeen", kLong + "% \\input{a}", LineKind::kCommented, {}, "comment out! (3)\n"},
      {"LookalikeCommandsIgnored", "\\inputencoding{x}\\includegraphics{x}\\input {x}", LineKind::kNone, {}, "(3)"},
  };
  for (const Case& c : cases) expect(c, scan_include_line(c.line, 3, 1));
}

TEST(scanBibliographyLine, Rules) {
  const Case cases[] = {
      {"ListSplitAtCommas", "\\bibliography{a, b ,c}\n", LineKind::kCommand, {"a", "b", "c"}, "tmp: c 4\n(3)"},
      {"TableOrderNotLineOrder", "\\nobibliography{x}\\bibliography{y}", LineKind::kCommand, {"y"}, "tmp: y 2\n(3)"},
      {"OnlyBibliographyLogsTmp", "\\addglobalbib{a}\\addsectionbib{b}", LineKind::kCommand, {"a"}, "(3)"},
      {"BraceFormBeforeOptionForm", "\\addbibresource[opt]{a}\\addbibresource{b}", LineKind::kCommand, {"b"}, "(3)"},
      {"CharacterAfterBracketSkipped", "\\addbibresource[label=a] {x.bib}", LineKind::kCommand, {"{x.bib"}, "(3)"},
      {"RemoteAmongOtherOptionsAccepted", "\\addglobalbib[location=remote,label=a]{x}", LineKind::kCommand, {"x"}, "(3)"},
      {"NamesOnNextLineGiveEmptyName", "\\addbibresource[opt]\n", LineKind::kCommand, {""}, "(3)"},
      {"UnclosedOptionsRecordNothing", "\\addbibresource[location=remote\n", LineKind::kNone, {}, "(3)"},
      {"UnclosedGroupStopsBeforeLineEnd", "\\bibliography{refs\r\n", LineKind::kCommand, {"refs"}, "tmp: refs 2\n(3)"},
      {"RemoteWithSpacesRefused", "\\addsectionbib[ location = remote ]{x}", LineKind::kRemote, {}, ""},
      {"PercentBeforeFirstFormCommentsItOut", "\\addbibresource{a} % \\bibliography{o}", LineKind::kCommented, {}, "comment out! (3)\n"},
      {"OtherFormsCommentedSilently", "% \\addbibresource{a.bib}", LineKind::kCommented, {}, ""},
      {"PercentFarIntoLongLineStillSeen", kLong + "%\\addbibresource{a}", LineKind::kCommented, {}, ""},
      {"StyleCommandIsNoCommand", "\\bibliographystyle{plain}", LineKind::kNone, {}, "(3)"},
  };
  for (const Case& c : cases) expect(c, scan_bibliography_line(c.line, 3, 1));
}

}  // namespace
}  // namespace corvina
