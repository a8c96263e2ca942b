#pragma once

#include "driver/run_state.h"

namespace corvina {

// Makes every database of state.orgbib safe and ready for encoding, before any is
// rewritten. A database in the working directory gets a verified backup
// (entry-backup.bib, listed in state.fromorgbib) and a working copy (entry-tmp.bib); a
// database found elsewhere by the locator gets a working copy only. A database named
// without extension that does not exist as written stands for entry + ".bib" from here
// on (state.orgbib is updated). state.staged tells the encoder what to do with each.
// Throws RunError(kExitDatabaseMissing) when a database is nowhere to be found.
void copybib(RunState& state);

}  // namespace corvina
