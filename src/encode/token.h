#pragma once
// What the encoders' byte readers hand to the streaming writer, and the one piece of
// token text that both builds write the same way.

#include <cstddef>
#include <string>
#include <string_view>

#include "encode/encoder.h"

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

// The text that opens every run, whatever its group. It begins with a capital or a digit:
// name parsers take a word that begins with a lower-case letter for a name prefix ("von"),
// and the first letter decides where the block falls, under byte order, case-folding
// collation and lower-casing alike ("Zzz" after every letter, "0Zz" before them).
std::string_view run_prefix(ChineseBlock block);

// Appends `code` (0..99999) as exactly five decimal digits. The decoder relies on the
// fixed width: it is what lets a digit that follows a run stay plain text.
void append_code(std::string& out, unsigned code);

}  // namespace corvina
