#include "decode/long_line.h"

#include <errno.h>

#include <algorithm>
#include <cstring>

#include "decode/line_record.h"
#include "decode/token_decoder.h"
#include "core/run_error.h"

namespace corvina {

namespace {

constexpr std::size_t kBlock = BblLines::kBlock;

// What the line's first reading tells.
struct LineFacts {
  LineRecord record;
  bool has_run = false;
  std::string head;  // the line's start, as begin_pieces reads it
  long long text_size = 0;
  std::string_view end;  // "\n", "\r\n" or nothing
};

[[noreturn]] void read_failed(const InputFile& in, const std::string& name) {
  throw RunError(kExitFileError, file_error("read", name, in.failed() ? in.error() : EIO));
}

// The head that begin_pieces reads: the first bytes, or, when those are all blanks, three
// blanks and what follows the blanks, which tells the same (a name part after blanks; no
// continuation, which has exactly two).
class Head {
 public:
  void add(std::string_view text) {
    for (char c : text) {
      if (first_.size() < Decoder::kPieceHead) first_.push_back(c);
      if (after_blanks_.empty() && (c == ' ' || c == '\t')) continue;
      if (after_blanks_.size() < Decoder::kPieceHead) after_blanks_.push_back(c);
      if (first_.size() == Decoder::kPieceHead && after_blanks_.size() == Decoder::kPieceHead) return;
    }
  }
  std::string get() const {
    return first_.find_first_not_of(" \t") == std::string::npos && first_.size() == Decoder::kPieceHead
               ? "   " + after_blanks_
               : first_;
  }

 private:
  std::string first_, after_blanks_;
};

LineFacts read_facts(InputFile& in, const std::string& name, long long start) {
  if (!in.seek(start)) read_failed(in, name);
  LineFacts facts;
  Head head;
  std::string piece, tail;  // tail: the last two bytes before the piece
  char last = 0;
  while (in.read_chunk(piece, kBlock)) {
    const void* newline = std::memchr(piece.data(), '\n', piece.size());
    const std::string_view text(piece.data(), newline ? static_cast<const char*>(newline) - piece.data() : piece.size());
    facts.record.add(line_record(text));
    // A prefix cut by the piece's start: the two bytes before it and the first two of it.
    std::string joint = tail;
    joint.append(text.substr(0, 2));
    facts.has_run = facts.has_run || has_run_prefix(text) || has_run_prefix(joint);
    tail.append(text.substr(text.size() - std::min<std::size_t>(2, text.size())));
    if (tail.size() > 2) tail.erase(0, tail.size() - 2);
    head.add(text);
    if (!text.empty()) last = text.back();
    facts.text_size += static_cast<long long>(text.size());
    if (newline) {
      facts.end = "\n";
      break;
    }
  }
  if (in.failed()) read_failed(in, name);
  // The CR of a CRLF belongs to the line end; it is neither a brace nor a "%".
  if (facts.end == "\n" && last == '\r') {
    facts.end = "\r\n";
    --facts.text_size;
    --facts.record.length;
  }
  facts.head = head.get();
  return facts;
}

// Calls `use` with the `size` bytes from `start` on, a block at a time.
template <typename Use>
void read_range(InputFile& in, const std::string& name, long long start, long long size, Use use) {
  if (!in.seek(start)) read_failed(in, name);
  std::string piece;
  while (size > 0) {
    if (!in.read_chunk(piece, static_cast<std::size_t>(std::min<long long>(size, kBlock)))) read_failed(in, name);
    size -= static_cast<long long>(piece.size());
    use(piece, size == 0);
  }
}

}  // namespace

long long decode_long_line(InputFile& in, const std::string& name, long long start, Decoder& decoder,
                           DecodedOutput& output) {
  const LineFacts facts = read_facts(in, name, start);
  const long long line_size = facts.text_size + static_cast<long long>(facts.end.size());
  if (!decoder.begin_pieces(facts.head)) {
    std::string line;
    read_range(in, name, start, line_size, [&](const std::string& piece, bool) { line += piece; });
    decoder.decode_line(line, output.decoded, &output.log);
    return start + line_size;
  }
  append_record(facts.record, output.log);
  read_range(in, name, start, line_size, [&](const std::string& piece, bool) {
    output.log += piece;
    output.flush_if_full();
  });
  std::string pending;
  read_range(in, name, start, facts.text_size, [&](const std::string& piece, bool last) {
    pending += piece;
    pending.erase(0, decoder.decode_piece(pending, facts.has_run, last, output.decoded, &output.log));
    output.flush_if_full();
  });
  output.decoded += facts.end;
  output.log += facts.end;
  return start + line_size;
}

}  // namespace corvina
