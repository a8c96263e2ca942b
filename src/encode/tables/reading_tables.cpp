#include "encode/tables/reading_tables.h"

#include <algorithm>
#include <iterator>

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

#include "encode/tables/readings.inc"

int digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return c - 'a' + 36;
}

Reading of(unsigned index) {
  const Syllable& s = kSyllables[index];
  return {s.initial, s.medial, s.final_, s.tone};
}

}  // namespace

Reading reading(char32_t code_point) {
  const auto segment = std::upper_bound(std::begin(kSegments), std::end(kSegments), code_point,
                                        [](char32_t cp, const Segment& s) { return cp < s.first; });
  if (segment == std::begin(kSegments)) return {};
  const Segment& s = *std::prev(segment);
  if (code_point > s.last) return {};
  const unsigned at = 2 * (s.start + (code_point - s.first));
  return of(static_cast<unsigned>(digit(kEntries[at]) * 62 + digit(kEntries[at + 1])));
}

std::optional<Reading> surname_reading(char32_t code_point) {
  for (const Surname& s : kSurnames) {
    if (s.first == code_point && s.second == 0) return of(s.reading1);
  }
  return std::nullopt;
}

bool begins_compound_surname(char32_t code_point) {
  return std::any_of(std::begin(kSurnames), std::end(kSurnames),
                     [&](const Surname& s) { return s.first == code_point && s.second != 0; });
}

std::optional<CompoundReading> compound_surname(char32_t first, char32_t second) {
  for (const Surname& s : kSurnames) {
    if (s.first == first && s.second == second) return CompoundReading{of(s.reading1), of(s.reading2)};
  }
  return std::nullopt;
}

}  // namespace corvina::tables
