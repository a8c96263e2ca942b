// make_tables: builds the stroke table of corvina4 from the Unihan database.
//
//   make_tables UNIHAN_FOLDER OUTPUT_FOLDER
//
// UNIHAN_FOLDER holds Unihan_*.txt or Unihan_*.txt.bz2 (Debian's unicode-data puts them in
// /usr/share/unicode). Writes strokes.inc to OUTPUT_FOLDER: the committed copy lives in
// src/encode/tables, so the build itself never needs Unihan. (The readings of the zhuyin
// order come from make_tables_readings.)
//
// strokes: every ideograph that Unihan counts, in all the CJK ideograph blocks (see
// make_tables_strokes.h for the counting). strokes.inc is one braced row per block: the
// block's first code point, then string literals with one character per code point, '-' for
// none, else the count's digit in kDigits.

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

#include "make_tables_strokes.h"
#include "make_tables_unihan.h"

namespace make_tables {
namespace {

// 0..61 are the digits and letters; the punctuation after them (no quote, backslash or '-')
// carries the few counts above 61. src/encode/tables/character_tables.cpp reads the same.
constexpr std::string_view kDigits =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz!#$%&()*+,./:;<=>?@[]^_{|}~";

char digit(int v) {
  if (v < -1 || v >= static_cast<int>(kDigits.size())) {
    throw std::runtime_error("strokes: value " + std::to_string(v) + " does not fit");
  }
  return v < 0 ? '-' : kDigits[v];
}

void write_file(const std::filesystem::path& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary);
  file << text;
  if (!file.flush()) throw std::runtime_error("cannot write " + path.string());
}

constexpr int kPerLine = 100;

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
        out << digit(it == counts.end() ? -1 : it->second);
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
    const auto unihan = read_unihan(argv[1], {"kBigFive", "kTotalStrokes", "kRSUnicode", "kTraditionalVariant"});
    const std::filesystem::path out = argv[2];
    std::pair<int, int> agreement;
    write_strokes(out / "strokes.inc", make_strokes(unihan, &agreement));
    std::cout << "make_tables: the count of characters outside Big5 gives the Big5 count for "
              << agreement.first << " of " << agreement.second << " Big5 characters\n";
  } catch (const std::exception& e) {
    std::cerr << "make_tables: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
