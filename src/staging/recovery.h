#pragma once
// Putting a database back from its backup: at the end of every run, and at the start of
// the next one for whatever a run that was killed (SIGKILL, a power cut) left behind.

#include <string>

#include "core/run_state.h"
#include "staging/intent_record.h"
#include "staging/run_lock.h"

namespace corvina {

// Puts `entry` back from its backup by renaming the backup over it, gives it `mtime` and
// makes the rename durable; when the entry was never replaced (it is the file the backup
// names) there is nothing to do. Returns an empty string or the message; the backup is
// gone only when the entry is back, and `back` says whether it is (a failure after the
// rename, of the time or the sync, leaves the text in place; the record then stays for the
// next run to check).
std::string write_back_database(const std::string& entry, int64_t mtime, bool* back = nullptr);

// Puts back everything recorded for `entry`, whatever state it was left in, and removes
// its working files and record. Idempotent: killed at any instant, the next call finishes
// the job. Throws RunError when the database cannot be put back; the message says where
// its text is.
void recover_entry(RunState& state, const std::string& entry);

// Recovers every record in the working folder, and those of the databases elsewhere
// that a run here listed (their folders are locked first). Called before anything else.
void recover_working_folder(RunState& state, RunLocks& locks);

}  // namespace corvina
