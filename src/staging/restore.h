#pragma once

#include "core/run_state.h"

namespace corvina {

// Ends the run's use of the databases; called on every way out once the first database
// has been rewritten, and at the end of a complete run. Removes the encoded copies that
// the run made and the working copies, then renames each user's backup back over its
// database, so the database is the very file it was (a symbolic link stays the link, the
// file keeps its permissions), with its earlier modification time. Returns false when a
// database could not be restored; the console then names the backup that keeps its text.
bool remove_and_restore(RunState& state);

}  // namespace corvina
