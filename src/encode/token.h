#pragma once
// What the encoders' byte readers hand to the streaming writer, and the pieces of token
// text that both builds write the same way.

#include <cstddef>
#include <string>
#include <string_view>

#include "core/encoder.h"

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

// What a run opens with: the run prefix, then `ideograph` when runs are marked.
std::string run_opening(ChineseBlock block, RunMark mark, std::string_view ideograph);

// Appends `code` (0..99999) as exactly five decimal digits. The decoder relies on the
// fixed width: it is what lets a digit that follows a run stay plain text.
void append_code(std::string& out, unsigned code);

// Appends "x" and `code` as five digits: a character token of the Big5 build.
void append_x_code(std::string& out, unsigned code);

// Appends a character token of the UTF-8 build in stroke order: "x", the group code of
// `group`, the code point.
void append_character_token(std::string& out, int group, char32_t code_point);

// Appends a code point: five digits up to 0xFFFF, "Y" and six digits for a four-byte
// ideograph. "Y" sorts after every digit, folded or not, so code-point order holds within
// a group.
void append_code_point(std::string& out, char32_t code_point);

// Appends the group code of a stroke count or zhuyin value: "0" for none (below 1), "A".."Z"
// for 1..26; from 27 on "Z", then k times "z" and a letter "a".."y", with k = 1 + (v-27)/25
// (27..51 "Zza".."Zzy", 52..76 "Zzza".."Zzzy", ...). A larger value always gets a code that
// sorts after, under byte order, biber's case-insensitive comparison and bibtex's
// lower-casing alike, as long as what follows a code folds below "z": a token's "x", a
// digit, "Y", or a zhuyin letter A..Q. Plain lower-case letters would not do: "a" ties "A".
void append_group_code(std::string& out, int value);

}  // namespace corvina
