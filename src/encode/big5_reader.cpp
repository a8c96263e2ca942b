#include "encode/big5_reader.h"

namespace corvina::big5 {

namespace {

bool is_lead(unsigned char byte, bool in_run) {
  return byte >= (in_run ? 0xA0 : 0xA1) && byte <= 0xFE;
}

}  // namespace

Token get_tokena(std::string_view bytes, bool in_run, bool at_end) {
  if (bytes.empty()) return {TokenKind::kEnd, 0};
  if (!is_lead(static_cast<unsigned char>(bytes[0]), in_run)) {
    return {TokenKind::kPlainByte, 1};
  }
  if (bytes.size() >= 2) return {TokenKind::kCharacter, 2};
  return at_end ? Token{TokenKind::kPlainByte, 1} : Token{TokenKind::kEnd, 0};
}

}  // namespace corvina::big5
