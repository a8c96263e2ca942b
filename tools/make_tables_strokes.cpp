#include "make_tables_strokes.h"

#include <algorithm>
#include <optional>
#include <string>

namespace make_tables {
namespace {

// Big5 lays out each of its two ideograph blocks by stroke count, so a character's position
// tells its count: these are the stroke ranges of the two blocks. 29 stands for "29 or
// more", where the position no longer tells the count.
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
    // The seven characters that vendors appended at F9D6..F9DC are not part of the set; they
    // are counted like the characters outside Big5.
};

struct Mend {
  char32_t cp;
  int strokes;
};

// Big5 characters that Big5 places in the wrong stroke range, found where its count differs
// from both Unihan's and the radical-and-residual count below, and checked by hand in
// Taiwan's way of counting. corvina's big5_groups.cpp mends the same characters.
constexpr Mend kMends[] = {
    {U'驪', 29},  // 馬 10 + 麗 19; placed among the 28-stroke characters
    {U'撝', 15},  // 扌 3 + 爲 12; placed with 12, as if its right side were 為 (9)
    {U'鄬', 15},  // 爲 12 + 阝 3; the same slip
    {U'飀', 19},  // 風 9 + 留 10; placed with 21
};

const std::string* field(const UnihanFields& unihan, const char* name, char32_t cp) {
  const auto& values = unihan.at(name);
  const auto it = values.find(cp);
  return it == values.end() ? nullptr : &it->second;
}

// kTotalStrokes gives one count, or two where the mainland and the Taiwan glyphs differ.
int total_strokes(const std::string& value, bool taiwan) {
  return std::stoi(taiwan ? value.substr(value.rfind(' ') + 1) : value);
}

std::optional<int> big5_strokes(const UnihanFields& unihan, char32_t cp) {
  const std::string* big5 = field(unihan, "kBigFive", cp);
  if (!big5) return std::nullopt;
  const unsigned code = static_cast<unsigned>(std::stoul(*big5, nullptr, 16));
  const auto range = std::find_if(std::begin(kBig5Ranges), std::end(kBig5Ranges),
                                  [&](const Big5Range& r) { return r.first <= code && code <= r.last; });
  if (range == std::end(kBig5Ranges)) return std::nullopt;  // symbols that Big5 places before A440
  for (const Mend& m : kMends) {
    if (m.cp == cp) return m.strokes;
  }
  if (range->strokes != kOpenEnded) return range->strokes;
  // The position only says "29 or more"; Unihan's count says how many, and where it is lower
  // (it counts a few of these, such as 鸛, on another form) the position wins.
  const std::string* total = field(unihan, "kTotalStrokes", cp);
  return std::max(kOpenEnded, total ? total_strokes(*total, true) : -1);
}

struct RadicalStroke {
  int radical;
  bool simplified_form;  // "120'": the simplified form of the radical (纟 for 糸)
  int residual;
};

// The first value of kRSUnicode, "140.4" or "120'.3": radical number, then residual strokes.
RadicalStroke radical_stroke(const std::string& value) {
  const std::size_t dot = value.find('.');
  return {std::stoi(value), value.find('\'') < dot, std::stoi(value.substr(dot + 1))};
}

// How Taiwan counts the usual form of each radical (艹 4, 阝 3, 辶 4, 氵 3): the count that most
// Big5 characters with that radical have beyond their residual strokes.
std::map<int, int> radical_forms(const UnihanFields& unihan, const StrokeCounts& big5) {
  std::map<int, std::map<int, int>> seen;  // radical -> form count -> characters
  for (const auto& [cp, strokes] : big5) {
    const std::string* rs = field(unihan, "kRSUnicode", cp);
    if (!rs) continue;
    const RadicalStroke r = radical_stroke(*rs);
    if (!r.simplified_form && r.residual > 0) ++seen[r.radical][strokes - r.residual];
  }
  std::map<int, int> forms;
  for (const auto& [radical, counts] : seen) {
    forms[radical] = std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
                       return a.second < b.second;
                     })->first;
  }
  return forms;
}

// Unihan's kTotalStrokes counts as the mainland does (艹 3, 阝 2, 辶 3). A simplified form
// keeps that count, as it is written only on the mainland. Any other character counts its
// radical's form as Taiwan does, plus its residual strokes; where that cannot be said (no
// radical of a usual form, none of its strokes outside the radical), kTotalStrokes stands.
int counted(const UnihanFields& unihan, const std::map<int, int>& forms, char32_t cp,
            const std::string& total) {
  if (field(unihan, "kTraditionalVariant", cp)) return total_strokes(total, false);
  const std::string* rs = field(unihan, "kRSUnicode", cp);
  if (!rs) return total_strokes(total, false);
  const RadicalStroke r = radical_stroke(*rs);
  const auto form = forms.find(r.radical);
  if (r.simplified_form || r.residual <= 0 || form == forms.end()) return total_strokes(total, false);
  return form->second + r.residual;
}

bool in_blocks(char32_t cp) {
  return std::any_of(std::begin(kIdeographBlocks), std::end(kIdeographBlocks),
                     [&](const Block& b) { return b.first <= cp && cp <= b.last; });
}

}  // namespace

StrokeCounts make_strokes(const UnihanFields& unihan, std::pair<int, int>* agreement) {
  StrokeCounts big5;
  for (const auto& [cp, code] : unihan.at("kBigFive")) {
    if (const auto strokes = big5_strokes(unihan, cp); strokes && in_blocks(cp)) big5[cp] = *strokes;
  }
  const std::map<int, int> forms = radical_forms(unihan, big5);
  StrokeCounts all;
  *agreement = {0, static_cast<int>(big5.size())};
  for (const auto& [cp, total] : unihan.at("kTotalStrokes")) {
    if (!in_blocks(cp)) continue;
    const int rule = counted(unihan, forms, cp, total);
    const auto known = big5.find(cp);
    if (known != big5.end()) agreement->first += rule == known->second;
    all[cp] = known == big5.end() ? rule : known->second;
  }
  return all;
}

}  // namespace make_tables
