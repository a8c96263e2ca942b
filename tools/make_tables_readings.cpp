// make_tables_readings: builds the whole-reading table of corvina4's zhuyin order.
//
//   make_tables_readings UNIHAN_FOLDER LIST_FOLDER OUTPUT_FILE
//
// The reading of an ideograph is Unihan's kMandarin (its Taiwan value where it gives two),
// else the first reading of kHanyuPinyin, kXHC1983 or kTGHZ2013, or for a compatibility
// ideograph that of the ideograph it maps to (kCompatibilityVariant); then LIST_FOLDER's
// taiwan_readings.txt mends the characters whose Taiwan reading is another, and
// surname_readings.txt gives the readings of surnames. Both lists are kept by hand, one
// entry a line: the characters, a blank, their readings in zhuyin (the surname list then
// gives the pinyin ones, which tools/make_tables_pinyin reads); "#" starts a comment.
// OUTPUT_FILE (src/encode/tables/readings.inc) is committed, so building needs neither.

#include <algorithm>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "make_tables_unihan.h"
#include "reading_lists.h"
#include "zhuyin_syllable.h"

namespace make_tables {
namespace {

constexpr std::string_view kDigits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
// Code points this far apart or more start a new segment of the table.
constexpr char32_t kGap = 64;

std::optional<Syllable> unihan_reading(const UnihanFields& unihan, char32_t cp) {
  const auto value = [&](const char* field) -> const std::string* {
    const auto& values = unihan.at(field);
    const auto it = values.find(cp);
    return it == values.end() ? nullptr : &it->second;
  };
  if (const auto* mandarin = value("kMandarin")) {
    const auto values = words(*mandarin, ' ');
    if (auto s = syllable_from_pinyin(values.back())) return s;  // the second is Taiwan's
  }
  // "10001.010:yī", "0085.150:bú 0087.100:bù": locations, a colon, readings.
  for (const char* field : {"kHanyuPinyin", "kXHC1983", "kTGHZ2013"}) {
    if (const auto* entries = value(field)) {
      for (const auto& entry : words(*entries, ' ')) {
        for (const auto& reading : words(entry.substr(entry.rfind(':') + 1), ',')) {
          if (auto s = syllable_from_pinyin(reading)) return s;
        }
      }
    }
  }
  return std::nullopt;
}

// The zhuyin readings of a list entry: the first one for each character (the surname list
// gives the pinyin ones after them).
struct ZhuyinEntry {
  std::u32string characters;
  std::vector<Syllable> readings;
};

std::vector<ZhuyinEntry> read_zhuyin_list(const std::filesystem::path& path) {
  std::vector<ZhuyinEntry> out;
  for (const ListEntry& entry : read_list(path)) {
    ZhuyinEntry z{entry.characters, {}};
    if (entry.readings.size() < entry.characters.size()) {
      throw std::runtime_error(entry.where + ": one reading for each character is needed");
    }
    for (std::size_t k = 0; k < entry.characters.size(); ++k) {
      const auto s = syllable_from_zhuyin(entry.readings[k]);
      if (!s) throw std::runtime_error(entry.where + ": no zhuyin syllable: " + entry.readings[k]);
      z.readings.push_back(*s);
    }
    out.push_back(std::move(z));
  }
  return out;
}

struct Tables {
  std::map<char32_t, Syllable> readings;
  std::vector<ZhuyinEntry> surnames;
};

// Sets the list's Taiwan readings; returns how many of them Unihan reads otherwise, and
// names in `agreeing` the entries it already reads so (harmless, but worth a look).
int mend_to_taiwan(std::map<char32_t, Syllable>& readings, const std::filesystem::path& list, std::string& agreeing) {
  int mended = 0;
  for (const auto& entry : read_zhuyin_list(list)) {
    if (entry.characters.size() != 1) throw std::runtime_error(list.string() + ": one character a line");
    Syllable& s = readings[entry.characters[0]];
    if (s == entry.readings[0]) {
      std::ostringstream code;
      code << " U+" << std::hex << std::uppercase << static_cast<unsigned>(entry.characters[0]);
      agreeing += code.str();
    }
    mended += s != entry.readings[0];
    s = entry.readings[0];
  }
  return mended;
}

// A compatibility ideograph is the same character as the one it maps to, and reads so.
void read_compatibility_ideographs(const UnihanFields& unihan, std::map<char32_t, Syllable>& readings) {
  for (const auto& [cp, target] : unihan.at("kCompatibilityVariant")) {
    const auto read = readings.find(static_cast<char32_t>(std::stoul(target.substr(2), nullptr, 16)));
    if (read != readings.end() && readings.count(cp) == 0) readings[cp] = read->second;
  }
}

Tables make(const UnihanFields& unihan, const std::filesystem::path& lists) {
  Tables t;
  for (const auto& field : {"kMandarin", "kHanyuPinyin", "kXHC1983", "kTGHZ2013"}) {
    for (const auto& [cp, value] : unihan.at(field)) {
      if (t.readings.count(cp) == 0) {
        if (auto s = unihan_reading(unihan, cp)) t.readings[cp] = *s;
      }
    }
  }
  std::string agreeing;
  const int mended = mend_to_taiwan(t.readings, lists / "taiwan_readings.txt", agreeing);
  read_compatibility_ideographs(unihan, t.readings);
  t.surnames = read_zhuyin_list(lists / "surname_readings.txt");
  std::cerr << "make_tables_readings: " << t.readings.size() << " readings, " << mended
            << " of them mended to the Taiwan reading; already so in Unihan:" << agreeing << "\n";
  return t;
}

std::string two_digits(int n) { return {kDigits[n / 62], kDigits[n % 62]}; }

std::string syllable_row(const Syllable& s) {
  return "{" + std::to_string(s.initial) + ", " + std::to_string(s.medial) + ", " + std::to_string(s.final_) +
         ", " + std::to_string(s.tone) + "},  // " + zhuyin_text(s) + "\n";
}

std::string write(const Tables& t) {
  std::vector<Syllable> syllables{Syllable{}};
  for (const auto& [cp, s] : t.readings) syllables.push_back(s);
  for (const auto& e : t.surnames) syllables.insert(syllables.end(), e.readings.begin(), e.readings.end());
  std::sort(syllables.begin() + 1, syllables.end());
  syllables.erase(std::unique(syllables.begin() + 1, syllables.end()), syllables.end());
  if (syllables.size() > 62 * 62) throw std::runtime_error("too many syllables for two digits");
  const auto index = [&](const Syllable& s) {
    return static_cast<int>(std::lower_bound(syllables.begin() + 1, syllables.end(), s) - syllables.begin());
  };

  std::ostringstream out;
  out << "// The readings of corvina4's zhuyin order, written by tools/make_tables_readings from\n"
         "// Unihan and the lists beside this file; do not edit.\n\n"
         "// Every syllable: initial, medial, final (places in the zhuyin chart, 0 for none), tone.\n"
         "constexpr Syllable kSyllables[] = {\n";
  for (const auto& s : syllables) out << "    " << (s.tone == 0 ? "{0, 0, 0, 0},  // no reading\n" : syllable_row(s));
  out << "};\n\n// Runs of code points: first, last, where their entries start in kEntries.\n"
         "constexpr Segment kSegments[] = {\n";
  std::string entries;
  for (auto it = t.readings.begin(); it != t.readings.end();) {
    const char32_t first = it->first;
    char32_t last = first;
    const std::size_t start = entries.size() / 2;
    for (; it != t.readings.end() && it->first - last < kGap; last = it->first, ++it) {
      for (char32_t gap = last + 1; gap < it->first; ++gap) entries += "00";
      entries += two_digits(index(it->second));
    }
    out << "    {0x" << std::hex << std::uppercase << static_cast<unsigned>(first) << ", 0x"
        << static_cast<unsigned>(last) << std::dec << ", " << start << "},\n";
  }
  out << "};\n\n// Two digits of 0-9A-Za-z a code point: its syllable's index in kSyllables.\n"
         "constexpr char kEntries[] =\n";
  for (std::size_t i = 0; i < entries.size(); i += 120) out << "    \"" << entries.substr(i, 120) << "\"\n";
  out << "    ;\n\n// Surnames and compound surnames with their readings as surnames.\n";
  write_surname_table(out, "kSurnames", t.surnames, [&](const auto& reading) { return index(reading); });
  return out.str();
}

}  // namespace
}  // namespace make_tables

int main(int argc, char** argv) {
  using namespace make_tables;
  if (argc != 4) {
    std::cerr << "usage: make_tables_readings UNIHAN_FOLDER LIST_FOLDER OUTPUT_FILE\n";
    return 2;
  }
  try {
    const auto unihan = read_unihan(argv[1], {"kMandarin", "kHanyuPinyin", "kXHC1983", "kTGHZ2013",
                                              "kCompatibilityVariant"});
    const std::string text = write(make(unihan, argv[2]));
    std::ofstream file(argv[3], std::ios::binary);
    file << text;
    if (!file.flush()) throw std::runtime_error(std::string("cannot write ") + argv[3]);
  } catch (const std::exception& e) {
    std::cerr << "make_tables_readings: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
