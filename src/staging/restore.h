#pragma once

#include "core/run_state.h"

namespace corvina {

// Ends the run's use of the databases; called on every way out once the first database
// has been rewritten, and at the end of a complete run. Removes the encoded copies that
// the run made and the working copies, then writes each user's database back from its
// backup, in place (a symbolic link stays a link, the file keeps its permissions) and
// with its earlier modification time. A backup is removed only once its database holds
// the same bytes. Returns false when a database could not be restored; the console
// then names the backup that keeps its text.
bool remove_and_restore(RunState& state);

}  // namespace corvina
