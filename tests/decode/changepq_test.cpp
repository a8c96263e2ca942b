#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "decode/changepq.h"
#include "core/run_error.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace corvina {
namespace {

namespace fs = std::filesystem;
using testing::file_exists;
using testing::read_file;
using testing::write_file;

const std::string kDefinitions = "\n\\providecommand{\\pqM}{pqM}\n\\providecommand{\\pqR}{pqR}\n\n";

TEST(changepqLine, Rules) {
  const std::string long_text(2000, 'x');
  const struct {
    const char* fault;
    std::string in, out;
  } cases[] = {
      {"PqMNotRewritten", "\\fontfamily{pqM}\\selectfont\n", "\\fontfamily{\\pqM}\\selectfont\n"},
      {"PqRNotRewritten", "{\\fontfamily{pqR}\\selectfont X}\n", "{\\fontfamily{\\pqR}\\selectfont X}\n"},
      {"OtherFamilyTouched", "\\fontfamily{pqX} \\fontfamily{pqM\n", "\\fontfamily{pqX} \\fontfamily{pqM\n"},
      {"MoreThanFirstRewritten", "\\fontfamily{pqM}\\fontfamily{pqM}", "\\fontfamily{\\pqM}\\fontfamily{pqM}"},
      {"PqRPreferredOverLaterPqM", "\\fontfamily{pqR}\\fontfamily{pqM}", "\\fontfamily{pqR}\\fontfamily{\\pqM}"},
      {"DefinitionsMissing", "\\providecommand{\\cH}{\\char}\n", "\\providecommand{\\cH}{\\char}\n" + kDefinitions},
      {"AnchorLineSearchedForFamilies", "\\providecommand{\\cH}{\\char}\\fontfamily{pqM}\n",
       "\\providecommand{\\cH}{\\char}\\fontfamily{pqM}\n" + kDefinitions},
      {"DefinitionsJoinUnendedLastLine", "\\providecommand{\\cH}{\\char}",
       "\\providecommand{\\cH}{\\char}\n" + kDefinitions},
      {"LongLineCutOrMissed", long_text + "\\fontfamily{pqR}\r\n", long_text + "\\fontfamily{\\pqR}\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(changepq_line(c.in), c.out) << c.fault;
}

TEST(changepqFile, MissingInputCreatesNothing) {
  testing::TempDir dir;
  changepq();
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(changepqFile, RewriteReplacesFileAndOldContentReplacesOldBackup) {
  testing::TempDir dir;
  const std::string original = "a\n\\fontfamily{pqM}x\nlast";
  write_file("cinput.tex", original);
  write_file("cinput.@@@", "from an earlier run");
  changepq();
  EXPECT_EQ(read_file("cinput.tex"), "a\n\\fontfamily{\\pqM}x\nlast");
  EXPECT_EQ(read_file("cinput.@@@"), original);
  EXPECT_FALSE(file_exists("cinput@@.tex"));
}

// /dev/full makes the write fail even for root, where a read-only folder would not.
TEST(changepqFile, FailedWriteKeepsInputAndOldBackupAndRemovesPartialOutput) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full to make writes fail";
  testing::TempDir dir;
  write_file("cinput.tex", "\\fontfamily{pqR}\n");
  write_file("cinput.@@@", "old");
  fs::create_symlink("/dev/full", "cinput@@.tex");
  try {
    changepq();
    ADD_FAILURE() << "a failed write went unreported";
  } catch (const RunError& e) {
    EXPECT_EQ(e.status(), kExitFileError);
    EXPECT_NE(std::string(e.what()).find("cinput@@.tex: No space left"), std::string::npos);
  }
  EXPECT_EQ(read_file("cinput.tex"), "\\fontfamily{pqR}\n");
  EXPECT_FALSE(fs::exists(fs::symlink_status("cinput@@.tex")));
  EXPECT_EQ(read_file("cinput.@@@"), "old");
}

}  // namespace
}  // namespace corvina
