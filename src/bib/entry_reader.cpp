#include "bib/entry_reader.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

namespace corvina::bib {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// A byte of a type, field name or macro name: bibtex ends a name at a blank or one of
// these; a byte above 0x7F is a letter to it.
bool is_name_byte(char c) {
  const auto b = static_cast<unsigned char>(c);
  if (b >= 0x80) return true;
  if (b <= 0x20 || b == 0x7F) return false;
  return std::strchr("\"#%'(),={}@", c) == nullptr;
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// What a byte that follows a Big5 lead byte counts as: a letter, never syntax.
constexpr char kTrail = '\x80';

enum class Step {
  kText,
  kAt,         // after the "@"
  kType,       // in the type
  kAfterType,  // blanks before the "{" or "("
  kBeforeKey,
  kKey,
  kAfterKey,
  kBeforeName,  // after the key's comma or a field's
  kName,
  kAfterName,
  kBeforeValue,  // after "=" or "#"
  kBraced,
  kQuoted,
  kBare,
  kAfterPiece,
  kComment,
};

// What became of the byte handed to an entry.
enum class Taken { kByEntry, kAsText };

}  // namespace

const Field* Entry::field(std::string_view name) const {
  for (const Field& f : fields) {
    if (f.name == name) return &f;
  }
  return nullptr;
}

std::string_view Entry::inner(const ValuePiece& piece) const {
  const std::string_view all = text.substr(piece.begin, piece.end - piece.begin);
  if (piece.kind != PieceKind::kBraced && piece.kind != PieceKind::kQuoted) return all;
  return all.size() < 2 ? std::string_view() : all.substr(1, all.size() - 2);
}

struct EntryReader::State {
  State(Handler& h, ReaderOptions o) : handler(h), options(o) {}

  void feed(std::string_view piece);
  void finish();

  std::size_t scan_text(std::string_view piece, std::size_t from);
  char syntax_of(char byte);
  void begin_entry();
  Taken entry_byte(char byte);
  Taken step_on(char byte, char syntax);
  Taken open(char delimiter);
  Taken close_entry();
  Taken not_an_entry(char syntax);
  Taken give_back(char syntax);
  Taken malformed(char syntax, std::string_view reason);
  Taken too_long();
  bool rereads_comment() const;
  std::string what() const { return entry.kind == EntryKind::kComment ? "the comment" : "the entry"; }
  void reread_comment();
  void begin_piece(PieceKind kind);
  void end_piece(std::size_t end);
  void fix_partial();
  void forget_entry();

  Handler& handler;
  const ReaderOptions options;
  Step step = Step::kText;
  std::string buffer;  // the entry being read, from its "@"
  Entry entry;
  char close = '}';
  int depth = 0;  // braces open inside the piece or comment being read
  // Big5: the next byte is a character's second; the byte before ended a character.
  bool trail_next = false;
  bool after_character = false;
  // Of the next byte, in the database.
  std::uint64_t offset = 0;
  std::size_t line = 1;
  // A comment that never closes is read again from its brace; one that begins in bytes
  // read again is not, so no byte is read more than twice.
  std::uint64_t reread_end = 0;
};

EntryReader::EntryReader(Handler& handler, ReaderOptions options)
    : handler_(handler), state_(std::make_unique<State>(handler, options)) {}

EntryReader::~EntryReader() = default;

void EntryReader::feed(std::string_view piece) { state_->feed(piece); }

void EntryReader::finish() { state_->finish(); }

const Entry& EntryReader::partial() const { return state_->entry; }

void EntryReader::State::feed(std::string_view piece) {
  std::size_t text_from = 0;  // the text not yet handed out begins here
  for (std::size_t i = 0; i < piece.size();) {
    if (step == Step::kText) {
      const std::size_t at = scan_text(piece, i);
      if (at > text_from) handler.text(piece.substr(text_from, at - text_from));
      if (at == piece.size()) return;
      begin_entry();
      i = at + 1;
      continue;
    }
    const Taken taken = entry_byte(piece[i]);
    if (taken == Taken::kAsText) text_from = i;
    ++i;
    if (taken == Taken::kByEntry && step == Step::kText) text_from = i;
  }
  if (step == Step::kText && text_from < piece.size()) handler.text(piece.substr(text_from));
}

// Moves over the text from `from` to the next "@", which it does not take, or the end.
std::size_t EntryReader::State::scan_text(std::string_view piece, std::size_t from) {
  std::size_t at = from;
  if (!options.big5) {
    const void* found = std::memchr(piece.data() + from, '@', piece.size() - from);
    at = found ? static_cast<const char*>(found) - piece.data() : piece.size();
  } else {
    while (at < piece.size() && syntax_of(piece[at]) != '@') ++at;
  }
  line += std::count(piece.begin() + from, piece.begin() + at, '\n');
  offset += at - from;
  return at;
}

// What `byte` is to the syntax; follows Big5 characters. Every byte read passes here once.
char EntryReader::State::syntax_of(char byte) {
  if (trail_next) {
    trail_next = false;
    after_character = true;
    return kTrail;
  }
  const auto b = static_cast<unsigned char>(byte);
  trail_next = options.big5 && b >= (after_character ? 0xA0 : 0xA1) && b <= 0xFE;
  after_character = false;
  return byte;
}

void EntryReader::State::begin_entry() {
  forget_entry();
  entry.offset = offset;
  entry.line = line;
  buffer.push_back('@');
  ++offset;
  step = Step::kAt;
}

Taken EntryReader::State::entry_byte(char byte) {
  const char syntax = syntax_of(byte);
  ++offset;
  if (byte == '\n') ++line;
  buffer.push_back(byte);
  if (buffer.size() > options.longest_entry) return too_long();
  return step_on(byte, syntax);
}

Taken EntryReader::State::step_on(char byte, char syntax) {
  const std::size_t at = buffer.size() - 1;
  const bool closes = syntax == close;
  switch (step) {
    case Step::kAt:
      if (is_blank(syntax)) return Taken::kByEntry;
      if (!is_name_byte(syntax)) return not_an_entry(syntax);
      step = Step::kType;
      [[fallthrough]];
    case Step::kType:
      if (is_name_byte(syntax)) {
        entry.type.push_back(lower(byte));
        return Taken::kByEntry;
      }
      step = Step::kAfterType;
      [[fallthrough]];
    case Step::kAfterType:
      if (syntax == '{' || syntax == '(') return open(syntax);
      return is_blank(syntax) ? Taken::kByEntry : not_an_entry(syntax);
    case Step::kBeforeKey:
      if (is_blank(syntax)) return Taken::kByEntry;
      entry.key_begin = entry.key_end = at;
      if (syntax == ',') {
        step = Step::kBeforeName;
        return Taken::kByEntry;
      }
      if (closes) return close_entry();
      step = Step::kKey;
      [[fallthrough]];
    case Step::kKey:
      // bibtex ends a key at a comma or a blank, and in the brace form at "}" too.
      if (syntax != ',' && !is_blank(syntax) && !(close == '}' && closes)) return Taken::kByEntry;
      entry.key_end = at;
      step = Step::kAfterKey;
      [[fallthrough]];
    case Step::kAfterKey:
      if (is_blank(syntax)) return Taken::kByEntry;
      if (closes) return close_entry();
      if (syntax != ',') return malformed(syntax, "a comma is missing after the entry key");
      step = Step::kBeforeName;
      return Taken::kByEntry;
    case Step::kBeforeName:
      if (is_blank(syntax)) return Taken::kByEntry;
      if (closes) return close_entry();
      if (!is_name_byte(syntax)) return malformed(syntax, "a field name is missing");
      entry.fields.emplace_back();
      entry.fields.back().name_begin = at;
      step = Step::kName;
      [[fallthrough]];
    case Step::kName:
      if (is_name_byte(syntax)) {
        entry.fields.back().name.push_back(lower(byte));
        return Taken::kByEntry;
      }
      step = Step::kAfterName;
      [[fallthrough]];
    case Step::kAfterName:
      if (is_blank(syntax)) return Taken::kByEntry;
      if (syntax != '=') return malformed(syntax, "a field name is not followed by \"=\"");
      step = Step::kBeforeValue;
      return Taken::kByEntry;
    case Step::kBeforeValue:
      if (is_blank(syntax)) return Taken::kByEntry;
      if (syntax == '{' || syntax == '"') {
        begin_piece(syntax == '{' ? PieceKind::kBraced : PieceKind::kQuoted);
        depth = syntax == '{' ? 1 : 0;
        step = syntax == '{' ? Step::kBraced : Step::kQuoted;
        return Taken::kByEntry;
      }
      if (!is_name_byte(syntax)) return malformed(syntax, "a field has no value");
      begin_piece(PieceKind::kNumber);
      step = Step::kBare;
      [[fallthrough]];
    case Step::kBare:
      if (is_name_byte(syntax)) {
        if (syntax < '0' || syntax > '9') entry.fields.back().pieces.back().kind = PieceKind::kMacro;
        return Taken::kByEntry;
      }
      end_piece(at);
      step = Step::kAfterPiece;
      return step_on(byte, syntax);
    case Step::kBraced:
      if (syntax == '{') ++depth;
      if (syntax == '}' && --depth == 0) end_piece(at + 1);
      return Taken::kByEntry;
    case Step::kQuoted:
      if (syntax == '{') ++depth;
      if (syntax == '}' && depth-- == 0) return malformed(syntax, "a value closes a brace that it did not open");
      if (syntax == '"' && depth == 0) end_piece(at + 1);
      return Taken::kByEntry;
    case Step::kAfterPiece:
      if (is_blank(syntax)) return Taken::kByEntry;
      if (syntax == '#') {
        step = Step::kBeforeValue;
        return Taken::kByEntry;
      }
      if (closes) return close_entry();
      if (syntax != ',' || entry.kind == EntryKind::kPreamble) {
        return malformed(syntax, "a value is not followed by a comma or the end of the entry");
      }
      step = Step::kBeforeName;
      return Taken::kByEntry;
    case Step::kComment:
      if (syntax == '{') ++depth;
      if (syntax == '}' && depth > 0) --depth;
      else if (closes && depth == 0) return close_entry();
      return Taken::kByEntry;
    case Step::kText:
      break;
  }
  return Taken::kAsText;
}

// The "{" or "(" after the type: what follows depends on the kind of entry.
Taken EntryReader::State::open(char delimiter) {
  close = delimiter == '{' ? '}' : ')';
  depth = 0;
  if (entry.type == "comment") {
    entry.kind = EntryKind::kComment;
    step = Step::kComment;
  } else if (entry.type == "string") {
    entry.kind = EntryKind::kString;
    step = Step::kBeforeName;
  } else if (entry.type == "preamble") {
    entry.kind = EntryKind::kPreamble;
    entry.fields.emplace_back();
    entry.fields.back().name_begin = buffer.size();
    step = Step::kBeforeValue;
  } else {
    step = Step::kBeforeKey;
  }
  return Taken::kByEntry;
}

void EntryReader::State::begin_piece(PieceKind kind) {
  Field& field = entry.fields.back();
  const std::size_t at = buffer.size() - 1;
  if (field.pieces.empty()) field.value_begin = at;
  field.pieces.push_back({kind, at, 0});
}

void EntryReader::State::end_piece(std::size_t end) {
  Field& field = entry.fields.back();
  field.pieces.back().end = field.value_end = end;
  step = Step::kAfterPiece;
}

Taken EntryReader::State::close_entry() {
  entry.text = buffer;
  entry.key.assign(buffer, entry.key_begin, entry.key_end - entry.key_begin);
  handler.entry(entry);
  forget_entry();
  return Taken::kByEntry;
}

// An "@" that opens no entry: it and what followed it are text, the byte at hand too,
// unless it is the "@" of an entry.
Taken EntryReader::State::not_an_entry(char syntax) {
  buffer.pop_back();
  return give_back(syntax);
}

// Hands out the entry's bytes but the last one read as text.
Taken EntryReader::State::give_back(char syntax) {
  handler.text(buffer);
  forget_entry();
  if (syntax != '@') return Taken::kAsText;
  --offset;
  begin_entry();
  return Taken::kByEntry;
}

Taken EntryReader::State::malformed(char syntax, std::string_view reason) {
  buffer.pop_back();
  fix_partial();
  handler.malformed(entry.line, reason);
  return give_back(syntax);
}

Taken EntryReader::State::too_long() {
  if (step == Step::kAt || step == Step::kType || step == Step::kAfterType) {
    handler.text(buffer);  // an "@" and a long word: text, no entry
    forget_entry();
    return Taken::kByEntry;
  }
  if (rereads_comment()) {
    handler.malformed(entry.line, what() + " is not closed within " + std::to_string(options.longest_entry) + " bytes");
    reread_comment();
    return Taken::kByEntry;
  }
  fix_partial();
  handler.malformed(entry.line, what() + " is not closed within " + std::to_string(options.longest_entry) + " bytes");
  handler.text(buffer);
  forget_entry();
  return Taken::kByEntry;
}

bool EntryReader::State::rereads_comment() const {
  return entry.kind == EntryKind::kComment && entry.offset >= reread_end;
}

// Hands out the "@comment" before the brace as text and reads the rest again.
void EntryReader::State::reread_comment() {
  const std::size_t brace = buffer.find_first_of(close == '}' ? '{' : '(');
  std::string rest = buffer.substr(brace);
  buffer.resize(brace);
  fix_partial();
  handler.text(buffer);
  reread_end = offset;
  offset = entry.offset + brace;
  line = entry.line + std::count(buffer.begin(), buffer.end(), '\n');
  trail_next = after_character = false;  // the brace is no character's
  forget_entry();
  feed(rest);
}

// Makes the entry what partial() promises: its text what was read, the piece being read
// cut off at its end.
void EntryReader::State::fix_partial() {
  entry.text = buffer;
  if (step == Step::kKey) entry.key_end = buffer.size();
  if (step == Step::kBraced || step == Step::kQuoted || step == Step::kBare) {
    entry.fields.back().pieces.back().end = entry.fields.back().value_end = buffer.size();
  }
  entry.key.assign(buffer, entry.key_begin, entry.key_end - entry.key_begin);
}

void EntryReader::State::forget_entry() {
  buffer.clear();
  entry.kind = EntryKind::kRegular;
  entry.text = {};
  entry.type.clear();
  entry.key.clear();
  entry.key_begin = entry.key_end = 0;
  entry.fields.clear();
  step = Step::kText;
}

void EntryReader::State::finish() {
  while (step != Step::kText) {
    if (step == Step::kAt || step == Step::kType || step == Step::kAfterType) {
      handler.text(buffer);
      forget_entry();
    } else if (rereads_comment()) {
      handler.malformed(entry.line, what() + " is not closed (the file ends inside it)");
      reread_comment();
    } else {
      fix_partial();
      handler.malformed(entry.line, what() + " is not closed (the file ends inside it)");
      handler.text(buffer);
      forget_entry();
    }
  }
  offset = 0;
  line = 1;
  trail_next = after_character = false;
  reread_end = 0;
}

}  // namespace corvina::bib
