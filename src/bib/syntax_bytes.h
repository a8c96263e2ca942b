#pragma once
// The bytes of .bib syntax, and the scans over them that the entry reader spends its time
// in. For the reader only.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace corvina::bib::syntax {

// A set of bytes, looked up once a byte.
struct ByteSet {
  bool has[256] = {};
  constexpr bool operator()(char c) const { return has[static_cast<unsigned char>(c)]; }
};

constexpr ByteSet only(std::string_view bytes) {
  ByteSet set;
  for (const char c : bytes) set.has[static_cast<unsigned char>(c)] = true;
  return set;
}

inline constexpr std::string_view kBlankBytes = " \t\n\r\f\v";
inline constexpr ByteSet is_blank = only(kBlankBytes);

// bibtex ends a type, a field name or a macro name at a blank, a control byte or one of
// these; a byte above 0x7F is a letter to it.
inline constexpr ByteSet kEndsName = only("\"#%'(),={}@\x7F");
constexpr bool is_name_byte(char c) { return static_cast<unsigned char>(c) > 0x20 && !kEndsName(c); }

// The bytes that change nothing in a step but the entry's length, so that many are taken
// at once: every byte but `stops`. In Big5 a byte above 0x7F may lead a character and is
// never quiet.
constexpr ByteSet all_but(std::string_view stops, bool big5) {
  ByteSet set;
  for (int b = 0; b < 0x100; ++b) set.has[b] = !(big5 && b >= 0x80);
  for (const char c : stops) set.has[static_cast<unsigned char>(c)] = false;
  return set;
}

constexpr ByteSet names(bool big5) {
  ByteSet set;
  for (int b = 0; b < 0x100; ++b) set.has[b] = is_name_byte(static_cast<char>(b)) && !(big5 && b >= 0x80);
  return set;
}

// Indexed by ReaderOptions::big5.
inline constexpr ByteSet kQuietInNames[2] = {names(false), names(true)};
inline constexpr ByteSet kQuietInKey[2] = {all_but(", \t\n\r\f\v})", false), all_but(", \t\n\r\f\v})", true)};

// The first byte of bytes[from, end) that is one of `stops` (at most three) or, with
// `high`, above 0x7F: `end` if none is. Values are most of a database, so their bytes are
// tested eight at a time.
inline std::size_t find_stop(std::string_view bytes, std::size_t from, std::size_t end, std::string_view stops, bool high) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHighBits = 0x8080808080808080ull;
  const auto has_zero_byte = [](std::uint64_t word) { return (word - kOnes) & ~word & kHighBits; };
  std::uint64_t pattern[3];
  for (std::size_t k = 0; k < 3; ++k) pattern[k] = kOnes * static_cast<unsigned char>(stops[std::min(k, stops.size() - 1)]);
  std::size_t at = from;
  for (std::uint64_t word; at + 8 <= end; at += 8) {
    std::memcpy(&word, bytes.data() + at, 8);
    const std::uint64_t hit = has_zero_byte(word ^ pattern[0]) | has_zero_byte(word ^ pattern[1]) |
                              has_zero_byte(word ^ pattern[2]) | (high ? word & kHighBits : 0);
    if (hit != 0) break;
  }
  for (; at < end; ++at) {
    if (stops.find(bytes[at]) != std::string_view::npos || (high && static_cast<unsigned char>(bytes[at]) >= 0x80)) break;
  }
  return at;
}

// The number of line ends in `bytes`.
inline std::size_t count_lines(std::string_view bytes) {
  std::size_t lines = 0;
  for (const char *at = bytes.data(), *end = at + bytes.size();
       (at = static_cast<const char*>(std::memchr(at, '\n', end - at))) != nullptr; ++at) {
    ++lines;
  }
  return lines;
}

inline char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline void append_lower(std::string& to, std::string_view bytes) {
  for (const char c : bytes) to.push_back(lower(c));
}

}  // namespace corvina::bib::syntax
