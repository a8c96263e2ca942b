#pragma once

#include "core/run_state.h"

namespace corvina {

// Encodes every staged database of state.orgbib and puts the encoded text in its place.
// Each is read once: that read also digests the backup for its intent record and tells
// its encoding. All are encoded under their working-copy names before any takes its
// entry's name, so a database written for the other program stops the run (OtherEncoding,
// the first such in the order of state.orgbib) while every database is still as it was.
// A database that cannot be encoded or put in place is left as it is, with a warning.
// Throws RunError and Interrupted as the encoder does; the caller restores.
void encode_databases(RunState& state);

}  // namespace corvina
