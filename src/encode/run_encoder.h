#pragma once
// The streaming writer that both builds share. What counts as a character and how its
// token reads is the build's CharacterSet; the writer only knows runs and pieces.

#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "core/encoder.h"
#include "encode/token.h"

namespace corvina {

// A classic style abbreviates a given name ("f.") by the first letter of each word; only a
// word that opens with a special character ("{\'E}mile") gives the whole of that group.
// Written as tokens, every Chinese given name would be abbreviated to the "Z" of its run
// prefix. So the first character of each word of a given name goes in a special character
// of its own: kInitialOpening, its run opening and token, "}". The abbreviation is then
// that character's token, and the "\!" tells the decoder that the braces are ours, not the
// user's. Sort keys keep their bytes: purify$ drops the braces and the control symbol, and
// the name parser reads the case of the group's first letter, a capital, so the word is
// never taken for a "von" part.
class InitialGroups {
 public:
  // The next character written is the first of a given name's word.
  void next_is_initial() { requested_ = true; }
  // A byte that is no character comes next: the word, if any, did not begin with one.
  void plain_text() { requested_ = false; }
  // Whether the character now read, which opens a run or not, is an initial. Only the
  // first character of a run can be: a word never begins inside one.
  bool take(bool opens_run) { return std::exchange(requested_, false) && opens_run; }
  // Appends one character through `write_token`, which writes its opening (if any) and
  // token; `initial` as take() said of it.
  template <typename WriteToken>
  void write(bool initial, std::string& out, WriteToken&& write_token) {
    if (initial) out.append(kInitialOpening);
    write_token();
    if (initial) out.push_back('}');
  }

 private:
  bool requested_ = false;
};

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
  // Whether `bytes` begins with one of the build's characters, one that a run holds.
  virtual bool begins_character(std::string_view bytes) const = 0;
  // Told that the first character of a word of a given name comes next, when the back end
  // abbreviates given names itself (a classic style).
  void initial_starts_here() { initials_.next_is_initial(); }
  void before_plain_text() { initials_.plain_text(); }

 protected:
  InitialGroups initials_;
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
        this->initials_.plain_text();
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

  bool begins_character(std::string_view bytes) const final {
    return static_cast<const Set&>(*this).get_tokena(bytes, false, true).kind == TokenKind::kCharacter;
  }
};

class RunEncoder final : public Encoder {
 public:
  explicit RunEncoder(std::unique_ptr<CharacterSet> characters);
  void encode(std::string_view input, std::string& out) override;
  void finish(std::string& out) override;
  // A name of a name list begins at the next byte encoded.
  void name_starts_here() { characters_->name_starts_here(); }
  bool begins_character(std::string_view bytes) const { return characters_->begins_character(bytes); }
  // The next byte encoded begins a word of a given name.
  void initial_starts_here() { characters_->initial_starts_here(); }

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
