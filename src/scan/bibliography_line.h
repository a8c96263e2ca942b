#pragma once

#include <cstddef>
#include <string_view>

#include "scan/line_rules.h"

namespace corvina {

// Applies the bibliography-command rule to one line (with or without its line end).
// The eight forms are tried in a fixed order, \bibliography{ first; the first form that
// occurs anywhere in the line decides, and only its first occurrence is read.
// `line_no` is the line counter for the log; `recorded` is how many database names the
// table held before this line (for the slot number in the "tmp:" record).
//
// The forms with an option list ("\addbibresource[" and the like) yield kRemote when the
// list, spaces removed, is exactly "location=remote". Otherwise the list is passed over
// together with the one character behind its ']' (normally the '{'). An option list that
// is not closed on its line leaves no place where the names begin, so such a line is
// treated as one without a command: kNone, nothing recorded.
//
// Log: "tmp: NAME SLOT\n" for a \bibliography{ command, then "(LINE)" for every line that
// is not commented out; a commented-out \bibliography{ gives "comment out! (LINE)\n",
// the other commented-out forms nothing.
LineScan scan_bibliography_line(std::string_view line, int line_no, std::size_t recorded);

}  // namespace corvina
