#pragma once
// The line decoder that both builds share; the build's token layout is a TokenFormat.

#include <cstddef>
#include <string>
#include <string_view>

#include "core/decoder.h"
#include "decode/name_initials.h"

namespace corvina {

struct TokenFormat {
  // Whether every character token repeats a group code between its "x" and its code.
  bool tokens_carry_group;
  // Without such a group: the group value of the character with `code` (below 1: none),
  // which a run that begins with it carries in its prefix.
  int (*group_of)(unsigned code);
  // Length of the code field at the front of `text`, with its value in `code`; 0 when
  // `text` does not start with a code that stands for a character.
  std::size_t (*code_field)(std::string_view text, unsigned& code);
  // Appends the bytes of the character with `code`, as code_field read it.
  void (*put_character)(unsigned code, std::string& out);
  // Length of the fields that a token of the zhuyin or pinyin order has between its group
  // code and its code, 0 when they are not there; null where the build has no such tokens.
  std::size_t (*reading_fields)(std::string_view text) = nullptr;
  // The ideograph that a run written for a classic .bst style carries after its prefix
  // (RunMark); a run may or may not carry it, and it is dropped with the prefix.
  std::string_view run_mark{};
};

// Reads exactly `digits` decimal digits at the front of `text` into `value`; false when
// there are fewer. Inline: every character token reads its code through it, and a known
// count of digits unrolls.
inline bool read_digits(std::string_view text, std::size_t digits, unsigned& value) {
  if (text.size() < digits) return false;
  unsigned sum = 0;
  for (std::size_t i = 0; i < digits; ++i) {
    const unsigned digit = static_cast<unsigned char>(text[i]) - unsigned{'0'};
    if (digit > 9) return false;
    sum = sum * 10 + digit;
  }
  value = sum;
  return true;
}

// Whether `text` holds a run prefix anywhere ("Zzz" or "0Zz", in any case).
bool has_run_prefix(std::string_view text);

// Decodes a run prefix and group code only when a complete character token follows them;
// everything else, "Zzz" in plain text or a label cut from a token included, is copied as
// it is. Initials that the back end took from a token get the character back.
class TokenDecoder final : public Decoder {
 public:
  TokenDecoder(const TokenFormat& format, bool add_mbox);
  TokenDecoder(const TokenDecoder&) = delete;  // first_character_ points to this object
  TokenDecoder& operator=(const TokenDecoder&) = delete;
  void decode_line(std::string_view line, std::string& out, std::string* log) override;
  bool begin_pieces(std::string_view head) override;
  std::size_t decode_piece(std::string_view text, bool line_has_run, bool last, std::string& out,
                           std::string* log) override;

 private:
  // Decodes the bytes of `text` that start before `limit`, and returns where it stopped:
  // at or after `limit`, or before it at a token that is still cut off.
  std::size_t decode_text(std::string_view text, std::size_t limit, std::string& out,
                          std::string* log);
  // Decodes the run that opens at text[at]; returns where the decoding stopped, `at` when
  // no run opens there.
  std::size_t decode_run(std::string_view text, std::size_t at, std::size_t limit,
                         std::string& out, std::string* log);
  // Decodes the group of a given name's initial that opens at text[at], and the run that
  // goes on after it; returns where the decoding stopped, `at` when no such group opens there.
  std::size_t decode_initial(std::string_view text, std::size_t at, std::size_t limit, std::string& out,
                             std::string* log);
  // Decodes the character tokens from text[at] on while they start before `limit`.
  std::size_t continue_run(std::string_view text, std::size_t at, std::size_t limit,
                           std::string& out, std::string* log);
  // Turns the first "\bibnamedelimb" from `start` on into "\bibnamedelima".
  static void use_shorter_delimiter(std::string& text, std::size_t start);
  // The decoded first character of the run at the front of `text`; empty when none.
  std::string first_character(std::string_view text) const;

  const TokenFormat& format_;
  const bool add_mbox_;
  // Set by each decoded character, cleared by the next plain character; it outlives the
  // line, so a "}" at the start of the next line still counts as following a character.
  bool after_character_ = false;
  // A run that goes on in the next piece of a line cut into pieces.
  bool in_run_ = false;
  std::string characters_;  // a run's decoded characters, of one piece at most
  NameInitials initials_;
  const NameInitials::FirstCharacter first_character_;
};

}  // namespace corvina
