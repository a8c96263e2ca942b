#pragma once
// Which entries of the run's databases reach the back end.

#include <cstddef>
#include <optional>
#include <vector>

#include "core/run_state.h"

namespace corvina {

struct NeededEntries {
  std::vector<bool> needed;       // per regular entry of all the databases, in order
  std::vector<std::size_t> first;  // per database of state.orgbib: the index of its first entry
};

// Reads the control file's citations and, when they allow it, every database the run
// encodes, and tells the console how many entries stay out. Nothing when every entry is
// to reach the back end: --all-entries, "*" cited, no list of citations, a source map
// that changes entries, a database the run does not read or cannot read through.
std::optional<NeededEntries> needed_entries_of_run(RunState& state);

}  // namespace corvina
