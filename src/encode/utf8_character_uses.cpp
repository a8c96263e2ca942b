#include <optional>
#include <utility>

#include "encode/character_uses.h"
#include "encode/reading_orders.h"
#include "encode/tables/character_tables.h"
#include "encode/utf8_groups.h"
#include "encode/utf8_reader.h"

namespace corvina {
namespace {

void append_utf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | cp >> 6));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | cp >> 12));
    out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | cp >> 18));
    out.push_back(static_cast<char>(0x80 | (cp >> 12 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// The readings of one order, spelled: the ordinary one, and the ones the encoder gives the
// first character (or two) of a name.
struct Readings {
  std::string (*ordinary)(char32_t);
  std::optional<std::string> (*surname)(char32_t);
  bool (*begins_compound)(char32_t);
  std::optional<std::pair<std::string, std::string>> (*compound)(char32_t, char32_t);
};

std::string spelled(const tables::Reading& r) { return zhuyin_text(r); }
std::string spelled(const tables::Pinyin& r) { return pinyin_text(r); }

template <class Order>
Readings readings_of() {
  return {
      [](char32_t cp) { return spelled(Order::reading(cp)); },
      [](char32_t cp) -> std::optional<std::string> {
        const auto r = Order::surname_reading(cp);
        if (!r) return std::nullopt;
        return spelled(*r);
      },
      Order::begins_compound_surname,
      [](char32_t a, char32_t b) -> std::optional<std::pair<std::string, std::string>> {
        const auto both = Order::compound_surname(a, b);
        if (!both) return std::nullopt;
        return std::pair{spelled(both->first), spelled(both->second)};
      },
  };
}

const Readings kZhuyin = readings_of<ZhuyinOrder>();
const Readings kPinyin = readings_of<PinyinOrder>();

bool is_blank(char c) { return std::string_view(" \t\n\r\f\v").find(c) != std::string_view::npos; }

// The character at `pos` of `value`, if a character begins there.
std::optional<std::pair<char32_t, std::size_t>> character_at(std::string_view value, std::size_t pos) {
  if (pos >= value.size() || static_cast<unsigned char>(value[pos]) < 0x80) return std::nullopt;
  const Token token = utf8::get_tokena(value.substr(pos), true);
  if (token.kind != TokenKind::kCharacter) return std::nullopt;
  return std::pair{utf8::readn2p(value.substr(pos, token.size), tables::strokes, 0).code_point, token.size};
}

}  // namespace

std::string zhuyin_text(const tables::Reading& r) {
  std::string text;
  if (r.tone == 0) return text;
  if (r.tone == 5) append_utf8(text, U'˙');  // the neutral tone is written before the syllable
  if (r.initial > 0) append_utf8(text, U'ㄅ' + static_cast<char32_t>(r.initial - 1));
  if (r.medial > 0) append_utf8(text, U'ㄧ' + static_cast<char32_t>(r.medial - 22));
  if (r.final_ > 0) append_utf8(text, U'ㄚ' + static_cast<char32_t>(r.final_ - 25));
  constexpr char32_t kMarks[] = {0, 0, U'ˊ', U'ˇ', U'ˋ'};
  if (r.tone >= 2 && r.tone <= 4) append_utf8(text, kMarks[r.tone]);
  return text;
}

std::string pinyin_text(const tables::Pinyin& r) {
  std::string text;
  if (r.tone == 0) return text;
  // The mark goes on a or e, on the o of ou, else on the last vowel.
  const std::string_view letters = r.letters;
  std::size_t marked = letters.find_first_of("AE");
  if (marked == std::string_view::npos) marked = letters.find("OU");
  if (marked == std::string_view::npos) marked = letters.find_last_of("IOUV");
  constexpr std::string_view kVowels = "AEIOUV";
  constexpr char32_t kMarked[6][5] = {
      {U'a', U'ā', U'á', U'ǎ', U'à'}, {U'e', U'ē', U'é', U'ě', U'è'}, {U'i', U'ī', U'í', U'ǐ', U'ì'},
      {U'o', U'ō', U'ó', U'ǒ', U'ò'}, {U'u', U'ū', U'ú', U'ǔ', U'ù'}, {U'ü', U'ǖ', U'ǘ', U'ǚ', U'ǜ'},
  };
  constexpr char32_t kCombining[5] = {0, 0x304, 0x301, 0x30C, 0x300};
  const int tone = r.tone <= 4 ? r.tone : 0;
  for (std::size_t i = 0; i < letters.size(); ++i) {
    const std::size_t vowel = kVowels.find(letters[i]);
    if (vowel != std::string_view::npos) {
      append_utf8(text, kMarked[vowel][i == marked ? tone : 0]);
    } else {
      append_utf8(text, static_cast<char32_t>(letters[i] - 'A' + 'a'));
      // A syllable without a vowel (m, n, ng) carries its tone on its first letter.
      if (i == 0 && marked == std::string_view::npos && tone > 0) append_utf8(text, kCombining[tone]);
    }
  }
  return text;
}

std::vector<CharacterUse> utf8_character_uses(std::string_view value, const std::vector<std::size_t>& name_starts,
                                              SortOrder order) {
  const Readings* readings = order == SortOrder::kZhuyin ? &kZhuyin : order == SortOrder::kPinyin ? &kPinyin : nullptr;
  std::vector<CharacterUse> uses;
  std::size_t next_start = 0;
  bool name_start = false;
  for (std::size_t pos = 0; pos < value.size();) {
    while (next_start < name_starts.size() && name_starts[next_start] <= pos)
      name_start = name_starts[next_start++] == pos || name_start;
    const auto c = character_at(value, pos);
    if (!c) {
      if (!is_blank(value[pos])) name_start = false;
      ++pos;
      continue;
    }
    const auto [cp, size] = *c;
    const std::string character(value.substr(pos, size));
    pos += size;
    const bool starts_name = std::exchange(name_start, false);
    const bool chinese = tables::strokes(cp) >= 0;
    if (!readings) {
      if (chinese) uses.push_back({character, std::to_string(tables::strokes(cp))});
      continue;
    }
    if (starts_name && readings->begins_compound(cp)) {
      if (const auto second = character_at(value, pos)) {
        if (const auto both = readings->compound(cp, second->first)) {
          uses.push_back({character, both->first, true});
          uses.push_back({std::string(value.substr(pos, second->second)), both->second, true});
          pos += second->second;
          continue;
        }
      }
    }
    if (starts_name) {
      if (const auto surname = readings->surname(cp)) {
        uses.push_back({character, *surname, true});
        continue;
      }
    }
    std::string reading = readings->ordinary(cp);
    if (reading.empty() && !chinese) continue;
    uses.push_back({character, reading.empty() ? "(no reading)" : reading});
  }
  return uses;
}

}  // namespace corvina
