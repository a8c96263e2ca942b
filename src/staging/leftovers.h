#pragma once
// A run that was killed (SIGKILL, a power cut) cannot restore anything. What it leaves
// behind is recognised by the next run, which puts things right before staging anew.

#include <string>

#include "driver/build.h"
#include "driver/run_state.h"

namespace corvina {

// True when decoding the file `encoded` gives exactly the bytes of the file `original`,
// i.e. `encoded` is what a run of ours made of `original`.
bool decodes_to(const Build& build, const std::string& encoded, const std::string& original);

// Called before `entry` (a database in the working directory) is backed up, when
// entry-backup.bib already exists. If the database holds the encoded form of that
// backup, the database is restored from it first. If the two are the same, nothing is
// done. Otherwise the user's database stands and the old backup is moved to a new name.
// Throws RunError when a file cannot be restored or moved; the message says where the
// user's text is.
void settle_old_backup(RunState& state, const std::string& entry);

// True when `entry` in the working directory is the encoded copy that a killed run made
// of a database found elsewhere (its working copy entry-tmp.bib is still there, and it
// has no backup). Such a copy would hide the real database from the back end.
bool is_leftover_encoded_copy(const Build& build, const std::string& entry);

}  // namespace corvina
