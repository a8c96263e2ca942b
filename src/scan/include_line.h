#pragma once

#include <cstddef>
#include <string_view>

#include "scan/line_rules.h"

namespace corvina {

// Applies the include rule to one line (with or without its line end): the first
// "\input{" decides, else the first "\include{"; a line yields at most one command.
// `line_no` is the line counter for the log; `recorded` is how many include names the
// table held before this line, so that the "tmp:" record can give the slot of the last
// name (slots count from 1).
// Log: an \input line gives "tmp: NAME SLOT\n(LINE)", an \include line "(LINE)", a line
// without either "(LINE)"; a commented-out \input gives "comment out! (LINE)\n", a
// commented-out \include nothing.
LineScan scan_include_line(std::string_view line, int line_no, std::size_t recorded);

}  // namespace corvina
