// make_tables_pinyin: builds the reading table of corvina4's pinyin order.
//
//   make_tables_pinyin UNIHAN_FOLDER LIST_FOLDER OUTPUT_FILE
//
// The reading of an ideograph is the first value of Unihan's kMandarin (the mainland one
// where it gives two), for a compatibility ideograph that of the ideograph it maps to;
// LIST_FOLDER's mainland_readings.txt mends the characters that the mainland's standard
// dictionaries read otherwise, a traditional form reads as its one simplified form, and
// surname_readings.txt gives the readings of surnames (the pinyin after the zhuyin). Each reading comes with the character's stroke count as the
// mainland counts it, the first value of kTotalStrokes. OUTPUT_FILE
// (src/encode/tables/pinyin.inc) is committed, so building needs neither.

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

// Digits 0..61, then for the few stroke counts above 61 the punctuation of strokes.inc (no
// quote, backslash or '-'); src/encode/tables/reading_tables.cpp reads the same.
constexpr std::string_view kDigits =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz!#$%&()*+,./:;<=>?@[]^_{|}~";
constexpr char32_t kGap = 64;  // code points this far apart or more start a new segment

// A syllable as the token spells it: upper-case letters, ü as "V" (so that it sorts after
// u), then the tone 1..5.
struct Pinyin {
  std::string letters;
  int tone = 0;
  auto operator<=>(const Pinyin&) const = default;
};

// The decoder tells a reading from a code point by the letters: after the first only a..v
// may stand, which pinyin's finals keep to (ê reads as e; no syllable has a second letter
// beyond ü).
std::optional<Pinyin> token_pinyin(const std::string& text) {
  const auto plain = plain_pinyin(text);
  if (!plain || plain->letters.size() > 6) return std::nullopt;
  Pinyin p{"", plain->tone};
  for (char c : plain->letters) p.letters += c == 'E' ? 'E' : static_cast<char>(c - 'a' + 'A');
  const char first = p.letters[0];
  if (first == 'I' || first == 'U' || first == 'V') return std::nullopt;
  for (std::size_t i = 1; i < p.letters.size(); ++i) {
    if (p.letters[i] < 'A' || p.letters[i] > 'V') return std::nullopt;
  }
  return p;
}

Pinyin must_read(const std::string& text, const std::string& where) {
  const auto p = token_pinyin(text);
  if (!p) throw std::runtime_error(where + ": no pinyin syllable: " + text);
  return *p;
}

struct Character {
  Pinyin reading;
  int strokes = 0;
};

struct SurnameEntry {
  std::u32string characters;
  std::vector<Pinyin> readings;
};

struct Tables {
  std::map<char32_t, Character> characters;
  std::vector<SurnameEntry> surnames;
};

std::string hex(char32_t cp) {
  std::ostringstream out;
  out << "U+" << std::hex << std::uppercase << static_cast<unsigned>(cp);
  return out.str();
}

int first_number(const std::string& value) { return std::stoi(words(value, ' ').front()); }

// Sets the list's mainland readings; returns how many of them kMandarin reads otherwise,
// and names in `agreeing` the entries it already reads so (harmless, but worth a look).
int mend_to_mainland(Tables& t, const std::filesystem::path& list, std::string& agreeing) {
  int mended = 0;
  for (const ListEntry& entry : read_list(list)) {
    if (entry.characters.size() != 1 || entry.readings.size() != 1) {
      throw std::runtime_error(entry.where + ": one character and one reading a line");
    }
    const auto found = t.characters.find(entry.characters[0]);
    if (found == t.characters.end()) throw std::runtime_error(entry.where + ": no kMandarin reading to mend");
    const Pinyin p = must_read(entry.readings[0], entry.where);
    if (found->second.reading == p) agreeing += " " + hex(entry.characters[0]);
    mended += found->second.reading != p;
    found->second.reading = p;
  }
  return mended;
}

std::vector<SurnameEntry> read_surnames(const std::filesystem::path& list) {
  std::vector<SurnameEntry> out;
  for (const ListEntry& entry : read_list(list)) {
    const std::size_t n = entry.characters.size();
    if (entry.readings.size() != 2 * n) {
      throw std::runtime_error(entry.where + ": a zhuyin and a pinyin reading for each character are needed");
    }
    SurnameEntry s{entry.characters, {}};
    for (std::size_t k = n; k < 2 * n; ++k) s.readings.push_back(must_read(entry.readings[k], entry.where));
    out.push_back(std::move(s));
  }
  return out;
}

std::vector<char32_t> variants(const UnihanFields& unihan, const char* field, char32_t cp) {
  std::vector<char32_t> out;
  const auto& values = unihan.at(field);
  const auto found = values.find(cp);
  if (found == values.end()) return out;
  for (const auto& v : words(found->second, ' ')) out.push_back(static_cast<char32_t>(std::stoul(v.substr(2), nullptr, 16)));
  return out;
}

// The mainland's dictionaries read the simplified form; a traditional form that is the
// other spelling of exactly one simplified form, and of nothing else, reads as it does
// (kMandarin reads some otherwise: 羅 luó but 罗 luō, 鋨 tiě for 锇 é). A simplified form
// that stands for several characters (了 for 了 and 瞭, 着 for 著) tells nothing.
// Returns how many readings it changed.
int read_traditional_as_simplified(const UnihanFields& unihan, Tables& t) {
  int changed = 0;
  for (auto& [cp, c] : t.characters) {
    const auto traditional = variants(unihan, "kTraditionalVariant", cp);
    if (traditional.size() != 1 || traditional[0] == cp) continue;
    if (variants(unihan, "kSimplifiedVariant", traditional[0]) != std::vector<char32_t>{cp}) continue;
    const auto other = t.characters.find(traditional[0]);
    if (other == t.characters.end() || other->second.reading == c.reading) continue;
    other->second.reading = c.reading;
    ++changed;
  }
  return changed;
}

Tables make(const UnihanFields& unihan, const std::filesystem::path& lists) {
  Tables t;
  const auto& strokes = unihan.at("kTotalStrokes");
  for (const auto& [cp, value] : unihan.at("kMandarin")) {
    const auto count = strokes.find(cp);
    if (count == strokes.end()) throw std::runtime_error(hex(cp) + " has a reading but no kTotalStrokes");
    const int n = first_number(count->second);
    if (n < 1) throw std::runtime_error(hex(cp) + ": no stroke count");  // the decoder relies on one
    t.characters[cp] = {must_read(words(value, ' ').front(), hex(cp)), n};
  }
  std::string agreeing;
  const int mended = mend_to_mainland(t, lists / "mainland_readings.txt", agreeing);
  const int alike = read_traditional_as_simplified(unihan, t);
  // A compatibility ideograph is the same character as the one it maps to, and reads so.
  for (const auto& [cp, target] : unihan.at("kCompatibilityVariant")) {
    const auto read = t.characters.find(static_cast<char32_t>(std::stoul(target.substr(2), nullptr, 16)));
    if (read != t.characters.end() && t.characters.count(cp) == 0) t.characters[cp] = read->second;
  }
  t.surnames = read_surnames(lists / "surname_readings.txt");
  std::cerr << "make_tables_pinyin: " << t.characters.size() << " readings, " << mended
            << " of them mended to the mainland reading, " << alike
            << " traditional forms read as their simplified form; already so in kMandarin:" << agreeing << "\n";
  return t;
}

char digit(int n) {
  if (n < 0 || n >= static_cast<int>(kDigits.size())) throw std::runtime_error("value does not fit a digit");
  return kDigits[n];
}

std::string write(const Tables& t) {
  std::vector<Pinyin> syllables{Pinyin{}};
  for (const auto& [cp, c] : t.characters) syllables.push_back(c.reading);
  for (const auto& e : t.surnames) syllables.insert(syllables.end(), e.readings.begin(), e.readings.end());
  std::sort(syllables.begin() + 1, syllables.end());
  syllables.erase(std::unique(syllables.begin() + 1, syllables.end()), syllables.end());
  const auto index = [&](const Pinyin& p) {
    return static_cast<int>(std::lower_bound(syllables.begin() + 1, syllables.end(), p) - syllables.begin());
  };
  if (syllables.size() > 62 * 62) throw std::runtime_error("too many syllables for two digits");
  const auto two_digits = [](int n) { return std::string{digit(n / 62), digit(n % 62)}; };

  std::ostringstream out;
  out << "// The readings of corvina4's pinyin order, written by tools/make_tables_pinyin from\n"
         "// Unihan and the lists beside this file; do not edit.\n\n"
         "// Every syllable: its letters as the token spells them (ü as V), its tone.\n"
         "constexpr PinyinSyllable kPinyinSyllables[] = {\n";
  for (const auto& s : syllables) out << "    {\"" << s.letters << "\", " << s.tone << "},\n";
  out << "};\n\n// Runs of code points: first, last, where their entries start in kPinyinEntries.\n"
         "constexpr Segment kPinyinSegments[] = {\n";
  std::string entries;
  for (auto it = t.characters.begin(); it != t.characters.end();) {
    const char32_t first = it->first;
    char32_t last = first;
    const std::size_t start = entries.size() / 3;
    for (; it != t.characters.end() && it->first - last < kGap; last = it->first, ++it) {
      for (char32_t gap = last + 1; gap < it->first; ++gap) entries += "000";
      entries += two_digits(index(it->second.reading)) + digit(it->second.strokes);
    }
    out << "    {0x" << std::hex << std::uppercase << static_cast<unsigned>(first) << ", 0x"
        << static_cast<unsigned>(last) << std::dec << ", " << start << "},\n";
  }
  out << "};\n\n// Three digits a code point: two of 0-9A-Za-z for its syllable's index in\n"
         "// kPinyinSyllables, one for its stroke count (0-9A-Za-z, then !#$%&()*+,./:;<=>?@[]^_{|}~).\n"
         "constexpr char kPinyinEntries[] =\n";
  for (std::size_t i = 0; i < entries.size(); i += 120) out << "    \"" << entries.substr(i, 120) << "\"\n";
  out << "    ;\n\n// Surnames and compound surnames with their readings as surnames.\n";
  write_surname_table(out, "kPinyinSurnames", t.surnames, [&](const auto& reading) { return index(reading); });
  return out.str();
}

}  // namespace
}  // namespace make_tables

int main(int argc, char** argv) {
  using namespace make_tables;
  if (argc != 4) {
    std::cerr << "usage: make_tables_pinyin UNIHAN_FOLDER LIST_FOLDER OUTPUT_FILE\n";
    return 2;
  }
  try {
    const auto unihan = read_unihan(argv[1], {"kMandarin", "kTotalStrokes", "kCompatibilityVariant",
                                              "kTraditionalVariant", "kSimplifiedVariant"});
    const std::string text = write(make(unihan, argv[2]));
    std::ofstream file(argv[3], std::ios::binary);
    file << text;
    if (!file.flush()) throw std::runtime_error(std::string("cannot write ") + argv[3]);
  } catch (const std::exception& e) {
    std::cerr << "make_tables_pinyin: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
