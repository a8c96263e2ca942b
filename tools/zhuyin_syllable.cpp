#include "zhuyin_syllable.h"

#include <array>
#include <cstdint>
#include <utility>

namespace make_tables {
namespace {

constexpr int kI = 22, kU = 23, kYu = 24;
constexpr int kA = 25, kO = 26, kE = 27, kEh = 28, kAi = 29, kEi = 30, kAo = 31, kOu = 32,
              kAn = 33, kEn = 34, kAng = 35, kEng = 36, kEr = 37;

// A vowel with its tone mark: the plain letter ('v' for ü, 'E' for ê) and the tone.
struct Toned {
  char32_t cp;
  char plain;
  int tone;
};

constexpr std::array<Toned, 33> kToned{{
    {U'ā', 'a', 1}, {U'á', 'a', 2}, {U'ǎ', 'a', 3}, {U'à', 'a', 4},
    {U'ē', 'e', 1}, {U'é', 'e', 2}, {U'ě', 'e', 3}, {U'è', 'e', 4},
    {U'ī', 'i', 1}, {U'í', 'i', 2}, {U'ǐ', 'i', 3}, {U'ì', 'i', 4},
    {U'ō', 'o', 1}, {U'ó', 'o', 2}, {U'ǒ', 'o', 3}, {U'ò', 'o', 4},
    {U'ū', 'u', 1}, {U'ú', 'u', 2}, {U'ǔ', 'u', 3}, {U'ù', 'u', 4},
    {U'ǖ', 'v', 1}, {U'ǘ', 'v', 2}, {U'ǚ', 'v', 3}, {U'ǜ', 'v', 4}, {U'ü', 'v', 0},
    {U'ê', 'E', 0}, {U'ế', 'E', 2}, {U'ề', 'E', 4},
    {U'ḿ', 'm', 2}, {U'ń', 'n', 2}, {U'ň', 'n', 3}, {U'ǹ', 'n', 4}, {U'Ü', 'v', 0},
}};

// Combining marks that some readings use instead of a precomposed letter ("m̄", "ê̄").
int combining_tone(char32_t cp) {
  switch (cp) {
    case 0x0304: return 1;
    case 0x0301: return 2;
    case 0x030C: return 3;
    case 0x0300: return 4;
    default: return -1;
  }
}

constexpr std::array<std::pair<std::string_view, int>, 21> kInitials{{
    {"zh", 15}, {"ch", 16}, {"sh", 17}, {"b", 1},  {"p", 2},  {"m", 3},  {"f", 4},
    {"d", 5},   {"t", 6},   {"n", 7},   {"l", 8},  {"g", 9},  {"k", 10}, {"h", 11},
    {"j", 12},  {"q", 13},  {"x", 14},  {"r", 18}, {"z", 19}, {"c", 20}, {"s", 21},
}};

// What follows the medial, or the whole rhyme where there is no medial.
int final_symbol(std::string_view f, int medial) {
  if (f.empty()) return 0;
  if (f == "e") return medial == kI || medial == kYu ? kEh : kE;
  static constexpr std::array<std::pair<std::string_view, int>, 14> kFinals{{
      {"a", kA}, {"o", kO}, {"E", kEh}, {"ai", kAi}, {"ei", kEi}, {"ao", kAo}, {"ou", kOu},
      {"an", kAn}, {"en", kEn}, {"n", kEn}, {"ang", kAng}, {"eng", kEng}, {"ng", kEng},
      {"er", kEr},
  }};
  for (const auto& [text, symbol] : kFinals) {
    if (f == text) return symbol;
  }
  return -1;
}

// Spells the rhyme the way the zhuyin chart does: y and w become the medials, u after
// j q x is ü, and the contracted iu ui un ong iong are written out.
void spell_out(std::string& r, int initial) {
  if (initial == 0 && r.starts_with("y")) {
    r.replace(0, r.starts_with("yu") || r.starts_with("yi") ? 2 : 1, r.starts_with("yu") ? "v" : "i");
  } else if (initial == 0 && r.starts_with("w")) {
    r.replace(0, r.starts_with("wu") ? 2 : 1, "u");
  }
  if ((initial == 12 || initial == 13 || initial == 14) && r.starts_with("u")) r[0] = 'v';
  static constexpr std::pair<std::string_view, std::string_view> kContracted[] = {
      {"iu", "iou"}, {"ui", "uei"}, {"un", "uen"}, {"iong", "veng"}, {"ong", "ueng"}};
  for (const auto& [short_form, full] : kContracted) {
    if (r == short_form) r = full;
  }
}

}  // namespace

char32_t next_code_point(std::string_view text, std::size_t& i) {
  const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
  const std::uint8_t b0 = byte(i);
  const int length = b0 < 0x80 ? 1 : (b0 & 0xE0) == 0xC0 ? 2 : (b0 & 0xF0) == 0xE0 ? 3 : (b0 & 0xF8) == 0xF0 ? 4 : 0;
  if (length == 0 || i + length > text.size()) return 0;
  char32_t cp = length == 1 ? b0 : b0 & (0x7F >> length);
  for (int k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    cp = cp << 6 | (byte(i + k) & 0x3F);
  }
  i += length;
  return cp;
}

std::optional<PlainPinyin> plain_pinyin(std::string_view pinyin_utf8) {
  PlainPinyin out{"", 5};
  for (std::size_t i = 0; i < pinyin_utf8.size();) {
    const char32_t cp = next_code_point(pinyin_utf8, i);
    if (cp >= U'a' && cp <= U'z') {
      out.letters += static_cast<char>(cp);
    } else if (cp >= U'A' && cp <= U'Z') {
      out.letters += static_cast<char>(cp - U'A' + U'a');
    } else if (combining_tone(cp) > 0) {
      out.tone = combining_tone(cp);
    } else {
      const Toned* found = nullptr;
      for (const Toned& t : kToned) found = t.cp == cp ? &t : found;
      if (found == nullptr) return std::nullopt;
      out.letters += found->plain;
      if (found->tone > 0) out.tone = found->tone;
    }
  }
  if (out.letters.empty()) return std::nullopt;
  return out;
}

std::optional<Syllable> syllable_from_pinyin(std::string_view pinyin_utf8) {
  const auto plain = plain_pinyin(pinyin_utf8);
  if (!plain) return std::nullopt;
  std::string s = plain->letters;
  const int tone = plain->tone;
  // The syllabic nasals: m, n, ng, and hm, hng, kept under their first consonant.
  if (s == "m" || s == "hm") return Syllable{s == "m" ? 3 : 11, 0, 0, tone};
  if (s == "n" || s == "ng" || s == "hng") return Syllable{s == "hng" ? 11 : 7, 0, 0, tone};
  Syllable out{0, 0, 0, tone};
  for (const auto& [text, symbol] : kInitials) {
    if (s.starts_with(text)) {
      out.initial = symbol;
      s.erase(0, text.size());
      break;
    }
  }
  // zhi chi shi ri zi ci si: the i only voices the initial.
  const bool buzzing = out.initial >= 15 && out.initial <= 21;
  if (buzzing && s == "i") s.clear();
  std::string r = s;
  spell_out(r, out.initial);
  if (!r.empty() && (r[0] == 'i' || r[0] == 'u' || r[0] == 'v') && final_symbol(r, 0) < 0) {
    out.medial = r[0] == 'i' ? kI : r[0] == 'u' ? kU : kYu;
    r.erase(0, 1);
  }
  out.final_ = final_symbol(r, out.medial);
  if (out.final_ < 0 || (out.initial == 0 && out.medial == 0 && out.final_ == 0)) return std::nullopt;
  return out;
}

std::optional<Syllable> syllable_from_zhuyin(std::string_view zhuyin_utf8) {
  Syllable out;
  int last_place = 0;  // the parts must come in the order initial, medial, final
  for (std::size_t i = 0; i < zhuyin_utf8.size();) {
    const char32_t cp = next_code_point(zhuyin_utf8, i);
    int place = 0, symbol = 0, tone = 0;
    if (cp >= 0x3105 && cp <= 0x3119) place = 1, symbol = static_cast<int>(cp - 0x3104);
    else if (cp >= 0x3127 && cp <= 0x3129) place = 2, symbol = static_cast<int>(cp - 0x3127) + kI;
    else if (cp >= 0x311A && cp <= 0x3126) place = 3, symbol = static_cast<int>(cp - 0x311A) + kA;
    else if (cp == 0x02C9) tone = 1;
    else if (cp == 0x02CA) tone = 2;
    else if (cp == 0x02C7) tone = 3;
    else if (cp == 0x02CB) tone = 4;
    else if (cp == 0x02D9) tone = 5;
    else return std::nullopt;
    if (tone > 0) {
      if (out.tone != 0) return std::nullopt;
      out.tone = tone;
      continue;
    }
    if (place <= last_place) return std::nullopt;
    last_place = place;
    (place == 1 ? out.initial : place == 2 ? out.medial : out.final_) = symbol;
  }
  if (last_place == 0) return std::nullopt;
  if (out.tone == 0) out.tone = 1;
  return out;
}

std::string zhuyin_text(const Syllable& s) {
  const auto put = [](std::string& out, char32_t cp) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  };
  std::string out;
  if (s.initial) put(out, 0x3104 + s.initial);
  if (s.medial) put(out, 0x3127 + (s.medial - kI));
  if (s.final_) put(out, 0x311A + (s.final_ - kA));
  static constexpr const char* kMarks[] = {"", "", "ˊ", "ˇ", "ˋ", "˙"};
  out += kMarks[s.tone];
  return out;
}

}  // namespace make_tables
