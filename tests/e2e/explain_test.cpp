// corvina4 --explain on the example database: the keys it prints come in the order of the
// \entry lines of the .bbl that a whole run of the example thesis leaves, in each order;
// and it leaves the database as it was and writes nothing beside it.

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace corvina::e2e {
namespace {

class ExplainOrder : public DocumentFolder, public ::testing::WithParamInterface<std::string> {};

// The unindented lines after the heading are the entry keys.
std::vector<std::string> explained_keys(const std::string& output) {
  std::vector<std::string> keys;
  std::istringstream lines(output);
  std::string line;
  std::getline(lines, line);
  while (std::getline(lines, line))
    if (!line.empty() && line[0] != ' ') keys.push_back(line);
  return keys;
}

std::vector<std::string> folder_listing() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(".")) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST_P(ExplainOrder, KeysComeInTheOrderOfTheFinalBbl) {
  CORVINA_SKIP_WITHOUT("xelatex", "biber", "biblatex");
  const std::string option = GetParam();
  const std::string examples = std::string(CORVINA_SOURCE_DIR) + "/examples/utf8/";
  fs::copy_file(examples + "thesis.tex", "thesis.tex");
  fs::copy_file(examples + "refs.bib", "refs.bib");
  const std::string original = read_file("refs.bib");

  const Shell explained = sh("corvina4 " + option + " --explain refs.bib");
  ASSERT_EQ(explained.status, 0) << explained.output;
  EXPECT_EQ(folder_listing(), (std::vector<std::string>{"refs.bib", "thesis.tex"})) << "--explain wrote a file";

  const std::string xelatex = "xelatex -interaction=nonstopmode thesis";
  ASSERT_EQ(run_steps({xelatex, "corvina4 " + option + " thesis.tex", xelatex}), "");
  const std::vector<std::string> bbl_keys = entry_keys(read_file("thesis.bbl"));
  ASSERT_EQ(bbl_keys.size(), 20u);
  EXPECT_EQ(explained_keys(explained.output), bbl_keys) << explained.output;
  EXPECT_EQ(read_file("refs.bib"), original);
}

INSTANTIATE_TEST_SUITE_P(Orders, ExplainOrder, ::testing::Values("", "-y", "-p", "-p --chinese-first"),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param.empty() ? "strokes" : info.param;
                           std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
                           return name;
                         });

}  // namespace
}  // namespace corvina::e2e
