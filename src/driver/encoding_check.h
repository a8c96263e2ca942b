#pragma once

#include <string>

#include "core/run_state.h"

namespace corvina {

// Stops the run, before anything of the user's is written, when the file `path` is plainly
// written for the other program: Chinese text in UTF-8 given to corvina, or Big5 given to
// corvina4. The message names the program that fits. A file that cannot be read, and one
// whose encoding cannot be told, are let through.
// Throws RunError(kExitUsage).
void refuse_other_encoding(const RunState& state, const std::string& path);

// The same for each database of state.orgbib that can be found (as written, with ".bib"
// added, or through the locator).
void refuse_other_encoding_in_databases(RunState& state);

}  // namespace corvina
