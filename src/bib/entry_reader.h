#pragma once
// The .bib entry reader: follows a database in pieces of any size and hands out, in order,
// the text between entries and each entry whole, with its type, key and fields and where
// each of them stands in the entry's bytes. The encoder (sort fields, name fields), the
// pruning of uncited entries and --explain read databases through it.
//
// Contracts that its users rely on:
// - Every byte of the input reaches the handler exactly once and in order, through text()
//   or as part of an Entry's text: a writer that copies what it does not change gives the
//   database back byte for byte.
// - Memory holds one entry at most (and a few bytes of the text between entries), whatever
//   the size of the database.
// - Malformed input (an entry that does not close, a field that does not parse) is never
//   dropped: the handler is told through malformed(), with the line where the entry began
//   and the reason, and the entry's bytes then go to text() unchanged, in one call. Where
//   a field does not parse, they are the bytes before the one that does not fit, and
//   reading goes on from that byte as text between entries (so an "@" there opens the
//   next entry, as bibtex reads it). A @comment whose braces never balance gives only its
//   "@comment" as its bytes: reading starts again at its brace, as bibtex reads a comment,
//   so that it does not swallow the entries after it.
// - An entry that has not closed after ReaderOptions::longest_entry bytes is taken for one
//   that never closes: memory stays bounded on a database whose one brace is missing.
// The syntax read is the one bibtex and biber share: "@type{key, name = value, ...}" or
// "@type(key, ...)"; a value is "{...}" with nested braces, "\"...\"" (braces nest inside,
// a quote inside braces does not end it), a number or a macro name, or several of these
// joined by "#"; @string, @preamble and @comment; text outside entries is anything,
// "%" lines included (bibtex has no comment character; neither do we).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corvina::bib {

enum class EntryKind { kRegular, kString, kPreamble, kComment };

// One piece of a value: "{...}", "\"...\"", a number, or a macro name.
enum class PieceKind { kBraced, kQuoted, kNumber, kMacro };

struct ValuePiece {
  PieceKind kind;
  std::size_t begin = 0, end = 0;  // in Entry::text, delimiters included
};

struct Field {
  std::string name;  // lower-cased; for @preamble empty
  std::size_t name_begin = 0;
  // From the first piece's first byte to the last piece's last byte.
  std::size_t value_begin = 0, value_end = 0;
  std::vector<ValuePiece> pieces;
};

struct Entry {
  EntryKind kind = EntryKind::kRegular;
  std::string_view text;     // from the "@" to the closing "}" or ")", both included
  std::uint64_t offset = 0;  // of text[0] in the database
  std::size_t line = 0;      // of the "@", counted from 1
  std::string type;          // lower-cased: "article", "string", "comment", ...
  std::string key;           // as written; empty for @string, @preamble, @comment
  std::size_t key_begin = 0, key_end = 0;
  // The fields in order; @string has its one definition, @preamble one field with an
  // empty name, @comment none.
  std::vector<Field> fields;

  // The first field of that (lower-case) name; null when the entry has none.
  const Field* field(std::string_view name) const;
  // A piece's text without its delimiters.
  std::string_view inner(const ValuePiece& piece) const;
};

struct ReaderOptions {
  // Big5: a byte A1..FE (A0 right after a character) and the byte after it, whatever it
  // is, are one character, as the Big5 encoder reads them. So a second byte "@", "{" or
  // "}" is never syntax. UTF-8 needs nothing: no byte of its characters is ASCII.
  bool big5 = false;
  // Far beyond any real entry (the longest seen are reference managers' @comment blocks
  // of a few hundred kilobytes), and small enough to hold in memory anywhere.
  std::size_t longest_entry = std::size_t{16} << 20;
};

class Handler {
 public:
  virtual ~Handler() = default;
  // Bytes outside every entry, in order, in pieces of any size; also the bytes of an
  // entry that could not be read, after malformed().
  virtual void text(std::string_view bytes) = 0;
  // One whole entry. `entry` and its views are valid only during the call.
  virtual void entry(const Entry& entry) = 0;
  // An entry that began on `line` and could not be read; its bytes follow through text().
  virtual void malformed(std::size_t line, std::string_view reason) = 0;
};

class EntryReader {
 public:
  explicit EntryReader(Handler& handler, ReaderOptions options = {});
  EntryReader(const EntryReader&) = delete;
  EntryReader& operator=(const EntryReader&) = delete;
  ~EntryReader();

  // The next piece of the database.
  void feed(std::string_view piece);
  // The end of the database: an entry still open is malformed ("the file ends inside
  // it"). The reader is then ready for another database.
  void finish();

  // During malformed(): the entry as far as it was read. Its text is the bytes that text()
  // gets next; the field being read when it failed, if any, is the last, its last piece
  // cut off at the end of the text.
  const Entry& partial() const;

 private:
  struct State;
  Handler& handler_;
  std::unique_ptr<State> state_;
};

}  // namespace corvina::bib
