#pragma once

#include "core/run_state.h"

namespace corvina {

// Reads the document `state.fullname` line by line and appends the names of its \input
// and \include lines to `state.inpinc` in the order found; sets `state.findj` when it
// accepts one. Writes a record for each line to `state.debug`. Only the document itself is
// searched: an include inside an included file is never found.
// Throws RunError(kExitUsage) when the document cannot be opened, RunError(kExitFileError)
// when reading it fails.
void search_inpinc(RunState& state);

}  // namespace corvina
