// The file step around the decoder: what it writes to the decoded file and to the log must
// be what the line decoder gives for the same lines, however the file is cut into blocks.
#include "decode/cvte.h"
#include "core/run_error.h"
#include "encode/cvtc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "decode/utf8_decoder.h"
#include "encode/utf8_encoder.h"
#include "decode/codec_io.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace corvina {
namespace {

namespace fs = std::filesystem;

std::string encoded(std::string_view text) {
  return testing::encode_whole(*make_utf8_encoder(SortOrder::kStrokes, ChineseBlock::kLast), text);
}

std::string repeated(const std::string& text, std::size_t at_least) {
  std::string out;
  while (out.size() < at_least) out += text;
  return out;
}

TEST(cvte, LineCutByABlockOrLogWrittenInBatchesDiffersFromTheLineDecoder) {
  const std::string run = encoded("王小明");
  const std::string long_line = std::string((1 << 20) - 5, 'a') + run + "}%\r\n";
  // Lines of several blocks, decoded in pieces: tokens and runs fall across every cut.
  const std::string tokens = repeated("a {" + run + "} x0 zz%\t", 3 << 20);
  const std::string one_run = encoded(repeated("臺灣閩南語", 3 << 20));
  const struct {
    const char* name;
    std::string bbl;
  } cases[] = {
      {"short lines", "  \\field{title}{" + run + "}\r\n  family={" + run + "},\n  familyi={Z\\bibinitperiod}\n"},
      {"a line cut by the first block", long_line + run + "\n"},
      {"two blocks of lines", std::string(1 << 20, '\n') + "% " + run + "{\n"},
      {"no line end at the end", "a\n" + run},
      {"empty", ""},
      {"a long line of tokens", tokens + "\r\n" + run + "}\n"},
      {"a long run, then a brace on the next line", one_run + "\n}\n" + tokens},
      {"a long line without a run", std::string(3 << 20, '{') + "\n"},
      {"a name part after a long line of blanks",
       std::string(2 << 20, ' ') + "family={" + run + "}\n  familyi={Z\\bibinitperiod}\n"},
      {"a long line closing a name part left open",
       "  family={" + run + " and\n" + tokens + "\n  familyi={Z\\bibinitperiod}\n"},
  };
  for (const auto& c : cases) {
    testing::TempDir dir;
    testing::write_file("in.bbl", c.bbl);
    std::ostringstream console, log;
    Build build;
    RunState state(build, console, log);
    cvte(state, *make_utf8_decoder(true), "in.bbl", "out.bbl");
    std::string expected_log;
    const std::string expected = testing::decode_lines(*make_utf8_decoder(true), c.bbl, &expected_log);
    // Not EXPECT_EQ: the texts run to megabytes.
    EXPECT_TRUE(testing::read_file("out.bbl") == expected) << c.name;
    EXPECT_TRUE(log.str() == expected_log) << c.name;
  }
}

// A disk that fills up must stop either step with the file's name, whether the first block
// or a later one fails.
TEST(cvteAndCvtc, FailedWriteOfAnyBlockGoesUnreported) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full to make writes fail";
  for (const std::size_t size : {std::size_t{100}, std::size_t{3} << 20}) {
    SCOPED_TRACE(size);
    testing::TempDir dir;
    testing::write_file("in", repeated("王小明 and Z\\n", size));
    fs::create_symlink("/dev/full", "out");
    std::ostringstream console, log;
    Build build;
    RunState state(build, console, log);
    const auto fails_on_out = [](auto step) {
      try {
        step();
        ADD_FAILURE() << "a failed write went unreported";
      } catch (const RunError& e) {
        EXPECT_NE(std::string(e.what()).find("out: No space left"), std::string::npos) << e.what();
      }
    };
    fails_on_out([&] { cvte(state, *make_utf8_decoder(true), "in", "out"); });
    // The encoder's working copy leaves its database unsorted and the run goes on.
    std::string error;
    EXPECT_FALSE(cvtc(state, *make_utf8_encoder(SortOrder::kStrokes, ChineseBlock::kLast), "in", "out", &error, [](std::string_view) {}));
    EXPECT_NE(error.find("out: No space left"), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace corvina
