// With style=alphabetic the back end builds labels from the first letters of the names,
// here of tokens ("Zzz" and a year), and a note holds "Zzz" and "xxx" as plain text. The decoder must
// leave all of that as the back end wrote it: a run of corvina4 gives the labels that the
// back end gives when run directly on the database encoded here.

#include <sstream>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "sort_tokens.h"

namespace corvina::e2e {
namespace {

// The lines of a .bbl that hold labels, name hashes or the note, in file order.
std::vector<std::string> label_lines(const std::string& bbl) {
  std::vector<std::string> lines;
  std::istringstream in(bbl);
  for (std::string line; std::getline(in, line);) {
    for (const char* mark : {"labelalpha}", "extraalpha", "\\strng{", "{note}"})
      if (line.find(mark) != std::string::npos) lines.push_back(line);
  }
  return lines;
}

class AlphabeticLabel : public DocumentFolder, public ::testing::WithParamInterface<std::string> {};

TEST_P(AlphabeticLabel, LabelBuiltFromTokenMangled) {
  const std::string backend = GetParam();
  CORVINA_SKIP_WITHOUT("pdflatex", "kpsewhich", "biblatex", backend);
  const std::string database =
      "@book{single,\n  author = {一丁},\n  title = {丁一},\n  year = {2000},\n"
      "  note = {Preprint at xxx.lanl.gov, see Zzz0, ZzzA and 0Zz}\n}\n\n"
      "@book{four,\n  author = {兒一 and 愛人 and 說丁 and 車人},\n  title = {人中},\n  year = {2001},\n}\n\n"
      "@book{three,\n  author = {兒一 and 愛人 and 說丁},\n  title = {中一},\n  year = {2003},\n}\n\n"
      "@article{mixed,\n  author = {兒一 and Smith, John},\n  title = {不人},\n  journal = {會中},\n"
      "  year = {2004},\n}\n";
  const std::string document =
      biblatex_document("backend=" + backend + ",style=alphabetic", "\\addbibresource{refs.bib}");
  fs::create_directory("direct");
  for (const char* file : {"thesis.tex", "thesis.vdk", "direct/thesis.tex"}) write_file(file, document);
  write_file("refs.bib", database);
  write_file("direct/refs.bib", encode_utf8(database));

  const std::string latex = "pdflatex -interaction=nonstopmode thesis.tex && ";
  const Shell direct = sh("cd direct && " + latex + backend + " thesis");
  ASSERT_EQ(direct.status, 0) << direct.output;
  const Shell run = sh(latex + "corvina4 thesis");
  EXPECT_EQ(run.status, 0) << run.output;
  const std::string expected = read_file("direct/thesis.bbl");
  const std::string actual = read_file("thesis.bbl");
  ASSERT_NE(expected.find("{labelalpha}{Zzz"), std::string::npos) << "premise: labels from tokens\n" << expected;
  EXPECT_EQ(entry_keys(actual), entry_keys(expected));
  EXPECT_EQ(label_lines(actual), label_lines(expected)) << "labels not as the back end made them";
  EXPECT_NE(actual.find("說丁"), std::string::npos) << "names not decoded";
  EXPECT_NE(actual.find("會中"), std::string::npos) << "journal not decoded";
}

INSTANTIATE_TEST_SUITE_P(Backends, AlphabeticLabel, ::testing::Values("biber", "bibtex"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace corvina::e2e
