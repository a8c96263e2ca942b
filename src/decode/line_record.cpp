#include "decode/line_record.h"

#include <charconv>
#include <cstdint>
#include <cstring>

namespace corvina {

namespace {

void append_number(long long value, std::string& out) {
  // Most records hold numbers of a digit or two.
  if (value >= 0 && value < 10) return out.push_back(static_cast<char>('0' + value));
  char digits[24];  // any 64-bit value with its sign
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out.append(digits, end);
}

// The high bit of each byte of `word` that equals `byte`.
std::uint64_t bytes_equal(std::uint64_t word, char byte) {
  constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
  const std::uint64_t x = word ^ (0x0101010101010101ull * static_cast<unsigned char>(byte));
  return ~(((x & kLow7) + kLow7) | x | kLow7);
}

// "}" count less "{" count, eight bytes at a time: most words of a .bbl hold neither.
long long brace_balance(std::string_view text) {
  long long balance = 0;
  std::size_t i = 0;
  for (std::uint64_t word; i + 8 <= text.size(); i += 8) {
    std::memcpy(&word, text.data() + i, 8);
    const std::uint64_t open = bytes_equal(word, '{'), close = bytes_equal(word, '}');
    if ((open | close) == 0) continue;
    for (std::size_t j = i; j < i + 8; ++j) balance += (text[j] == '}') - (text[j] == '{');
  }
  for (; i < text.size(); ++i) balance += (text[i] == '}') - (text[i] == '{');
  return balance;
}

}  // namespace

LineParts split_line_end(std::string_view line) {
  std::size_t cut = line.size();
  if (cut > 0 && line[cut - 1] == '\n') {
    --cut;
    if (cut > 0 && line[cut - 1] == '\r') --cut;
  }
  return {line.substr(0, cut), line.substr(cut)};
}

LineRecord line_record(std::string_view text) {
  // Most lines of a .bbl are short: one pass without calls.
  if (text.size() <= 64) {
    LineRecord record{static_cast<long long>(text.size()), 1, -1};
    for (std::size_t i = 0; i < text.size(); ++i) {
      const char c = text[i];
      record.balance += (c == '}') - (c == '{');
      if (c == '%') record.last_percent = static_cast<long long>(i);
    }
    return record;
  }
  const size_t percent = text.rfind('%');
  return {static_cast<long long>(text.size()), 1 + brace_balance(text),
          percent == std::string_view::npos ? -1 : static_cast<long long>(percent)};
}

void LineRecord::add(const LineRecord& more) {
  if (more.last_percent >= 0) last_percent = length + more.last_percent;
  length += more.length;
  balance += more.balance - 1;
}

void append_record(const LineRecord& record, std::string& log) {
  append_number(record.length, log);
  log.push_back(' ');
  append_number(record.balance, log);
  log.push_back(' ');
  append_number(record.last_percent, log);
  log.append(" 0 $");
}

void append_line_record(std::string_view line, std::string& log) {
  append_record(line_record(split_line_end(line).text), log);
  log.append(line);
}

}  // namespace corvina
