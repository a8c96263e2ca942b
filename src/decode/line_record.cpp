#include "decode/line_record.h"

#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) && defined(__x86_64__)
#include <emmintrin.h>
#endif

namespace corvina {

namespace {

// Writes `value` in decimal at `at`; returns the end. Room for any 64-bit value is the
// caller's.
char* put_number(long long value, char* at) {
  // Most records hold numbers of a digit or two, and -1 for a line without a "%".
  if (value >= 0 && value < 10) {
    *at = static_cast<char>('0' + value);
    return at + 1;
  }
  if (value >= 10 && value < 100) {
    at[0] = static_cast<char>('0' + value / 10);
    at[1] = static_cast<char>('0' + value % 10);
    return at + 2;
  }
  if (value == -1) {
    std::memcpy(at, "-1", 2);
    return at + 2;
  }
  return std::to_chars(at, at + 20, value).ptr;
}

constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;

// The high bit of each byte of `word` that equals `byte`, exactly: no false matches.
std::uint64_t bytes_equal(std::uint64_t word, char byte) {
  const std::uint64_t x = word ^ (0x0101010101010101ull * static_cast<unsigned char>(byte));
  return ~(((x & kLow7) + kLow7) | x | kLow7);
}

// How many bytes a mask of bytes_equal marks.
long long marked(std::uint64_t mask) {
  return static_cast<long long>(((mask >> 7) * 0x0101010101010101ull) >> 56);
}

// Adds the braces and the last "%" of the eight bytes of `word`, the first of which is
// text[at], to `record`. NUL bytes count as neither.
void add_word(std::uint64_t word, std::size_t at, LineRecord& record) {
  record.balance += marked(bytes_equal(word, '}')) - marked(bytes_equal(word, '{'));
  if (const std::uint64_t percent = bytes_equal(word, '%')) {
    record.last_percent = static_cast<long long>(at + (63 - std::countl_zero(percent)) / 8);
  }
}

void add_byte(char c, std::size_t at, LineRecord& record) {
  record.balance += (c == '}') - (c == '{');
  if (c == '%') record.last_percent = static_cast<long long>(at);
}

bool has_z_pair(std::string_view text) {
  for (std::size_t i = 1; i < text.size(); ++i) {
    if ((text[i - 1] | 0x20) == 'z' && (text[i] | 0x20) == 'z') return true;
  }
  return false;
}

#if defined(__SSE2__) && defined(__x86_64__)
// Counts the braces and finds the last "%" of a line of at least 16 bytes, sixteen bytes at
// a time; the last bytes are read as the last sixteen, of which those already counted are
// masked out. Braces are counted in byte lanes, emptied before they could overflow.
// Returns whether two "z" stand side by side.
bool add_blocks(std::string_view text, LineRecord& record) {
  static constexpr char kKeep[32] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                     -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
  const __m128i open = _mm_set1_epi8('{'), close = _mm_set1_epi8('}'), percent = _mm_set1_epi8('%');
  const __m128i z = _mm_set1_epi8('z'), case_bit = _mm_set1_epi8(0x20), zero = _mm_setzero_si128();
  __m128i opens = zero, closes = zero;
  unsigned z_before = 0;  // the byte before the block is a "z"
  bool z_pair = false;
  // `seen`: how many of the block's bytes were read with the block before.
  const auto add = [&](std::size_t at, __m128i keep, int seen) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
    opens = _mm_sub_epi8(opens, _mm_and_si128(_mm_cmpeq_epi8(block, open), keep));
    closes = _mm_sub_epi8(closes, _mm_and_si128(_mm_cmpeq_epi8(block, close), keep));
    if (const int found = _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(block, percent), keep))) {
      record.last_percent = static_cast<long long>(at) + 31 - std::countl_zero(static_cast<unsigned>(found));
    }
    const unsigned zs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(block, case_bit), z))) >> seen;
    z_pair = z_pair || (zs & (zs >> 1)) != 0 || (z_before & zs) != 0;
    z_before = zs >> (15 - seen);
  };
  const auto empty_lanes = [&] {
    const __m128i sums = _mm_sub_epi64(_mm_sad_epu8(closes, zero), _mm_sad_epu8(opens, zero));
    record.balance += _mm_cvtsi128_si64(sums) + _mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums));
    opens = closes = zero;
  };
  const __m128i all = _mm_set1_epi8(-1);
  std::size_t i = 0;
  for (int lane_room = 255; i + 16 <= text.size(); i += 16) {
    add(i, all, 0);
    if (--lane_room == 0) {
      empty_lanes();
      lane_room = 255;
    }
  }
  if (const std::size_t rest = text.size() - i) {
    add(text.size() - 16, _mm_loadu_si128(reinterpret_cast<const __m128i*>(kKeep + rest)), static_cast<int>(16 - rest));
  }
  empty_lanes();
  return z_pair;
}
#endif

}  // namespace

LineParts split_line_end(std::string_view line) {
  std::size_t cut = line.size();
  if (cut > 0 && line[cut - 1] == '\n') {
    --cut;
    if (cut > 0 && line[cut - 1] == '\r') --cut;
  }
  return {line.substr(0, cut), line.substr(cut)};
}

LineRecord line_record(std::string_view text, bool* z_pair) {
  LineRecord record{static_cast<long long>(text.size()), 1, -1};
#if defined(__SSE2__) && defined(__x86_64__)
  if (text.size() >= 16) {
    const bool pair = add_blocks(text, record);
    if (z_pair) *z_pair = pair;
    return record;
  }
#endif
  if (z_pair) *z_pair = has_z_pair(text);
  std::size_t i = 0;
  // Eight bytes at a time, in the byte order where the first byte is the lowest; the last
  // bytes are read as the last eight, shifted so that those already counted drop out.
  if constexpr (std::endian::native == std::endian::little) {
    std::uint64_t word;
    for (; i + 8 <= text.size(); i += 8) {
      std::memcpy(&word, text.data() + i, 8);
      add_word(word, i, record);
    }
    if (i < text.size() && text.size() >= 8) {
      std::memcpy(&word, text.data() + text.size() - 8, 8);
      add_word(word >> (8 * (i + 8 - text.size())), i, record);
      i = text.size();
    }
  }
  for (; i < text.size(); ++i) add_byte(text[i], i, record);
  return record;
}

void LineRecord::add(const LineRecord& more) {
  if (more.last_percent >= 0) last_percent = length + more.last_percent;
  length += more.length;
  balance += more.balance - 1;
}

void append_record(const LineRecord& record, std::string& log) {
  // Three numbers of at most 20 characters each, their blanks and " 0 $".
  char text[3 * 20 + 6];
  char* end = put_number(record.length, text);
  // Most lines balance their braces and hold no "%".
  if (record.balance == 1 && record.last_percent == -1) {
    std::memcpy(end, " 1 -1 0 $", 9);
    end += 9;
  } else {
    *end++ = ' ';
    end = put_number(record.balance, end);
    *end++ = ' ';
    end = put_number(record.last_percent, end);
    std::memcpy(end, " 0 $", 4);
    end += 4;
  }
  log.append(text, static_cast<std::size_t>(end - text));
}

}  // namespace corvina
