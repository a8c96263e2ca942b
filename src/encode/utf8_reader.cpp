#include "encode/utf8_reader.h"

namespace corvina::utf8 {

namespace {

bool is_continuation(char byte) {
  return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

bool is_three_byte_lead(char byte) {
  return (static_cast<unsigned char>(byte) & 0xF0) == 0xE0;
}

}  // namespace

Token get_tokena(std::string_view bytes, bool at_end) {
  if (bytes.empty()) return {TokenKind::kEnd, 0};
  if (!is_three_byte_lead(bytes[0])) return {TokenKind::kPlainByte, 1};
  std::size_t i = 1;
  while (i < 3 && i < bytes.size() && is_continuation(bytes[i])) ++i;
  if (i == 3) return {TokenKind::kCharacter, 3};
  if (i == bytes.size() && !at_end) return {TokenKind::kEnd, 0};
  return {TokenKind::kPlainByte, 1};
}

}  // namespace corvina::utf8
