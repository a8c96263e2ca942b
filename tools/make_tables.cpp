// make_tables: builds the stroke and zhuyin tables of corvina4 from the Unihan database.
//
//   make_tables UNIHAN_FOLDER OUTPUT_FOLDER
//
// UNIHAN_FOLDER holds Unihan_*.txt or Unihan_*.txt.bz2 (Debian's unicode-data puts them in
// /usr/share/unicode). Writes strokes.inc and zhuyin.inc to OUTPUT_FOLDER: the committed copies
// live in src/encode/tables, so the build itself never needs Unihan.
//
// Both tables cover U+3000..U+3129 and U+4E00..U+9FA5, 21,200 entries in that order. An .inc
// file is a run of string literals, one character per entry: '-' for -1, else the value's
// digit in "0-9A-Za-z" (0..61).
//
// strokes: the count that a Big5 ideograph's position implies (Big5 orders by stroke count),
// Unihan's kTotalStrokes only where the position says "29 or more"; -1 outside Big5.
// zhuyin: the first zhuyin symbol of the Taiwan kMandarin reading (then kHanyuPinyin,
// kXHC1983, kTGHZ2013) for Big5 characters; characters outside Big5 may take any reading
// Unihan lists, chosen to keep the group sizes those of the established sort order.

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "make_tables_pinyin.h"
#include "make_tables_unihan.h"

namespace make_tables {
namespace {

constexpr int kEntries = 21200;
constexpr char32_t kSymbolsFirst = 0x3000, kSymbolsLast = 0x3129;
constexpr char32_t kIdeographsFirst = 0x4E00, kIdeographsLast = 0x9FA5;
constexpr std::string_view kDigits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

using Table = std::array<int, kEntries>;

int index_of(char32_t cp) {
  return cp <= kSymbolsLast ? static_cast<int>(cp - kSymbolsFirst)
                            : static_cast<int>(cp - kIdeographsFirst) + (kSymbolsLast - kSymbolsFirst + 1);
}

std::vector<std::string> split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in{std::string(text)};
  while (std::getline(in, part, separator)) {
    if (!part.empty()) parts.push_back(part);
  }
  return parts;
}

// ---------------------------------------------------------------------------------------------
// Stroke counts.
//
// Big5 lays out each of its two ideograph blocks by stroke count, so a character's position
// tells its count. The rows below are the stroke ranges of the two blocks; 29 stands for
// "29 or more", where the position no longer tells the count.

struct Big5Range {
  unsigned first, last;
  int strokes;
};

constexpr int kOpenEnded = 29;

constexpr Big5Range kBig5Ranges[] = {
    // The frequently used block.
    {0xA440, 0xA441, 1}, {0xA442, 0xA453, 2}, {0xA454, 0xA47E, 3}, {0xA4A1, 0xA4FD, 4},
    {0xA4FE, 0xA5DF, 5}, {0xA5E0, 0xA6E9, 6}, {0xA6EA, 0xA8C2, 7}, {0xA8C3, 0xAB44, 8},
    {0xAB45, 0xADBB, 9}, {0xADBC, 0xB0AD, 10}, {0xB0AE, 0xB3C2, 11}, {0xB3C3, 0xB6C3, 12},
    {0xB6C4, 0xB9AB, 13}, {0xB9AC, 0xBBF4, 14}, {0xBBF5, 0xBEA6, 15}, {0xBEA7, 0xC074, 16},
    {0xC075, 0xC24E, 17}, {0xC24F, 0xC35E, 18}, {0xC35F, 0xC454, 19}, {0xC455, 0xC4D6, 20},
    {0xC4D7, 0xC56A, 21}, {0xC56B, 0xC5C7, 22}, {0xC5C8, 0xC5F0, 23}, {0xC5F1, 0xC654, 24},
    {0xC655, 0xC664, 25}, {0xC665, 0xC66B, 26}, {0xC66C, 0xC675, 27}, {0xC676, 0xC67A, 28},
    {0xC67B, 0xC67E, kOpenEnded},
    // The less frequently used block. It has no one-stroke characters. Its four-stroke range
    // runs to C962: the six radicals C95D..C962 (巿 旡 殳 毌 气 爿) close it, and the five-stroke
    // range starts after them, at C963.
    {0xC940, 0xC944, 2}, {0xC945, 0xC94C, 3}, {0xC94D, 0xC962, 4}, {0xC963, 0xC9AA, 5},
    {0xC9AB, 0xCA59, 6}, {0xCA5A, 0xCBB0, 7}, {0xCBB1, 0xCDDC, 8}, {0xCDDD, 0xD0C7, 9},
    {0xD0C8, 0xD44A, 10}, {0xD44B, 0xD850, 11}, {0xD851, 0xDCB0, 12}, {0xDCB1, 0xE0EF, 13},
    {0xE0F0, 0xE4E5, 14}, {0xE4E6, 0xE8F3, 15}, {0xE8F4, 0xECB8, 16}, {0xECB9, 0xEFB6, 17},
    {0xEFB7, 0xF1EA, 18}, {0xF1EB, 0xF3FC, 19}, {0xF3FD, 0xF5BF, 20}, {0xF5C0, 0xF6D5, 21},
    {0xF6D6, 0xF7CF, 22}, {0xF7D0, 0xF8A4, 23}, {0xF8A5, 0xF8ED, 24}, {0xF8EE, 0xF96A, 25},
    {0xF96B, 0xF9A1, 26}, {0xF9A2, 0xF9B9, 27}, {0xF9BA, 0xF9C5, 28}, {0xF9C6, 0xF9D5, kOpenEnded},
    // The seven characters that vendors appended at F9D6..F9DC are not part of the set.
};

// kTotalStrokes gives one count, or two where the simplified and the traditional forms
// differ; the second is then the traditional (Taiwan) one.
int total_strokes(const std::string& field) {
  const auto values = split(field, ' ');
  return values.empty() ? -1 : std::stoi(values.back());
}

Table make_strokes(const UnihanFields& unihan) {
  Table table;
  table.fill(-1);
  const auto& big5 = unihan.at("kBigFive");
  const auto& totals = unihan.at("kTotalStrokes");
  for (char32_t cp = kIdeographsFirst; cp <= kIdeographsLast; ++cp) {
    const auto code_it = big5.find(cp);
    if (code_it == big5.end()) continue;
    const unsigned code = static_cast<unsigned>(std::stoul(code_it->second, nullptr, 16));
    const auto range = std::find_if(std::begin(kBig5Ranges), std::end(kBig5Ranges),
                                    [&](const Big5Range& r) { return r.first <= code && code <= r.last; });
    if (range == std::end(kBig5Ranges)) continue;  // symbols and units that Big5 places before A440
    int strokes = range->strokes;
    if (strokes == kOpenEnded) {
      // The position only says "29 or more"; Unihan's count says how many, and where it is
      // lower (it counts a few of these, such as 鸛, on another form) the position wins.
      const auto total = totals.find(cp);
      strokes = std::max(kOpenEnded, total == totals.end() ? -1 : total_strokes(total->second));
    }
    table[index_of(cp)] = strokes;
  }
  return table;
}

// ---------------------------------------------------------------------------------------------
// Zhuyin.

// The pinyin readings of a character, in the order they are tried: kMandarin first (its
// Taiwan value where it gives a mainland and a Taiwan one), then the dictionary fields.
std::vector<std::string> readings(const UnihanFields& unihan, char32_t cp) {
  std::vector<std::string> out;
  const auto value = [&](const char* field) -> const std::string* {
    const auto& values = unihan.at(field);
    const auto it = values.find(cp);
    return it == values.end() ? nullptr : &it->second;
  };
  if (const auto* mandarin = value("kMandarin")) {
    auto values = split(*mandarin, ' ');
    std::reverse(values.begin(), values.end());
    out.insert(out.end(), values.begin(), values.end());
  }
  // "10001.010:yī", "0085.150:bú 0087.100:bù", "10103.010:gè,gàn": locations, a colon and
  // one or more readings, entries separated by spaces.
  for (const char* field : {"kHanyuPinyin", "kXHC1983", "kTGHZ2013"}) {
    if (const auto* entries = value(field)) {
      for (const auto& entry : split(*entries, ' ')) {
        for (const auto& reading : split(entry.substr(entry.rfind(':') + 1), ',')) out.push_back(reading);
      }
    }
  }
  return out;
}

struct Fixed {
  char32_t cp;
  int zhuyin;
};

// Characters that Unihan gives no Mandarin reading. The unit characters are read as the two
// syllables they abbreviate (兙 = 十克, 瓧 = 十瓦, ...); the other three after the Mandarin
// syllable that regularly answers their Cantonese one.
constexpr Fixed kUnread[] = {
    {U'兙', kSh},  // shíkè, decagram
    {U'兡', kB},   // bǎikè, hectogram
    {U'嗧', kJ},   // jiālún, gallon
    {U'桛', kL},   // lung6 -> lòng
    {U'烪', kG},   // gwaan1 -> guān
    {U'瓧', kSh},  // shíwǎ, decagram
    {U'瓰', kF},   // fēnwǎ, decigram
    {U'瓱', kH},   // háowǎ, milligram
    {U'瓼', kL},   // lei5 -> lǐ
    {U'甅', kL},   // líwǎ, centigram
};

// Characters whose group corvina4's sort order has fixed, where Unihan's first reading would
// give another: documents must keep sorting the same way. 會 (kuài) and 車 (jū) are readings
// Unihan lists further on; 說 is sorted by yuè, 龘 by tà, 龥 under ㄒ and 个 under ㄅ. 诶,
// which Unihan reads only éi, is the simplified 誒 and sorts with it (xī).
constexpr Fixed kKept[] = {
    {U'个', kB}, {U'會', kK}, {U'說', kYu}, {U'車', kJ}, {U'龘', kT}, {U'龥', kX}, {U'诶', kX},
};

// The zhuyin symbol a character sorts under: that of its principal reading.
int zhuyin_of(const UnihanFields& unihan, char32_t cp) {
  for (const Fixed& f : kKept) {
    if (f.cp == cp) return f.zhuyin;
  }
  std::vector<int> symbols;
  for (const auto& reading : readings(unihan, cp)) {
    const int symbol = first_zhuyin_symbol(reading);
    if (symbol > 0 && std::find(symbols.begin(), symbols.end(), symbol) == symbols.end()) symbols.push_back(symbol);
  }
  // The interjection readings ê and ei (欸, 誒) come last in Taiwan's dictionaries, after the
  // character's older readings, so they only count where there is no other.
  const auto interjection = [](int symbol) { return symbol == kEh || symbol == kEi; };
  if (!std::all_of(symbols.begin(), symbols.end(), interjection)) std::erase_if(symbols, interjection);
  if (symbols.empty()) {
    for (const Fixed& f : kUnread) {
      if (f.cp == cp) return f.zhuyin;
    }
    throw std::runtime_error("no reading for U+" + std::to_string(static_cast<unsigned>(cp)));
  }
  return symbols.front();
}

Table make_zhuyin(const UnihanFields& unihan) {
  Table table;
  table.fill(-1);
  for (char32_t cp = kIdeographsFirst; cp <= kIdeographsLast; ++cp) table[index_of(cp)] = zhuyin_of(unihan, cp);
  return table;
}

// ---------------------------------------------------------------------------------------------

void write_table(const std::filesystem::path& path, std::string_view name, const Table& table) {
  std::ostringstream out;
  out << "// The " << name << " table of corvina4, written by tools/make_tables from Unihan; do not edit.\n"
      << "// One character per entry, U+3000..U+3129 then U+4E00..U+9FA5: '-' is -1, else the value's\n"
      << "// digit in 0-9A-Za-z.\n";
  constexpr int kPerLine = 100;
  for (int i = 0; i < kEntries; i += kPerLine) {
    out << '"';
    for (int k = i; k < std::min(kEntries, i + kPerLine); ++k) {
      const int v = table[k];
      if (v < -1 || v >= static_cast<int>(kDigits.size())) {
        throw std::runtime_error(std::string(name) + ": value " + std::to_string(v) + " does not fit");
      }
      out << (v < 0 ? '-' : kDigits[v]);
    }
    out << "\"\n";
  }
  std::ofstream file(path, std::ios::binary);
  file << out.str();
  if (!file.flush()) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace
}  // namespace make_tables

int main(int argc, char** argv) {
  using namespace make_tables;
  if (argc != 3) {
    std::cerr << "usage: make_tables UNIHAN_FOLDER OUTPUT_FOLDER\n";
    return 2;
  }
  try {
    const auto unihan = read_unihan(argv[1], {"kBigFive", "kTotalStrokes", "kMandarin", "kHanyuPinyin",
                                              "kXHC1983", "kTGHZ2013"});
    const std::filesystem::path out = argv[2];
    write_table(out / "strokes.inc", "strokes", make_strokes(unihan));
    write_table(out / "zhuyin.inc", "zhuyin", make_zhuyin(unihan));
  } catch (const std::exception& e) {
    std::cerr << "make_tables: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
