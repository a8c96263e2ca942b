#pragma once
// The line decoder of the back end's .bbl: the interface that the run driver and the
// tests use.

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
};

}  // namespace corvina
