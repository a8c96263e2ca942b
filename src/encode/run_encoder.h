#pragma once
// The streaming writer that both builds share. What counts as a character and how its
// token reads is the build's CharacterSet; the writer only knows runs and pieces.

#include <memory>
#include <string>
#include <string_view>

#include "core/encoder.h"
#include "encode/token.h"

namespace corvina {

class CharacterSet {
 public:
  virtual ~CharacterSet() = default;
  // The build's get_tokena: the token at the front of `bytes`. `in_run` says whether the
  // byte before it ended a character; `at_end` that no byte follows `bytes`.
  virtual Token get_tokena(std::string_view bytes, bool in_run, bool at_end) const = 0;
  // Appends the token of one character; `opens_run` asks for the group prefix first.
  virtual void write_character(std::string_view character, bool opens_run,
                               std::string& out) = 0;
  // Told of every byte that is copied as it is, before it is copied, and of the end of a
  // database: a character set that looks ahead writes what it holds back here.
  virtual void before_plain_byte(char, std::string&) {}
  // The same for a span of plain ASCII bytes copied at once.
  virtual void before_plain_bytes(std::string_view, std::string&) {}
  virtual void end_of_input(std::string&) {}
};

class RunEncoder final : public Encoder {
 public:
  explicit RunEncoder(std::unique_ptr<CharacterSet> characters);
  void encode(std::string_view input, std::string& out) override;
  void finish(std::string& out) override;

 private:
  // Writes the tokens at the front of `bytes`; returns how many bytes they took.
  std::size_t write_tokens(std::string_view bytes, bool at_end, std::string& out);

  std::unique_ptr<CharacterSet> characters_;
  // The start of a character cut off by the end of the last piece: fewer bytes than one
  // character, so memory stays constant however long a run goes on.
  std::string held_;
  bool in_run_ = false;
};

}  // namespace corvina
