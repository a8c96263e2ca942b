// A line too long to hold is handed to the line rules condensed: every rule must read the
// condensed line exactly as it reads the whole line, whatever pieces it came in.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "core/document_hints.h"
#include "scan/bibliography_line.h"
#include "scan/control_files.h"
#include "scan/document_hints.h"
#include "scan/include_line.h"
#include "scan/long_line.h"
#include "scan/source_lines.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace corvina {
namespace {

// The line read twice, in pieces of `piece` bytes and then of another size.
std::string condensed(const std::string& line, std::size_t piece) {
  LongLine long_line;
  for (std::size_t at = 0; at < line.size(); at += piece) long_line.survey(std::string_view(line).substr(at, piece));
  const std::size_t again = piece * 3 + 1;
  for (std::size_t at = 0; at < line.size(); at += again) long_line.keep(std::string_view(line).substr(at, again));
  return long_line.condensed();
}

void expect_same(const LineScan& a, const LineScan& b) { EXPECT_EQ(std::tie(a.kind, a.names, a.log), std::tie(b.kind, b.names, b.log)); }

void expect_read_alike(const std::string& line, const std::string& short_line) {
  SCOPED_TRACE("whole: " + line + "\ncondensed: " + short_line);
  expect_same(scan_bibliography_line(line, 3, 1), scan_bibliography_line(short_line, 3, 1));
  expect_same(scan_include_line(line, 3, 1), scan_include_line(short_line, 3, 1));
  const AuxLine aux = scan_aux_line(line), short_aux = scan_aux_line(short_line);
  EXPECT_EQ(std::tie(aux.bibdata, aux.input), std::tie(short_aux.bibdata, short_aux.input));
  DocumentHints h, s;
  note_hints(line, h);
  note_hints(short_line, s);
  EXPECT_EQ(std::tie(h.magic_engine, h.package_engine, h.biblatex, h.biblatex_bibtex, h.bibliography),
            std::tie(s.magic_engine, s.package_engine, s.biblatex, s.biblatex_bibtex, s.bibliography));
}

// Lines made of the texts the rules look for, what they read after them and filler that
// keeps them apart, in random order; each cut into pieces at every place somewhere.
TEST(LongLine, ARuleReadsTheCondensedLineOtherwise) {
  const std::vector<std::string> fragments = {
      "\\bibliography{", "\\nobibliography{", "\\addbibresource{", "\\addbibresource[", "\\addglobalbib[",
      "\\addsectionbib{", "location = remote", "]{", "\\input{", "\\include{", "\\bibdata{", "\\@input{",
      "% !TEX program = xelatex", "!tEx PrOgRaM", "=", "\\usepackage", "{xeCJK}", "{CJKutf8}", "{CJK}",
      "biblatex", "backend=bibtex", "\\printbibliography", "\\RequirePackage{luatexja}", "}", "]", ",",
      " ", "%", "a.bib", "refs", "\r", "xxxxxxxxxxxxxxxxxxxx"};
  std::mt19937 random(14);
  for (int round = 0; round < 3000; ++round) {
    std::string line;
    for (int parts = 1 + static_cast<int>(random() % 10); parts > 0; --parts) line += fragments[random() % fragments.size()];
    for (std::size_t piece : {std::size_t{1}, std::size_t{5}, line.size()}) {
      expect_read_alike(line, condensed(line, piece));
      if (HasFailure()) return;
    }
  }
}

// Kept pieces that stand apart in the line must not run together into a command.
TEST(LongLine, KeptPiecesJoinedIntoACommand) {
  const std::string line = "x\\addbibresource" + std::string(20, 'y') + "{CJK}";
  expect_read_alike(line, condensed(line, 7));
  EXPECT_EQ(condensed("", 4), "");
}

// A document of one line of a few megabytes: it is read in pieces and still yields its
// commands, and the line after it is read as usual.
TEST(LongLine, CommandInALineLongerThanAPieceLost) {
  testing::TempDir dir;
  const std::string filler(3 << 20, 'x');
  testing::write_file("doc.tex", "\\usepackage{biblatex}" + filler + "\\addbibresource{a.bib}" + filler +
                                     "% a remark" + filler + "\n\\input{chapter}\n");
  std::vector<std::string> lines;
  ASSERT_TRUE(for_each_line("doc.tex", [&](std::string_view line) { lines.emplace_back(line); }));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_LT(lines[0].size(), 200u);
  EXPECT_EQ(scan_bibliography_line(lines[0], 0, 0).names, std::vector<std::string>{"a.bib"});
  DocumentHints hints;
  note_hints(lines[0], hints);
  EXPECT_TRUE(hints.biblatex);
  EXPECT_EQ(lines[1], "\\input{chapter}");
}

}  // namespace
}  // namespace corvina
