#pragma once

#include "core/run_state.h"
#include "staging/run_lock.h"

namespace corvina {

// Makes every database of state.orgbib safe and ready for encoding, before any is
// rewritten. First every entry is looked at and nothing is written: a database named
// without extension that does not exist as written stands for entry + ".bib" from here on
// (state.orgbib is updated); the folders of the databases to rewrite are locked, what a
// killed run left of them is put back, and any working file name that is already taken
// stops the run. Then a database in the working directory gets an intent record and a
// backup (entry-backup.bib, listed in state.fromorgbib): the file itself under a second
// name, or a synced copy; a database found elsewhere by the locator gets a record.
// state.staged tells the encoder what to do with each, state.encoder_input what to read.
// Throws RunError: kExitDatabaseMissing when a database is nowhere to be found,
// kExitFileError when one is not a regular file, cannot be read, or a name is taken.
void copybib(RunState& state, RunLocks& locks);

}  // namespace corvina
