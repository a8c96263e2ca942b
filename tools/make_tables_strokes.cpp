#include "make_tables_strokes.h"

#include <algorithm>
#include <optional>
#include <string>

#include "encode/big5_groups.h"

namespace make_tables {
namespace {

// Big5 lays out each of its two ideograph blocks by stroke count, so a character's position
// tells its count. corvina's own table of those ranges, with the characters that Big5 places
// in the wrong range mended, is the one used here: both programs must count a Big5
// character alike. 29 stands for "29 or more", where the position no longer tells the count.
constexpr int kOpenEnded = 29;

// The seven characters that vendors appended at F9D6..F9DC are not part of the set; they
// are counted like the characters outside Big5.
constexpr unsigned kLastBig5Ideograph = 0xF9D5;

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
  if (code > kLastBig5Ideograph) return std::nullopt;
  const int group = corvina::big5::group(code);
  if (group == 0) return std::nullopt;  // symbols, and the gaps between the ranges
  if (group != kOpenEnded) return group;
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
