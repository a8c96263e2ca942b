#pragma once
// NAME.bbl as LaTeX reads it: the decoded text, never the back end's sort keys.

#include <string>

#include "core/run_state.h"

namespace corvina {

// NAME.bbl in the output directory.
std::string bbl_name(const RunState& state);

// Direct mode: decodes NAME.bbl into NAME-tmp.bbl beside it and lets that take the place
// of NAME.bbl once it is written in full, so LaTeX never reads a .bbl cut short. Throws
// RunError when a file cannot be read, written or renamed (no NAME-tmp.bbl is left).
void decode_in_place(RunState& state);

// For a preprocessor that could not be started or failed: NAME.bbl `bbl` gets the decoded
// text `decoded` instead, with a message saying so. Throws RunError when it cannot.
void keep_decoded_text(RunState& state, const std::string& decoded, const std::string& bbl);

// For a run that stops between the back end and the decoded text: removes NAME.bbl, which
// then still holds sort keys, with a message.
void drop_undecoded_bbl(RunState& state);

}  // namespace corvina
