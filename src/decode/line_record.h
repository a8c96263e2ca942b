#pragma once

#include <string>
#include <string_view>

namespace corvina {

// Splits a line into its text and its line end ("\n", "\r\n" or nothing). A CR before
// the LF belongs to the line end, as it would for a file read in text mode.
struct LineParts {
  std::string_view text;
  std::string_view end;
};
LineParts split_line_end(std::string_view line);

// The numbers of a line's diagnostic record, from the line's text (its line end left out):
// its length, its brace balance (1, plus one per "}", minus one per "{") and the index of
// its last "%", -1 when it has none. `add` extends it by the record of text that follows,
// so that a line read in pieces gets the record of the whole.
struct LineRecord {
  long long length = 0;
  long long balance = 1;
  long long last_percent = -1;
  void add(const LineRecord& more);
};
// With `z_pair`, also says whether two "z" (in either case) stand side by side in `text`:
// every run prefix has them, so the decoder need not look for one in a line without.
LineRecord line_record(std::string_view text, bool* z_pair = nullptr);

// Appends a record as the log writes it: "length balance last-percent 0 $".
void append_record(const LineRecord& record, std::string& log);

}  // namespace corvina
