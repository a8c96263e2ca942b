// The file step around the decoder: what it writes to the decoded file and to the log must
// be what the line decoder gives for the same lines, however the file is cut into blocks.
#include "decode/cvte.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "decode/utf8_decoder.h"
#include "decode/codec_io.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace corvina {
namespace {

TEST(cvte, LineCutByABlockOrLogWrittenInBatchesDiffersFromTheLineDecoder) {
  const std::string run = "Zzz\x43x\x43\x32\x30\x30\x30\x30";  // "ZzzC" + "xC20000"
  const std::string long_line = std::string((1 << 20) - 5, 'a') + run + "}%\r\n";
  const struct {
    const char* name;
    std::string bbl;
  } cases[] = {
      {"short lines", "  \\field{title}{" + run + "}\r\n  family={" + run + "},\n  familyi={Z\\bibinitperiod}\n"},
      {"a line cut by the first block", long_line + run + "\n"},
      {"two blocks of lines", std::string(1 << 20, '\n') + "% " + run + "{\n"},
      {"no line end at the end", "a\n" + run},
      {"empty", ""},
  };
  for (const auto& c : cases) {
    testing::TempDir dir;
    testing::write_file("in.bbl", c.bbl);
    std::ostringstream console, log;
    Build build;
    RunState state(build, console, log);
    auto decoder = make_utf8_decoder(true);
    cvte(state, *decoder, "in.bbl", "out.bbl");

    auto expected_decoder = make_utf8_decoder(true);
    std::string expected_log;
    const std::string expected = testing::decode_lines(*expected_decoder, c.bbl, &expected_log);
    EXPECT_EQ(testing::read_file("out.bbl"), expected) << c.name;
    EXPECT_EQ(log.str(), expected_log) << c.name;
  }
}

}  // namespace
}  // namespace corvina
