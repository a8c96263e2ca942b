#include "decode/token_decoder.h"

#include "decode/group_code.h"
#include "decode/line_record.h"

namespace corvina {

namespace {

bool is_x(char c) { return c == 'x' || c == 'X'; }

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool has_xxx(std::string_view text) {
  int in_a_row = 0;
  for (char c : text) {
    in_a_row = is_x(c) ? in_a_row + 1 : 0;
    if (in_a_row == 3) return true;
  }
  return false;
}

std::size_t prefix_size(std::string_view text) {
  if (text.size() < 3 || !is_x(text[0]) || !is_x(text[1]) || !is_x(text[2])) return 0;
  const std::size_t group = group_code_size(text.substr(3));
  return group == 0 ? 0 : 3 + group;
}

struct CharacterToken {
  std::size_t size = 0;  // 0: not a complete token
  unsigned code = 0;
};

CharacterToken character_token(std::string_view text, const TokenFormat& format) {
  if (text.empty() || !is_x(text[0])) return {};
  std::size_t pos = 1;
  if (format.tokens_carry_group) {
    const std::size_t group = group_code_size(text.substr(pos));
    if (group == 0) return {};
    pos += group;
  }
  // A zhuyin-order token has its reading here; where it has not, the code follows.
  if (format.reading_fields) pos += format.reading_fields(text.substr(pos));
  unsigned code = 0;
  const std::size_t field = format.code_field(text.substr(pos), code);
  return field == 0 ? CharacterToken{} : CharacterToken{pos + field, code};
}

}  // namespace

bool read_digits(std::string_view text, std::size_t digits, unsigned& value) {
  if (text.size() < digits) return false;
  value = 0;
  for (char c : text.substr(0, digits)) {
    if (!is_digit(c)) return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return true;
}

TokenDecoder::TokenDecoder(const TokenFormat& format, bool add_mbox)
    : format_(format), add_mbox_(add_mbox) {}

void TokenDecoder::decode_line(std::string_view line, std::string& out, std::string* log) {
  if (log) append_line_record(line, *log);
  const LineParts parts = split_line_end(line);
  // A line without "xxx" is copied whole and, unlike a scanned line, leaves the
  // after-character flag as it was.
  if (has_xxx(parts.text)) {
    decode_text(parts.text, out, log);
  } else {
    out.append(parts.text);
    if (log) log->append(parts.text);
  }
  out.append(parts.end);
  if (log) log->append(parts.end);
}

void TokenDecoder::decode_text(std::string_view text, std::string& out, std::string* log) {
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (is_x(c)) {
      const std::size_t run = decode_run(text.substr(i), out, log);
      if (run > 0) {
        i += run;
        continue;
      }
      out.push_back(c);
      if (log) *log += std::string{c, '$'};
    } else {
      if (c == '}' && after_character_ && add_mbox_) out.append("\\mbox{}");
      after_character_ = false;
      out.push_back(c);
      if (log) log->push_back(c);
    }
    ++i;
  }
}

std::size_t TokenDecoder::decode_run(std::string_view text, std::string& out,
                                     std::string* log) {
  const std::size_t prefix = prefix_size(text);
  if (prefix == 0 || character_token(text.substr(prefix), format_).size == 0) return 0;
  std::size_t pos = prefix;
  for (;;) {
    const CharacterToken token = character_token(text.substr(pos), format_);
    if (token.size == 0) return pos;
    const std::size_t before = out.size();
    format_.put_character(token.code, out);
    if (log) log->append(out, before);
    after_character_ = true;
    pos += token.size;
  }
}

}  // namespace corvina
