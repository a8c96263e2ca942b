// What the control files say the document cites.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "scan/citations.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace corvina {
namespace {

using Keys = std::vector<std::string>;

// As biblatex writes it: a dynamic set, \cite, \nocite, a second refsection with
// \nocite{*}, and the empty continuation of section 0.
const std::string kBcf =
    "  <bcf:sourcemap>\n    <bcf:maps datatype=\"bibtex\" level=\"driver\">\n      <bcf:map>\n"
    "        <bcf:map_step map_field_set=\"day\" map_null=\"1\"/>\n"
    "        <bcf:map_step map_type_source=\"conference\" map_type_target=\"inproceedings\"/>\n"
    "        <bcf:map_step map_field_source=\"key\" map_field_target=\"sortkey\"/>\n"
    "      </bcf:map>\n    </bcf:maps>\n  </bcf:sourcemap>\n"
    "  <!-- SECTION 0 -->\n  <bcf:bibdata section=\"0\">\n"
    "    <bcf:datasource type=\"file\" datatype=\"bibtex\" glob=\"false\">refs.bib</bcf:datasource>\n"
    "  </bcf:bibdata>\n  <bcf:section number=\"0\">\n"
    "    <bcf:citekey type=\"set\" members=\"a, b\">myset</bcf:citekey>\n"
    "    <bcf:citekey order=\"1\" intorder=\"1\">B&amp;W</bcf:citekey>\n"
    "    <bcf:citekey order=\"2\" intorder=\"1\" nocite=\"1\">c</bcf:citekey>\n"
    "  </bcf:section>\n  <!-- SECTION 1 -->\n  <bcf:section number=\"1\">\n"
    "    <bcf:citekey order=\"1\" intorder=\"1\">d</bcf:citekey>\n"
    "  </bcf:section>\n  <!-- SECTION 0 (cont.) -->\n  <bcf:section number=\"0\">\n  </bcf:section>\n";

TEST(scanCitations, BcfCitekeysOfEverySectionAndSetMembers) {
  const Citations citations = bcf_citations(kBcf);
  EXPECT_EQ(citations.keys, (Keys{"a", "b", "myset", "B&W", "c", "d"}));
  EXPECT_TRUE(citations.prunable()) << citations.entry_changing_map;
  const std::string star = "<bcf:section number=\"1\">\n<bcf:citekey order=\"2\" nocite=\"1\">*</bcf:citekey>\n";
  EXPECT_TRUE(bcf_citations(kBcf + star).all);
  EXPECT_FALSE(bcf_citations(kBcf + star).prunable());
  // A data source that the run does not read may name entries of ours.
  EXPECT_FALSE(bcf_citations(kBcf + "<bcf:datasource type=\"file\" datatype=\"bibtex\" glob=\"true\">*.bib"
                                    "</bcf:datasource>").prunable());
  EXPECT_FALSE(bcf_citations(kBcf + "<bcf:datasource type=\"file\" datatype=\"biblatexml\">x.bltxml"
                                    "</bcf:datasource>").prunable());
  // A document that cites nothing gives no list to prune by.
  EXPECT_FALSE(bcf_citations("<bcf:section number=\"0\">\n</bcf:section>\n").prunable());
}

TEST(scanCitations, BcfInPiecesReadsAsWhole) {
  const std::string bcf = kBcf + "<bcf:map_step map_entry_clone=\"x\"/>\n";
  const Citations whole = bcf_citations(bcf);
  for (std::size_t piece = 1; piece <= 60; ++piece) {
    BcfCitations citations;
    for (std::size_t at = 0; at < bcf.size(); at += piece) citations.feed(std::string_view(bcf).substr(at, piece));
    EXPECT_EQ(std::tie(citations.citations().keys, citations.citations().entry_changing_map),
              std::tie(whole.keys, whole.entry_changing_map)) << piece;
  }
  EXPECT_EQ(whole.entry_changing_map, "<bcf:map_step map_entry_clone=\"x\"/>");
}

TEST(scanCitations, SourceMapStepsThatChangeWhatEntriesName) {
  const std::pair<std::string, bool> steps[] = {
      {"map_entry_new=\"newkey\" map_entry_newtype=\"book\"", true},
      {"map_entry_clone=\"cl\"", true},
      {"map_entry_nocite=\"1\"", true},
      {"map_field_set=\"crossref\" map_field_value=\"a\"", true},
      {"map_field_set=\"IDS\" map_field_value=\"a\"", true},
      {"map_field_source=\"note\" map_field_target=\"Related\"", true},
      {"map_field_source=\"crossref\" map_match=\"a\" map_replace=\"b\"", true},
      {"map_field_set=\"title\" map_field_value=\"xdata=p-title\"", true},
      {"map_field_set=\"entrykey\" map_field_value=\"k\"", true},
      // Conditions on these fields, and steps on other fields, change nothing they name.
      {"map_field_source=\"ids\" map_match=\"a\" map_final=\"1\"", false},
      {"map_field_source=\"xref\" map_field_target=\"note\"", false},
      {"map_field_set=\"crossrefnote\" map_field_value=\"a\"", false},
      {"map_entry_null=\"1\"", false},
      {"map_type_source=\"www\" map_type_target=\"online\"", false},
  };
  for (const auto& [attributes, changes] : steps) {
    const std::string bcf = kBcf + "<bcf:map_step " + attributes + "/>\n";
    EXPECT_EQ(bcf_citations(bcf).entry_changing_map.empty(), !changes) << attributes;
  }
}

TEST(scanCitations, AuxLinesOfBibtexAndBiblatex) {
  const std::pair<std::string, Keys> lines[] = {
      {"\\citation{a,b c,d}\n", {"a", "bc", "d"}},
      {"\\citation{*}\r\n", {"*"}},
      {"\\abx@aux@cite{0}{Key-1}", {"Key-1"}},
      {"\\abx@aux@nociteall", {"*"}},
      {"\\abx@aux@segm{0}{0}{a}", {}},
      {"\\bibdata{refs}", {}},
      {"% \\citation{x}", {}},
  };
  for (const auto& [line, keys] : lines) EXPECT_EQ(aux_line_citations(line), keys) << line;
}

TEST(scanCitations, AuxCitationsOfChapterFilesToo) {
  testing::TempDir dir;
  std::filesystem::create_directories("chapters");
  testing::write_file("thesis.aux", "\\relax\n\\citation{a}\n\\@input{chapters/one.aux}\n\\@input{thesis.aux}\n");
  testing::write_file("chapters/one.aux", "\\citation{b,c}\n");
  Citations citations;
  ASSERT_TRUE(control_file_citations("thesis.aux", citations));
  EXPECT_EQ(citations.keys, (Keys{"a", "b", "c"}));
  testing::write_file("chapters/one.aux", "\\citation{b}\n\\citation{*}\n");
  EXPECT_TRUE(aux_citations("thesis.aux").all);
  testing::write_file("thesis.bcf", kBcf);
  ASSERT_TRUE(control_file_citations("thesis.bcf", citations));
  EXPECT_EQ(citations.keys.size(), 6u);
  EXPECT_FALSE(control_file_citations("none.bcf", citations));
}

}  // namespace
}  // namespace corvina
