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
  // Writes the tokens at the front of `bytes` up to the next ASCII byte that begins one:
  // the build's characters, and the bytes that begin none, copied as they are. `in_run`
  // says whether the byte before `bytes` ended a character, and is left saying it of the
  // last byte taken; `at_end` that no byte follows `bytes`. Stops before a character cut
  // off by the end of `bytes` unless `at_end`. Returns how many bytes it took.
  virtual std::size_t write_stretch(std::string_view bytes, bool& in_run, bool at_end, std::string& out) = 0;
  // Told of a span of plain ASCII bytes before it is copied, and of the end of a database:
  // a character set that looks ahead writes what it holds back here.
  virtual void before_plain_bytes(std::string_view, std::string&) {}
  virtual void end_of_input(std::string&) {}
  // Told that a name of a name list (author, editor, ...) begins at the next byte: the
  // next character is the name's first unless a byte other than a blank comes before it.
  // Only the orders that read surnames their own way listen.
  virtual void name_starts_here() {}
};

// The stretch of a character set `Set`, called without a virtual call per character. `Set`
// has the members
//   Token get_tokena(std::string_view bytes, bool in_run, bool at_end) const;
//     the token at the front of `bytes`, which begins with a byte above 0x7F;
//   void write_character(std::string_view character, bool opens_run, std::string& out);
//     appends the token of one character, the group prefix first when `opens_run`;
// and may hide before_plain_byte, told of each byte copied as it is before it is copied.
template <typename Set>
class CharacterLoop : public CharacterSet {
 public:
  std::size_t write_stretch(std::string_view bytes, bool& in_run, bool at_end, std::string& out) final {
    Set& set = static_cast<Set&>(*this);
    std::size_t pos = 0;
    while (pos < bytes.size() && static_cast<unsigned char>(bytes[pos]) >= 0x80) {
      const Token token = set.get_tokena(bytes.substr(pos), in_run, at_end);
      if (token.kind == TokenKind::kEnd) break;
      if (token.kind == TokenKind::kPlainByte) {
        set.before_plain_byte(bytes[pos], out);
        out.push_back(bytes[pos]);
        in_run = false;
      } else {
        set.write_character(bytes.substr(pos, token.size), !in_run, out);
        in_run = true;
      }
      pos += token.size;
    }
    return pos;
  }

  void before_plain_byte(char, std::string&) {}
};

class RunEncoder final : public Encoder {
 public:
  explicit RunEncoder(std::unique_ptr<CharacterSet> characters);
  void encode(std::string_view input, std::string& out) override;
  void finish(std::string& out) override;
  // A name of a name list begins at the next byte encoded.
  void name_starts_here() { characters_->name_starts_here(); }

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
