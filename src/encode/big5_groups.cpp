#include "encode/big5_groups.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>

namespace corvina::big5 {

namespace {

// Each row runs from its first code to the code before the next row's first. Big5 lays
// out both ideograph blocks by stroke count, so one range per count and block is enough;
// codes with a trail byte Big5 does not use fall in with their neighbours.
struct Row {
  std::uint16_t first;
  std::string_view prefix;
};

constexpr std::array<Row, 66> kRows{{
    {0x0000, "xxx0"}, {0xA440, "xxxA"}, {0xA442, "xxxB"}, {0xA454, "xxxC"},
    {0xA47F, "xxx0"}, {0xA4A1, "xxxD"}, {0xA4FE, "xxxE"}, {0xA5E0, "xxxF"},
    {0xA6EA, "xxxG"}, {0xA8C3, "xxxH"}, {0xAB45, "xxxI"}, {0xADBC, "xxxJ"},
    {0xB0AE, "xxxK"}, {0xB3C3, "xxxL"}, {0xB6C4, "xxxM"}, {0xB9AC, "xxxN"},
    {0xBBF5, "xxxO"}, {0xBEA7, "xxxP"}, {0xC075, "xxxQ"}, {0xC24F, "xxxR"},
    {0xC35F, "xxxS"}, {0xC455, "xxxT"}, {0xC4D7, "xxxU"}, {0xC56B, "xxxV"},
    {0xC5C8, "xxxW"}, {0xC5F1, "xxxX"}, {0xC655, "xxxY"}, {0xC665, "xxxZ"},
    {0xC66C, "xxxA1"}, {0xC676, "xxxA2"}, {0xC67B, "xxxA3"}, {0xC67F, "xxx0"},
    // The less frequently used block has no one-stroke characters.
    {0xC940, "xxxB"}, {0xC945, "xxxC"}, {0xC94D, "xxxD"}, {0xC95D, "xxxE"},
    {0xC9AB, "xxxF"}, {0xCA5A, "xxxG"}, {0xCBB1, "xxxH"}, {0xCDDD, "xxxI"},
    {0xD0C8, "xxxJ"}, {0xD44B, "xxxK"}, {0xD851, "xxxL"}, {0xDCB1, "xxxM"},
    {0xE0F0, "xxxN"}, {0xE4E6, "xxxO"}, {0xE8F4, "xxxP"}, {0xECB9, "xxxQ"},
    {0xEFB7, "xxxR"}, {0xF1EB, "xxxS"}, {0xF3FD, "xxxT"}, {0xF5C0, "xxxU"},
    {0xF6D6, "xxxV"}, {0xF7D0, "xxxW"}, {0xF8A5, "xxxX"}, {0xF8EE, "xxxY"},
    {0xF96B, "xxxZ"}, {0xF9A2, "xxxA1"}, {0xF9BA, "xxxA2"}, {0xF9C6, "xxxA3"},
    // Seven characters appended after the second block, each in its own group.
    {0xF9D6, "xxxM"}, {0xF9D9, "xxxP"}, {0xF9DA, "xxxI"}, {0xF9DB, "xxxL"},
    {0xF9DC, "xxxO"}, {0xF9DD, "xxx0"},
}};

}  // namespace

std::string_view cvt(unsigned code) {
  const auto after = std::upper_bound(
      kRows.begin(), kRows.end(), code,
      [](unsigned value, const Row& row) { return value < row.first; });
  return std::prev(after)->prefix;
}

}  // namespace corvina::big5
