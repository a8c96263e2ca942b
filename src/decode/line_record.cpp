#include "decode/line_record.h"

#include <algorithm>
#include <charconv>

namespace corvina {

namespace {

void append_number(long long value, std::string& out) {
  char digits[24];  // any 64-bit value with its sign
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out.append(digits, end);
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
  const auto count = [text](char c) { return static_cast<long long>(std::count(text.begin(), text.end(), c)); };
  const std::size_t percent = text.rfind('%');
  return {static_cast<long long>(text.size()), 1 + count('}') - count('{'),
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
