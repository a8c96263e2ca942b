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
  std::string_view group;
};

constexpr std::array<Row, 66> kRows{{
    {0x0000, "0"}, {0xA440, "A"}, {0xA442, "B"}, {0xA454, "C"},
    {0xA47F, "0"}, {0xA4A1, "D"}, {0xA4FE, "E"}, {0xA5E0, "F"},
    {0xA6EA, "G"}, {0xA8C3, "H"}, {0xAB45, "I"}, {0xADBC, "J"},
    {0xB0AE, "K"}, {0xB3C3, "L"}, {0xB6C4, "M"}, {0xB9AC, "N"},
    {0xBBF5, "O"}, {0xBEA7, "P"}, {0xC075, "Q"}, {0xC24F, "R"},
    {0xC35F, "S"}, {0xC455, "T"}, {0xC4D7, "U"}, {0xC56B, "V"},
    {0xC5C8, "W"}, {0xC5F1, "X"}, {0xC655, "Y"}, {0xC665, "Z"},
    {0xC66C, "A1"}, {0xC676, "A2"}, {0xC67B, "A3"}, {0xC67F, "0"},
    // The less frequently used block has no one-stroke characters.
    {0xC940, "B"}, {0xC945, "C"}, {0xC94D, "D"}, {0xC95D, "E"},
    {0xC9AB, "F"}, {0xCA5A, "G"}, {0xCBB1, "H"}, {0xCDDD, "I"},
    {0xD0C8, "J"}, {0xD44B, "K"}, {0xD851, "L"}, {0xDCB1, "M"},
    {0xE0F0, "N"}, {0xE4E6, "O"}, {0xE8F4, "P"}, {0xECB9, "Q"},
    {0xEFB7, "R"}, {0xF1EB, "S"}, {0xF3FD, "T"}, {0xF5C0, "U"},
    {0xF6D6, "V"}, {0xF7D0, "W"}, {0xF8A5, "X"}, {0xF8EE, "Y"},
    {0xF96B, "Z"}, {0xF9A2, "A1"}, {0xF9BA, "A2"}, {0xF9C6, "A3"},
    // Seven characters appended after the second block, each in its own group.
    {0xF9D6, "M"}, {0xF9D9, "P"}, {0xF9DA, "I"}, {0xF9DB, "L"},
    {0xF9DC, "O"}, {0xF9DD, "0"},
}};

}  // namespace

std::string_view cvt(unsigned code) {
  const auto after = std::upper_bound(
      kRows.begin(), kRows.end(), code,
      [](unsigned value, const Row& row) { return value < row.first; });
  return std::prev(after)->group;
}

}  // namespace corvina::big5
