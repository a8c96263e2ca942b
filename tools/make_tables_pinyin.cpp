#include "make_tables_pinyin.h"

#include <array>
#include <cstdint>
#include <utility>

namespace make_tables {
namespace {

// Decodes one UTF-8 sequence at text[i], advancing i; 0 on a malformed sequence.
char32_t next_code_point(std::string_view text, std::size_t& i) {
  const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
  const std::uint8_t b0 = byte(i);
  int length = b0 < 0x80 ? 1 : (b0 & 0xE0) == 0xC0 ? 2 : (b0 & 0xF0) == 0xE0 ? 3 : (b0 & 0xF8) == 0xF0 ? 4 : 0;
  if (length == 0 || i + length > text.size()) return 0;
  char32_t cp = length == 1 ? b0 : b0 & (0x7F >> length);
  for (int k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    cp = cp << 6 | (byte(i + k) & 0x3F);
  }
  i += length;
  return cp;
}

// The toned vowels (and syllabic consonants) that Unihan's readings use, with their bases.
constexpr std::array<std::pair<char32_t, char>, 34> kToned{{
    {U'à', 'a'}, {U'á', 'a'}, {U'ā', 'a'}, {U'ǎ', 'a'},
    {U'è', 'e'}, {U'é', 'e'}, {U'ē', 'e'}, {U'ě', 'e'},
    {U'ì', 'i'}, {U'í', 'i'}, {U'ī', 'i'}, {U'ǐ', 'i'},
    {U'ò', 'o'}, {U'ó', 'o'}, {U'ō', 'o'}, {U'ǒ', 'o'},
    {U'ù', 'u'}, {U'ú', 'u'}, {U'ū', 'u'}, {U'ǔ', 'u'},
    {U'ü', 'v'}, {U'ǘ', 'v'}, {U'ǚ', 'v'}, {U'ǜ', 'v'}, {U'ǖ', 'v'},
    {U'ê', 'E'}, {U'ế', 'E'}, {U'ề', 'E'},
    {U'ḿ', 'm'}, {U'ń', 'n'}, {U'ň', 'n'}, {U'ǹ', 'n'},
    {U'Ü', 'v'}, {U'Ê', 'E'},
}};

}  // namespace

std::string plain_syllable(std::string_view pinyin_utf8) {
  std::string out;
  for (std::size_t i = 0; i < pinyin_utf8.size();) {
    const char32_t cp = next_code_point(pinyin_utf8, i);
    if (cp == 0) return {};
    if (cp >= 0x0300 && cp <= 0x036F) continue;  // a combining tone mark ("m̄", "ê̄")
    if (cp >= U'a' && cp <= U'z') {
      out += static_cast<char>(cp);
    } else if (cp >= U'A' && cp <= U'Z') {
      out += static_cast<char>(cp - U'A' + U'a');
    } else {
      char base = 0;
      for (const auto& [toned, plain] : kToned) {
        if (toned == cp) base = plain;
      }
      if (base == 0) return {};
      out += base;
    }
  }
  return out;
}

int first_zhuyin_symbol(std::string_view pinyin_utf8) {
  const std::string s = plain_syllable(pinyin_utf8);
  if (s.empty()) return -1;
  const auto starts = [&](std::string_view prefix) { return s.compare(0, prefix.size(), prefix) == 0; };

  // y and w only spell the medials: yu- (also yue, yuan, yun) and yong are ㄩ, the rest ㄧ.
  if (s[0] == 'y') return starts("yu") || starts("yv") || s == "yong" ? kYu : kI;
  if (s[0] == 'w') return kU;

  // The retroflex initials first, since z, c and s are their prefixes. A syllable that is
  // only an initial (zhi, ri, zi, also the syllabic m, n, ng, hm, hng) still starts with it.
  static constexpr std::array<std::pair<std::string_view, int>, 21> kInitials{{
      {"zh", kZh}, {"ch", kCh}, {"sh", kSh}, {"b", kB}, {"p", kP}, {"m", kM}, {"f", kF},
      {"d", kD},   {"t", kT},   {"n", kN},   {"l", kL}, {"g", kG}, {"k", kK}, {"h", kH},
      {"j", kJ},   {"q", kQ},   {"x", kX},   {"r", kR}, {"z", kZ}, {"c", kC}, {"s", kS},
  }};
  // After an initial comes a final, except in the syllabic m, n, ng, hm and hng.
  const bool syllabic = s == "m" || s == "n" || s == "ng" || s == "hm" || s == "hng";
  for (const auto& [initial, symbol] : kInitials) {
    if (!starts(initial)) continue;
    const bool has_final = s.find_first_of("aeiouvE", initial.size()) != std::string::npos;
    return has_final || syllabic ? symbol : -1;
  }

  // Syllables without an initial are a bare final.
  static constexpr std::array<std::pair<std::string_view, int>, 13> kFinals{{
      {"a", kA}, {"o", kO}, {"e", kE}, {"E", kEh}, {"ai", kAi}, {"ei", kEi}, {"ao", kAo},
      {"ou", kOu}, {"an", kAn}, {"en", kEn}, {"ang", kAng}, {"eng", kEng}, {"er", kEr},
  }};
  for (const auto& [final_, symbol] : kFinals) {
    if (s == final_) return symbol;
  }
  return -1;
}

}  // namespace make_tables
