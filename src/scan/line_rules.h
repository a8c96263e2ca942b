#pragma once
// The rules that the include scan and the bibliography scan share: what a line yields,
// the comment test and the reader of a brace-delimited list of names.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace corvina {

enum class LineKind {
  kNone,       // no command on the line (or none that can be used)
  kCommented,  // a command stands behind a '%'
  kCommand,    // an accepted command; `names` holds what it names
  kRemote,     // a bibliography resource with the option location=remote
};

// What one line yields. The caller appends `names` to its table in order, writes `log`
// to the diagnostic log, and moves the line counter on unless the kind is kCommented.
struct LineScan {
  LineKind kind = LineKind::kNone;
  std::vector<std::string> names;
  std::string log;
};

// The log's record of a line that was read: "(LINE)", no line end.
std::string counter_record(int line_no);

// The log's record of the last name of an accepted list and the slot it is about to take.
std::string tmp_record(const std::string& name, std::size_t slot);

// `line` without the line end characters ('\n', '\r') that close it.
std::string_view without_line_end(std::string_view line);

// True when a '%' stands anywhere before `command_at`. TeX drops the rest of a line after
// a '%', so the command is not seen; "\%" is counted as well, which may drop a command
// that TeX would see, but never records a database that TeX would not.
bool commented_out(std::string_view line, std::size_t command_at);

// Reads the names from `from` (just behind an opening brace) up to the first '}' or the
// end of the line, splitting at commas. Every space (code 32) is removed and nothing else
// is changed. The last name, possibly empty, is always the last element.
// REQUIRES: `line` carries no line end; from <= line.size().
std::vector<std::string> read_name_list(std::string_view line, std::size_t from);

}  // namespace corvina
