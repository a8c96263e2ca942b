#include "encode/big5_groups.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>

namespace corvina::big5 {

namespace {

// Each row runs from its first code to the code before the next row's first. Big5 lays
// out both ideograph blocks by stroke count, so one range per count and block is enough;
// codes with a trail byte Big5 does not use fall in with their neighbours. A character
// that Big5 places in the wrong range has a row of its own, as corvina4's table counts it.
struct Row {
  std::uint16_t first;
  std::uint8_t strokes;
};

constexpr std::array<Row, 74> kRows{{
    {0x0000, 0},  {0xA440, 1},  {0xA442, 2},  {0xA454, 3},  {0xA47F, 0},  {0xA4A1, 4},
    {0xA4FE, 5},  {0xA5E0, 6},  {0xA6EA, 7},  {0xA8C3, 8},  {0xAB45, 9},  {0xADBC, 10},
    {0xB0AE, 11}, {0xB3C3, 12}, {0xB6C4, 13}, {0xB9AC, 14}, {0xBBF5, 15}, {0xBEA7, 16},
    {0xC075, 17}, {0xC24F, 18}, {0xC35F, 19}, {0xC455, 20}, {0xC4D7, 21}, {0xC56B, 22},
    {0xC5C8, 23}, {0xC5F1, 24}, {0xC655, 25}, {0xC665, 26}, {0xC66C, 27}, {0xC676, 28},
    {0xC67A, 29},  // 驪 (C67A): 馬 10 + 麗 19, placed among the 28-stroke characters
    {0xC67F, 0},
    // The less frequently used block has no one-stroke characters. Its four-stroke range
    // ends with the six radicals C95D..C962 (巿 旡 殳 毌 气 爿), which have four strokes, not five.
    {0xC940, 2},  {0xC945, 3},  {0xC94D, 4},  {0xC963, 5},  {0xC9AB, 6},  {0xCA5A, 7},
    {0xCBB1, 8},  {0xCDDD, 9},  {0xD0C8, 10}, {0xD44B, 11}, {0xD851, 12},
    {0xD95A, 15}, {0xD95B, 12},  // 撝: 扌 3 + 爲 12, placed as if its right side were 為 (9)
    {0xDC51, 15}, {0xDC52, 12},  // 鄬: 爲 12 + 阝 3, the same slip
    {0xDCB1, 13}, {0xE0F0, 14}, {0xE4E6, 15}, {0xE8F4, 16}, {0xECB9, 17}, {0xEFB7, 18},
    {0xF1EB, 19}, {0xF3FD, 20}, {0xF5C0, 21},
    {0xF675, 19}, {0xF676, 21},  // 飀: 風 9 + 留 10, placed with 21
    {0xF6D6, 22}, {0xF7D0, 23}, {0xF8A5, 24}, {0xF8EE, 25}, {0xF96B, 26}, {0xF9A2, 27},
    {0xF9BA, 28}, {0xF9C6, 29},
    // Seven characters appended after the second block, each in its own group: 碁 銹 裏 墻
    // 恒 粧 嫺. 銹 is 金 8 + 秀 7.
    {0xF9D6, 13}, {0xF9D7, 15}, {0xF9D8, 13}, {0xF9D9, 16}, {0xF9DA, 9},  {0xF9DB, 12},
    {0xF9DC, 15}, {0xF9DD, 0},
}};

// Every code's group, looked up once per character by the encoder and once per run by the
// decoder: one byte per code is cheaper than a search of the rows.
constexpr std::array<std::uint8_t, 0x10000> kGroupOfCode = [] {
  std::array<std::uint8_t, 0x10000> groups{};
  for (std::size_t row = 0; row < kRows.size(); ++row) {
    const std::size_t end = row + 1 < kRows.size() ? kRows[row + 1].first : groups.size();
    for (std::size_t code = kRows[row].first; code < end; ++code) groups[code] = kRows[row].strokes;
  }
  return groups;
}();

}  // namespace

int group(unsigned code) {
  if (code < kGroupOfCode.size()) return kGroupOfCode[code];
  return kRows.back().strokes;
}

}  // namespace corvina::big5
