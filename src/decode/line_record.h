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

// Appends the diagnostic record of a line as read: the length of its text, its brace
// balance (1, plus one per "}", minus one per "{"), the index of its last "%" or -1, the
// count of joined lines (always 0: lines arrive whole), "$" and the line itself.
void append_line_record(std::string_view line, std::string& log);

}  // namespace corvina
