#pragma once
// A source line too long to hold (a generated document, a .aux written as one line), read
// twice in pieces and handed to the line rules as a short line that they read exactly as
// they would read the whole one. It keeps, in their order: the line's first bytes, its
// first '%', and the first place of every text a rule looks for, with what the rule reads
// after it (a list of names up to its '}', an option list up to its ']' and the names after
// it, the engine after "% !TEX program ="). Pieces that stand apart are joined by a blank,
// which no rule can read as part of what it looks for. The memory is a few numbers per
// text looked for and the bytes kept, whatever the length of the line.

#include <string>
#include <string_view>
#include <vector>

namespace corvina {

class LongLine {
 public:
  LongLine();
  // The first reading: the line's bytes in pieces, in order, without the line end.
  void survey(std::string_view piece);
  // The second reading: the same bytes again, in pieces of any size.
  void keep(std::string_view piece);
  // The short line, once the second reading is complete.
  const std::string& condensed() const { return condensed_; }

  // How far after an engine name's "=" the bytes are kept: an engine is a word of a few letters.
  static constexpr long long kEngineReach = 256;

 private:
  struct Found {
    long long at = -1;    // where the text first stands, -1 while it was not seen
    long long stop = -1;  // the byte that ends what the rule reads after it, once seen
    long long close = -1;  // for an option list, its ']'
  };
  struct Span {
    long long begin, end;
  };
  void look_for_texts(std::string_view window, long long window_at);
  void look_for_stops(std::string_view piece, long long piece_at);
  std::vector<Span> spans() const;

  std::vector<Found> found_;
  long long first_percent_ = -1;
  long long size_ = 0;
  std::string tail_;  // the last bytes surveyed, for a text cut by a piece boundary
  // Second reading.
  std::vector<Span> kept_;
  std::size_t next_span_ = 0;
  long long read_ = 0;
  std::string condensed_;
};

}  // namespace corvina
