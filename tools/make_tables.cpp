// make_tables: builds the stroke and zhuyin tables of corvina4 from the Unihan database.
//
//   make_tables UNIHAN_FOLDER OUTPUT_FOLDER
//
// UNIHAN_FOLDER holds Unihan_*.txt or Unihan_*.txt.bz2 (Debian's unicode-data puts them in
// /usr/share/unicode). Writes strokes.inc and zhuyin.inc to OUTPUT_FOLDER: the committed copies
// live in src/encode/tables, so the build itself never needs Unihan.
//
// strokes: every ideograph that Unihan counts, in all the CJK ideograph blocks (see
// make_tables_strokes.h for the counting). strokes.inc is one braced row per block: the
// block's first code point, then string literals with one character per code point.
// zhuyin: U+3000..U+3129 and U+4E00..U+9FA5, 21,200 entries in that order, one character per
// entry; the first zhuyin symbol of the Taiwan kMandarin reading (then kHanyuPinyin,
// kXHC1983, kTGHZ2013) for Big5 characters; characters outside Big5 may take any reading
// Unihan lists, chosen to keep the group sizes those of the established sort order.
// In both files an entry is '-' for none, else the value's digit in kDigits.

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
#include "make_tables_strokes.h"
#include "make_tables_unihan.h"

namespace make_tables {
namespace {

constexpr int kEntries = 21200;
constexpr char32_t kSymbolsFirst = 0x3000, kSymbolsLast = 0x3129;
constexpr char32_t kIdeographsFirst = 0x4E00, kIdeographsLast = 0x9FA5;
// 0..61 are the digits and letters; the punctuation after them (no quote, backslash or '-')
// carries the few counts above 61. src/encode/tables/character_tables.cpp reads the same.
constexpr std::string_view kDigits =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz!#$%&()*+,./:;<=>?@[]^_{|}~";

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

char digit(std::string_view name, int v) {
  if (v < -1 || v >= static_cast<int>(kDigits.size())) {
    throw std::runtime_error(std::string(name) + ": value " + std::to_string(v) + " does not fit");
  }
  return v < 0 ? '-' : kDigits[v];
}

void write_file(const std::filesystem::path& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary);
  file << text;
  if (!file.flush()) throw std::runtime_error("cannot write " + path.string());
}

constexpr int kPerLine = 100;

void write_table(const std::filesystem::path& path, std::string_view name, const Table& table) {
  std::ostringstream out;
  out << "// The " << name << " table of corvina4, written by tools/make_tables from Unihan; do not edit.\n"
      << "// One character per entry, U+3000..U+3129 then U+4E00..U+9FA5: '-' is -1, else the value's\n"
      << "// digit in 0-9A-Za-z.\n";
  for (int i = 0; i < kEntries; i += kPerLine) {
    out << '"';
    for (int k = i; k < std::min(kEntries, i + kPerLine); ++k) out << digit(name, table[k]);
    out << "\"\n";
  }
  write_file(path, out.str());
}

// One row per block, from its first to its last counted ideograph; every line of entries
// starts with the code point of its first entry, so that a count is easy to find.
void write_strokes(const std::filesystem::path& path, const StrokeCounts& counts) {
  std::ostringstream out;
  out << "// The strokes table of corvina4, written by tools/make_tables from Unihan; do not edit.\n"
      << "// One row per block of ideographs: its first code point, then one character per code point:\n"
      << "// '-' for none, else the stroke count's digit in\n"
      << "// " << kDigits << " (0..88).\n";
  for (const Block& block : kIdeographBlocks) {
    const auto first = counts.lower_bound(block.first), end = counts.upper_bound(block.last);
    if (first == end) continue;
    const char32_t last = std::prev(end)->first;
    char start[16];
    std::snprintf(start, sizeof start, "{0x%04X,\n", static_cast<unsigned>(first->first));
    out << start;
    for (char32_t line = first->first; line <= last; line += kPerLine) {
      std::snprintf(start, sizeof start, "/*%04X*/ \"", static_cast<unsigned>(line));
      out << start;
      for (char32_t cp = line; cp <= std::min<char32_t>(last, line + kPerLine - 1); ++cp) {
        const auto it = counts.find(cp);
        out << digit("strokes", it == counts.end() ? -1 : it->second);
      }
      out << "\"\n";
    }
    out << "},\n";
  }
  write_file(path, out.str());
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
    const auto unihan = read_unihan(argv[1], {"kBigFive", "kTotalStrokes", "kRSUnicode", "kTraditionalVariant",
                                              "kMandarin", "kHanyuPinyin", "kXHC1983", "kTGHZ2013"});
    const std::filesystem::path out = argv[2];
    std::pair<int, int> agreement;
    write_strokes(out / "strokes.inc", make_strokes(unihan, &agreement));
    std::cout << "make_tables: the count of characters outside Big5 gives the Big5 count for "
              << agreement.first << " of " << agreement.second << " Big5 characters\n";
    write_table(out / "zhuyin.inc", "zhuyin", make_zhuyin(unihan));
  } catch (const std::exception& e) {
    std::cerr << "make_tables: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
