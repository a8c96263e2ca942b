#pragma once
// The line decoder of the back end's .bbl: the interface that the run driver and the
// tests use.

#include <cstddef>
#include <string>
#include <string_view>

namespace corvina {

// Turns the sort tokens of one build back into the characters they stand for.
// Only complete token runs are decoded; all other text is copied unchanged.
class Decoder {
 public:
  virtual ~Decoder() = default;
  // Decodes one whole line, its line end included when it has one (the last line of a
  // file may have none). Appends the decoded text to `out`. When `log` is not null,
  // appends the line's records for the diagnostic log to it.
  virtual void decode_line(std::string_view line, std::string& out, std::string* log) = 0;

  // A line too long to hold whole is decoded in pieces: its text (its line end left out)
  // gives the same bytes and leaves the same state as decode_line would, but its line end
  // and the line's records are the caller's to write.
  //
  // Whether the line whose text begins with `head` (its first kPieceHead bytes, or all of
  // it) can go in pieces. When true, the decoder has taken note of the line's start and
  // expects decode_piece calls. The lines of a name part and its initials cannot: they are
  // read whole, and a back end writes them short.
  static constexpr std::size_t kPieceHead = 64;
  virtual bool begin_pieces(std::string_view head) = 0;
  // Decodes the front of `text`, which goes on from where the last call stopped; returns
  // the count of bytes taken. Bytes that a token cut by the end of `text` may need are left
  // for the next call, never more than kPieceLookahead; with `last` all are taken.
  // `line_has_run` tells whether the whole line holds a run prefix (has_run_prefix).
  static constexpr std::size_t kPieceLookahead = 4096;
  virtual std::size_t decode_piece(std::string_view text, bool line_has_run, bool last,
                                   std::string& out, std::string* log) = 0;
};

}  // namespace corvina
