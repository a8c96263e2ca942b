#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decode/big5_decoder.h"

namespace corvina {
namespace {

std::string decode(std::string_view line, std::string* log = nullptr) {
  std::string out;
  make_big5_decoder(true)->decode_line(line, out, log);
  return out;
}

TEST(decodeBig5, DecodesOnlyCompleteRuns) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"{xxxAx42048}\n", "{\xA4\x40}\n"},  // no \mbox{} in this build
      {"xxxA1x50796", "\xC6\x6C"},
      {"xxxAx42048x42050x4205\n", "\xA4\x40\xA4\x42x4205\n"},
      {"xxxAx420481", "\xA4\x40" "1"},
      {"xxxxAx42048", "x\xA4\x40"},
      {"XXXaX42048 xxxa2x50807", "\xA4\x40 \xC6\x77"},  // a back end may change case
      {"xxxAx42048x99999", "\xA4\x40x99999"},           // above 65535: no byte pair
      {"xxxAx99999\n", "xxxAx99999\n"},
      {"xxxAx4204\n", "xxxAx4204\n"},
      {"xxxA4x42048 xxx9x42048 xxx{x42048\n", "xxxA4x42048 xxx9x42048 xxx{x42048\n"},
      {"see xxx.lanl.gov, key xxx00\n", "see xxx.lanl.gov, key xxx00\n"},
      {"ends in xxx\n", "ends in xxx\n"},
      {"xxx0x41281\r\n", "\xA1\x41\r\n"},
      {std::string(700, 'a') + "xxxKx45916\n", std::string(700, 'a') + "\xB3\x5C\n"},
  };
  for (const auto& [line, expected] : cases) EXPECT_EQ(decode(line), expected) << line;
}

TEST(decodeBig5, LogsLineAsReadThenAsWrittenWithDollarAfterUndecodedX) {
  std::string log;
  decode("{max} xxxAx42048 %c\n", &log);
  EXPECT_EQ(log, "19 1 17 0 ${max} xxxAx42048 %c\n{max$} \xA4\x40 %c\n");
  log.clear();
  decode("{{max}", &log);  // a line without "xxx" is copied, not scanned
  EXPECT_EQ(log, "6 0 -1 0 ${{max}{{max}");
}

}  // namespace
}  // namespace corvina
