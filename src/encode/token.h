#pragma once
// What the encoders' byte readers hand to the streaming writer, and the one piece of
// token text that both builds write the same way.

#include <cstddef>
#include <string>

namespace corvina {

enum class TokenKind {
  // Nothing can be taken yet: the bytes are empty, or, before the end of the input, they
  // are the start of a character whose remaining bytes have not arrived.
  kEnd,
  kPlainByte,
  kCharacter,
};

struct Token {
  TokenKind kind;
  std::size_t size;  // bytes the token takes from the front of the input
};

// Appends `code` (0..99999) as exactly five decimal digits. The decoder relies on the
// fixed width: it is what lets a digit that follows a run stay plain text.
void append_code(std::string& out, unsigned code);

}  // namespace corvina
