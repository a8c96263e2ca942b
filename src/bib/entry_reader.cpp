#include "bib/entry_reader.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "bib/syntax_bytes.h"

namespace corvina::bib {

namespace {

using namespace syntax;

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
  void run(std::string_view piece);
  void finish();

  std::size_t scan_text(std::string_view piece, std::size_t from);
  const ByteSet* quiet_bytes() const;
  std::string_view stops_in_value() const;
  std::size_t take_quiet(std::string_view piece, std::size_t from);
  std::size_t take_field_start(std::string_view piece, std::size_t from);
  char syntax_of(char byte);
  void begin_entry(std::size_t at);
  std::string_view bytes() const;
  void take(std::string_view more);
  void take(char byte);
  char untake();
  void keep_bytes();
  Taken entry_byte(char byte);
  Taken step_on(char byte, char syntax);
  Taken on_type(char byte, char syntax);
  Taken on_key(char syntax);
  Taken on_field_name(char byte, char syntax);
  Taken on_value(char byte, char syntax);
  Taken open(char delimiter);
  Taken close_entry();
  Taken not_an_entry(char syntax);
  Taken give_back(char byte, char syntax);
  Taken malformed(char syntax, std::string_view reason);
  Taken too_long();
  bool rereads_comment() const;
  std::string what() const { return entry.kind == EntryKind::kComment ? "the comment" : "the entry"; }
  void reread_comment();
  void begin_piece(PieceKind kind);
  void end_piece(std::size_t end);
  void fix_partial();
  void forget_entry();
  void new_field();

  Handler& handler;
  const ReaderOptions options;
  Step step = Step::kText;
  // The entry being read, from its "@", is scanned where it lies in the piece being fed:
  // fed[entry_begin, entry_begin + length). Only an entry that the piece ends inside is
  // copied, to `buffer`, which then holds it (kept == true) until it closes.
  std::string_view fed;
  std::size_t here = 0;  // in `fed`, of the byte that entry_byte reads
  std::size_t entry_begin = 0;
  std::size_t length = 0;
  bool kept = false;
  std::string buffer;
  Entry entry;
  char close = '}';
  int depth = 0;  // braces open inside the piece or comment being read
  // Big5: the next byte is a character's second; the byte before ended a character.
  bool trail_next = false;
  bool after_character = false;
  // Of the next byte, in the database. `line` only between entries: inside one, a line
  // is the entry's line and those of the entry's bytes before it.
  std::uint64_t offset = 0;
  std::size_t line = 1;
  // A comment that never closes is read again from its brace; one that begins in bytes
  // read again is not, so no byte is read more than twice.
  std::uint64_t reread_end = 0;
  // The fields of earlier entries, kept for their memory: most entries have the same few.
  std::vector<Field> spare_fields;
};

EntryReader::EntryReader(Handler& handler, ReaderOptions options)
    : handler_(handler), state_(std::make_unique<State>(handler, options)) {}

EntryReader::~EntryReader() = default;

void EntryReader::feed(std::string_view piece) { state_->feed(piece); }

void EntryReader::finish() { state_->finish(); }

const Entry& EntryReader::partial() const { return state_->entry; }

// A comment read again is fed from inside a feed; the outer piece is put back after it.
void EntryReader::State::feed(std::string_view piece) {
  const std::string_view outer = std::exchange(fed, piece);
  run(piece);
  keep_bytes();
  fed = outer;
}

void EntryReader::State::run(std::string_view piece) {
  std::size_t text_from = 0;  // the text not yet handed out begins here
  for (std::size_t i = 0; i < piece.size();) {
    if (step == Step::kText) {
      const std::size_t at = scan_text(piece, i);
      if (at > text_from) handler.text(piece.substr(text_from, at - text_from));
      if (at == piece.size()) return;
      begin_entry(at);
      i = at + 1;
      continue;
    }
    if (const std::size_t taken = take_field_start(piece, i); taken > 0) {
      i += taken;
      continue;
    }
    if (const std::size_t quiet = take_quiet(piece, i); quiet > 0) {
      i += quiet;
      continue;
    }
    here = i;
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
  line += count_lines(piece.substr(from, at - from));
  offset += at - from;
  return at;
}

const ByteSet* EntryReader::State::quiet_bytes() const {
  const int big5 = options.big5 ? 1 : 0;
  switch (step) {
    case Step::kAt:
    case Step::kAfterType:
    case Step::kBeforeKey:
    case Step::kAfterKey:
    case Step::kBeforeName:
    case Step::kAfterName:
    case Step::kBeforeValue:
    case Step::kAfterPiece:
      return &is_blank;
    case Step::kType:
    case Step::kName:
    case Step::kBare:
      return &kQuietInNames[big5];
    case Step::kKey:
      return &kQuietInKey[big5];
    case Step::kBraced:  // find_stop's
    case Step::kQuoted:
    case Step::kComment:
    case Step::kText:
      break;
  }
  return nullptr;
}

// Inside a value or a comment only these bytes mean something.
std::string_view EntryReader::State::stops_in_value() const {
  return step == Step::kBraced ? "{}" : step == Step::kQuoted ? "{}\"" : step == Step::kComment ? "{})" : "";
}

// Takes the bytes from `from` on that change nothing in the step but the entry's length
// (most of a value's); returns how many. Stops short of the longest entry, so that the
// byte that reaches it goes through entry_byte.
std::size_t EntryReader::State::take_quiet(std::string_view piece, std::size_t from) {
  if (trail_next) return 0;
  const std::size_t end = from + std::min(piece.size() - from, options.longest_entry - length);
  std::size_t at = from;
  if (const std::string_view stops = stops_in_value(); !stops.empty()) {
    at = find_stop(piece, from, end, stops, options.big5);
  } else if (const ByteSet* quiet = quiet_bytes(); quiet != nullptr) {
    while (at < end && (*quiet)(piece[at])) ++at;
  }
  const std::string_view bytes = piece.substr(from, at - from);
  if (bytes.empty()) return 0;
  take(bytes);
  offset += bytes.size();
  after_character = false;  // none of them leads a character
  if (step == Step::kType) append_lower(entry.type, bytes);
  if (step == Step::kName) append_lower(entry.fields.back().name, bytes);
  if (step == Step::kBare && bytes.find_first_not_of("0123456789") != std::string_view::npos) {
    entry.fields.back().pieces.back().kind = PieceKind::kMacro;
  }
  return bytes.size();
}

// Most fields look alike: `, name = {`. Where one does and lies whole in the piece, takes
// it at once, from the comma before it (or the blanks after the comma) to the brace, and
// returns how many bytes it took; otherwise nothing, and the steps read it byte by byte
// (a test reads every database in pieces of every size, so both ways are checked to
// agree). In Big5 the name must be ASCII: a character needs following byte by byte.
std::size_t EntryReader::State::take_field_start(std::string_view piece, std::size_t from) {
  if (trail_next || (step != Step::kAfterPiece && step != Step::kBeforeName)) return 0;
  const std::size_t end = from + std::min(piece.size() - from, options.longest_entry - length);
  const auto skip = [&](std::size_t at, const ByteSet& is) {
    while (at < end && is(piece[at])) ++at;
    return at;
  };
  std::size_t at = skip(from, is_blank);
  if (step == Step::kAfterPiece) {
    if (at == end || piece[at] != ',' || entry.kind == EntryKind::kPreamble) return 0;
    at = skip(at + 1, is_blank);
  }
  const std::size_t name = at;
  at = skip(at, kQuietInNames[options.big5 ? 1 : 0]);
  const std::size_t name_end = at;
  at = skip(at, is_blank);
  if (name == name_end || at == end || piece[at] != '=') return 0;
  at = skip(at + 1, is_blank);
  if (at == end || piece[at] != '{') return 0;
  const std::size_t base = length - from;  // a byte's place in the entry
  take(piece.substr(from, at + 1 - from));
  offset += at + 1 - from;
  after_character = false;
  new_field();
  Field& field = entry.fields.back();
  field.name_begin = base + name;
  append_lower(field.name, piece.substr(name, name_end - name));
  field.value_begin = base + at;
  field.pieces.push_back({PieceKind::kBraced, base + at, 0});
  depth = 1;
  step = Step::kBraced;
  return at + 1 - from;
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

void EntryReader::State::begin_entry(std::size_t at) {
  forget_entry();
  entry.offset = offset;
  entry.line = line;
  entry_begin = at;
  take('@');
  ++offset;
  step = Step::kAt;
}

std::string_view EntryReader::State::bytes() const {
  return kept ? std::string_view(buffer) : fed.substr(entry_begin, length);
}

// `more` is always the bytes of the piece right after the entry's, so in place only the
// length moves.
void EntryReader::State::take(std::string_view more) {
  if (kept) buffer.append(more);
  length += more.size();
}

void EntryReader::State::take(char byte) {
  if (kept) buffer.push_back(byte);
  ++length;
}

// Gives back the last byte taken, and returns it.
char EntryReader::State::untake() {
  const char byte = bytes().back();
  if (kept) buffer.pop_back();
  --length;
  return byte;
}

// The piece is about to go: an entry still open inside it must outlive it.
void EntryReader::State::keep_bytes() {
  if (step == Step::kText || kept) return;
  buffer.assign(bytes());
  kept = true;
}

Taken EntryReader::State::entry_byte(char byte) {
  const char syntax = options.big5 ? syntax_of(byte) : byte;
  ++offset;
  take(byte);
  if (length > options.longest_entry) return too_long();
  return step_on(byte, syntax);
}

Taken EntryReader::State::step_on(char byte, char syntax) {
  switch (step) {
    case Step::kAt:
    case Step::kType:
    case Step::kAfterType:
      return on_type(byte, syntax);
    case Step::kBeforeKey:
    case Step::kKey:
    case Step::kAfterKey:
      return on_key(syntax);
    case Step::kBeforeName:
    case Step::kName:
    case Step::kAfterName:
      return on_field_name(byte, syntax);
    case Step::kBeforeValue:
    case Step::kBare:
    case Step::kBraced:
    case Step::kQuoted:
    case Step::kAfterPiece:
      return on_value(byte, syntax);
    case Step::kComment:
      if (syntax == '{') ++depth;
      if (syntax == '}' && depth > 0) --depth;
      else if (syntax == close && depth == 0) return close_entry();
      return Taken::kByEntry;
    case Step::kText:
      break;
  }
  return Taken::kAsText;
}

// From the "@" to the "{" or "(".
Taken EntryReader::State::on_type(char byte, char syntax) {
  switch (step) {
    case Step::kAt:
      if (is_blank(syntax)) return Taken::kByEntry;
      if (!is_name_byte(syntax)) return not_an_entry(syntax);
      step = Step::kType;
      [[fallthrough]];
    case Step::kType:
      if (is_name_byte(syntax)) {
        entry.type.push_back(syntax == kTrail ? byte : lower(byte));
        return Taken::kByEntry;
      }
      step = Step::kAfterType;
      [[fallthrough]];
    default:
      if (syntax == '{' || syntax == '(') return open(syntax);
      return is_blank(syntax) ? Taken::kByEntry : not_an_entry(syntax);
  }
}

// bibtex ends a key at a comma or a blank, and in the brace form at "}" too.
Taken EntryReader::State::on_key(char syntax) {
  const std::size_t at = length - 1;
  switch (step) {
    case Step::kBeforeKey:
      if (is_blank(syntax)) return Taken::kByEntry;
      entry.key_begin = entry.key_end = at;
      if (syntax == ',') {
        step = Step::kBeforeName;
        return Taken::kByEntry;
      }
      if (syntax == close) return close_entry();
      step = Step::kKey;
      [[fallthrough]];
    case Step::kKey:
      if (syntax != ',' && !is_blank(syntax) && !(syntax == '}' && close == '}')) return Taken::kByEntry;
      entry.key_end = at;
      step = Step::kAfterKey;
      [[fallthrough]];
    default:
      if (is_blank(syntax)) return Taken::kByEntry;
      if (syntax == close) return close_entry();
      if (syntax != ',') return malformed(syntax, "a comma is missing after the entry key");
      step = Step::kBeforeName;
      return Taken::kByEntry;
  }
}

Taken EntryReader::State::on_field_name(char byte, char syntax) {
  switch (step) {
    case Step::kBeforeName:
      if (is_blank(syntax)) return Taken::kByEntry;
      if (syntax == close) return close_entry();
      if (!is_name_byte(syntax)) return malformed(syntax, "a field name is missing");
      new_field();
      entry.fields.back().name_begin = length - 1;
      step = Step::kName;
      [[fallthrough]];
    case Step::kName:
      if (is_name_byte(syntax)) {
        entry.fields.back().name.push_back(syntax == kTrail ? byte : lower(byte));
        return Taken::kByEntry;
      }
      step = Step::kAfterName;
      [[fallthrough]];
    default:
      if (is_blank(syntax)) return Taken::kByEntry;
      if (syntax != '=') return malformed(syntax, "a field name is not followed by \"=\"");
      step = Step::kBeforeValue;
      return Taken::kByEntry;
  }
}

// A value: pieces joined by "#", then a comma or the end of the entry.
Taken EntryReader::State::on_value(char byte, char syntax) {
  const std::size_t at = length - 1;
  switch (step) {
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
      return on_value(byte, syntax);
    case Step::kBraced:
      if (syntax == '{') ++depth;
      if (syntax == '}' && --depth == 0) end_piece(at + 1);
      return Taken::kByEntry;
    case Step::kQuoted:
      if (syntax == '{') ++depth;
      if (syntax == '}' && depth-- == 0) return malformed(syntax, "a value closes a brace that it did not open");
      if (syntax == '"' && depth == 0) end_piece(at + 1);
      return Taken::kByEntry;
    default:
      if (is_blank(syntax)) return Taken::kByEntry;
      if (syntax == '#') {
        step = Step::kBeforeValue;
        return Taken::kByEntry;
      }
      if (syntax == close) return close_entry();
      if (syntax != ',' || entry.kind == EntryKind::kPreamble) {
        return malformed(syntax, "a value is not followed by a comma or the end of the entry");
      }
      step = Step::kBeforeName;
      return Taken::kByEntry;
  }
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
    new_field();
    entry.fields.back().name_begin = length;
    step = Step::kBeforeValue;
  } else {
    step = Step::kBeforeKey;
  }
  return Taken::kByEntry;
}

void EntryReader::State::begin_piece(PieceKind kind) {
  Field& field = entry.fields.back();
  const std::size_t at = length - 1;
  if (field.pieces.empty()) field.value_begin = at;
  field.pieces.push_back({kind, at, 0});
}

void EntryReader::State::end_piece(std::size_t end) {
  Field& field = entry.fields.back();
  field.pieces.back().end = field.value_end = end;
  step = Step::kAfterPiece;
}

Taken EntryReader::State::close_entry() {
  entry.text = bytes();
  entry.key.assign(entry.text.substr(entry.key_begin, entry.key_end - entry.key_begin));
  handler.entry(entry);
  forget_entry();
  return Taken::kByEntry;
}

// An "@" that opens no entry: it and what followed it are text, the byte at hand too,
// unless it is the "@" of an entry.
Taken EntryReader::State::not_an_entry(char syntax) {
  return give_back(untake(), syntax);
}

// Hands out the entry's bytes but the last one read, `byte`, as text.
Taken EntryReader::State::give_back(char byte, char syntax) {
  handler.text(bytes());
  forget_entry();
  if (syntax != '@') {
    if (byte == '\n') ++line;
    return Taken::kAsText;
  }
  --offset;
  begin_entry(here);
  return Taken::kByEntry;
}

Taken EntryReader::State::malformed(char syntax, std::string_view reason) {
  const char byte = untake();
  fix_partial();
  handler.malformed(entry.line, reason);
  return give_back(byte, syntax);
}

Taken EntryReader::State::too_long() {
  if (step == Step::kAt || step == Step::kType || step == Step::kAfterType) {
    handler.text(bytes());  // an "@" and a long word: text, no entry
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
  handler.text(bytes());
  forget_entry();
  return Taken::kByEntry;
}

bool EntryReader::State::rereads_comment() const {
  return entry.kind == EntryKind::kComment && entry.offset >= reread_end;
}

// Hands out the "@comment" before the brace as text and reads the rest again.
void EntryReader::State::reread_comment() {
  const std::size_t brace = bytes().find_first_of(close == '}' ? '{' : '(');
  const std::string rest(bytes().substr(brace));
  if (kept) buffer.resize(brace);
  length = brace;
  fix_partial();
  handler.text(bytes());
  reread_end = offset;
  offset = entry.offset + brace;
  trail_next = after_character = false;  // the brace is no character's
  forget_entry();
  feed(rest);
}

// Makes the entry what partial() promises: its text what was read, the piece being read
// cut off at its end.
void EntryReader::State::fix_partial() {
  entry.text = bytes();
  if (step == Step::kKey) entry.key_end = length;
  if (step == Step::kBraced || step == Step::kQuoted || step == Step::kBare) {
    entry.fields.back().pieces.back().end = entry.fields.back().value_end = length;
  }
  entry.key.assign(entry.text.substr(entry.key_begin, entry.key_end - entry.key_begin));
}

// Also moves the line on past the entry's bytes.
void EntryReader::State::forget_entry() {
  if (step != Step::kText) line = entry.line + count_lines(bytes());
  buffer.clear();
  kept = false;
  length = 0;
  entry.kind = EntryKind::kRegular;
  entry.text = {};
  entry.type.clear();
  entry.key.clear();
  entry.key_begin = entry.key_end = 0;
  while (!entry.fields.empty()) {
    spare_fields.push_back(std::move(entry.fields.back()));
    entry.fields.pop_back();
  }
  step = Step::kText;
}

void EntryReader::State::new_field() {
  if (spare_fields.empty()) {
    entry.fields.emplace_back();
    return;
  }
  entry.fields.push_back(std::move(spare_fields.back()));
  spare_fields.pop_back();
  Field& field = entry.fields.back();
  field.name.clear();
  field.name_begin = field.value_begin = field.value_end = 0;
  field.pieces.clear();
}

void EntryReader::State::finish() {
  while (step != Step::kText) {
    if (step == Step::kAt || step == Step::kType || step == Step::kAfterType) {
      handler.text(bytes());
      forget_entry();
    } else if (rereads_comment()) {
      handler.malformed(entry.line, what() + " is not closed (the file ends inside it)");
      reread_comment();
    } else {
      fix_partial();
      handler.malformed(entry.line, what() + " is not closed (the file ends inside it)");
      handler.text(bytes());
      forget_entry();
    }
  }
  offset = 0;
  line = 1;
  trail_next = after_character = false;
  reread_end = 0;
}

}  // namespace corvina::bib
