#include "encode/tables/reading_tables.h"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace corvina::tables {
namespace {

struct Syllable {
  unsigned char initial, medial, final_, tone;
};
struct Segment {
  char32_t first, last;
  unsigned start;
};
struct Surname {
  char32_t first, second;  // second 0: a one-character surname
  unsigned short reading1, reading2;
};
struct PinyinSyllable {
  std::string_view letters;
  unsigned char tone;
};

#include "encode/tables/pinyin.inc"
#include "encode/tables/readings.inc"

int digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return c - 'a' + 36;
}

// The `width` digits of `code_point` in a table of segments, or null where it has none.
template <std::size_t N>
const char* entry(const Segment (&segments)[N], const char* entries, unsigned width, char32_t code_point) {
  const auto segment = std::upper_bound(std::begin(segments), std::end(segments), code_point,
                                        [](char32_t cp, const Segment& s) { return cp < s.first; });
  if (segment == std::begin(segments)) return nullptr;
  const Segment& s = *std::prev(segment);
  if (code_point > s.last) return nullptr;
  return entries + width * (s.start + (code_point - s.first));
}

unsigned two_digits(const char* at) { return static_cast<unsigned>(digit(at[0]) * 62 + digit(at[1])); }

template <std::size_t N>
const Surname* find_surname(const Surname (&surnames)[N], char32_t first, char32_t second) {
  for (const Surname& s : surnames) {
    if (s.first == first && s.second == second) return &s;
  }
  return nullptr;
}

template <std::size_t N>
bool begins_compound(const Surname (&surnames)[N], char32_t first) {
  return std::any_of(std::begin(surnames), std::end(surnames),
                     [&](const Surname& s) { return s.first == first && s.second != 0; });
}

Pinyin pinyin_of(unsigned index) { return {kPinyinSyllables[index].letters, kPinyinSyllables[index].tone}; }

// Stroke counts above 61 go on in punctuation, as in strokes.inc.
int stroke_digit(char c) {
  constexpr std::string_view kAbove61 = "!#$%&()*+,./:;<=>?@[]^_{|}~";
  const bool alphanumeric = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  return alphanumeric ? digit(c) : 62 + static_cast<int>(kAbove61.find(c));
}

Reading of(unsigned index) {
  const Syllable& s = kSyllables[index];
  return {s.initial, s.medial, s.final_, s.tone};
}

}  // namespace

Reading reading(char32_t code_point) {
  const char* at = entry(kSegments, kEntries, 2, code_point);
  return at == nullptr ? Reading{} : of(two_digits(at));
}

std::optional<Reading> surname_reading(char32_t code_point) {
  const Surname* s = find_surname(kSurnames, code_point, 0);
  return s == nullptr ? std::nullopt : std::optional(of(s->reading1));
}

bool begins_compound_surname(char32_t code_point) { return begins_compound(kSurnames, code_point); }

std::optional<CompoundReading> compound_surname(char32_t first, char32_t second) {
  const Surname* s = find_surname(kSurnames, first, second);
  return s == nullptr ? std::nullopt : std::optional(CompoundReading{of(s->reading1), of(s->reading2)});
}

PinyinEntry pinyin(char32_t code_point) {
  const char* at = entry(kPinyinSegments, kPinyinEntries, 3, code_point);
  return at == nullptr ? PinyinEntry{} : PinyinEntry{pinyin_of(two_digits(at)), stroke_digit(at[2])};
}

std::optional<Pinyin> pinyin_surname_reading(char32_t code_point) {
  const Surname* s = find_surname(kPinyinSurnames, code_point, 0);
  return s == nullptr ? std::nullopt : std::optional(pinyin_of(s->reading1));
}

bool begins_pinyin_compound_surname(char32_t code_point) { return begins_compound(kPinyinSurnames, code_point); }

std::optional<PinyinCompound> pinyin_compound_surname(char32_t first, char32_t second) {
  const Surname* s = find_surname(kPinyinSurnames, first, second);
  return s == nullptr ? std::nullopt
                      : std::optional(PinyinCompound{pinyin_of(s->reading1), pinyin_of(s->reading2)});
}

}  // namespace corvina::tables
