#pragma once

#include <string>

#include "core/run_state.h"

namespace corvina {

// The file that receives the locator's standard output; removed at the end of a run.
inline constexpr const char* kLocatorOutput = "findbib@.txt";

// Asks TeX's file search (findtexmf when it is on PATH, else kpsewhich) where `entry` is.
// Returns the path exactly as the locator printed it, or an empty string when it found
// nothing that can be read.
std::string locate_database(RunState& state, const std::string& entry);

}  // namespace corvina
