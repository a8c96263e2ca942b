#pragma once

#include <string>

#include "core/decoder.h"
#include "core/run_state.h"

namespace corvina {

// Decodes the back end's .bbl `file1` into `file2` line by line, mirroring each line
// into the diagnostic log. Throws RunError when a file cannot be read or written.
void cvte(RunState& state, Decoder& decoder, const std::string& file1, const std::string& file2);

}  // namespace corvina
