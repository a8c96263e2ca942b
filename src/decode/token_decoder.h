#pragma once
// The line decoder that both builds share; the build's token layout is a TokenFormat.

#include <cstddef>
#include <string>
#include <string_view>

#include "decode/decoder.h"

namespace corvina {

struct TokenFormat {
  // Whether every character token repeats a group code between its "x" and its code.
  bool tokens_carry_group;
  // Length of the code field at the front of `text`, with its value in `code`; 0 when
  // `text` does not start with a code that stands for a character.
  std::size_t (*code_field)(std::string_view text, unsigned& code);
  // Appends the bytes of the character with `code`, as code_field read it.
  void (*put_character)(unsigned code, std::string& out);
  // Length of the fields that a token of the zhuyin order has between its group code and
  // its code, 0 when they are not there; null where the build has no such tokens.
  std::size_t (*reading_fields)(std::string_view text) = nullptr;
};

// Reads exactly `digits` decimal digits at the front of `text` into `value`; false when
// there are fewer.
bool read_digits(std::string_view text, std::size_t digits, unsigned& value);

// Decodes a group prefix only when a complete character token follows it; everything
// else, "xxx" in plain text or a label cut from a token included, is copied as it is.
class TokenDecoder final : public Decoder {
 public:
  TokenDecoder(const TokenFormat& format, bool add_mbox);
  void decode_line(std::string_view line, std::string& out, std::string* log) override;

 private:
  void decode_text(std::string_view text, std::string& out, std::string* log);
  // Decodes the run at the front of `text`; returns its length, 0 when there is none.
  std::size_t decode_run(std::string_view text, std::string& out, std::string* log);

  const TokenFormat& format_;
  const bool add_mbox_;
  // Set by each decoded character, cleared by the next plain character; it outlives the
  // line, so a "}" at the start of the next line still counts as following a character.
  bool after_character_ = false;
};

}  // namespace corvina
