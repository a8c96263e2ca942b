#pragma once

#include <string_view>

#include "encode/token.h"

namespace corvina::big5 {

// The token at the front of `bytes`: a Big5 character is a lead byte and the byte after
// it, whatever that byte is. A run opens only on a lead byte A1..FE; once open, A0 leads
// too. A lead byte with nothing after it waits for more input, or at the end of the
// input is a plain byte. Inline: the encoder asks it for every character.
inline Token get_tokena(std::string_view bytes, bool in_run, bool at_end) {
  if (bytes.empty()) return {TokenKind::kEnd, 0};
  const auto lead = static_cast<unsigned char>(bytes[0]);
  if (lead < (in_run ? 0xA0 : 0xA1) || lead > 0xFE) return {TokenKind::kPlainByte, 1};
  if (bytes.size() >= 2) return {TokenKind::kCharacter, 2};
  return at_end ? Token{TokenKind::kPlainByte, 1} : Token{TokenKind::kEnd, 0};
}

}  // namespace corvina::big5
