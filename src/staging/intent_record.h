#pragma once
// The note a run writes beside a database before it makes any working file of it, so
// that the next run can put the database back whatever instant this one was killed at.
// It is named entry + "-restore.txt" and is only ever appended to, synced after each step:
//   1. a header and the kind, "backup" (the user's file is rewritten in place) or
//      "encoded copy" (a sorting copy of a database found elsewhere is made under the
//      entry), before the first working file of the database is made;
//   2. for a backup, "complete SIZE SUM MTIME words" once the backup is made and synced
//      and the encoder has read it whole (a record of an earlier version has no "words":
//      its sum is over bytes). Only then does the encoded text take the database's name.
// A line cut short by a kill counts as not written.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "staging/file_digest.h"

namespace corvina {

struct IntentRecord {
  enum class State {
    kForeign,      // not a record of ours (or no file at all)
    kStarted,      // the first write was cut: nothing of the database was made
    kBackingUp,    // the backup may be partial; the database was never touched
    kBackedUp,     // the backup is complete; the database may hold anything
    kEncodedCopy,  // a sorting copy may stand under the entry; the database is elsewhere
  };
  State state = State::kForeign;
  FileDigest backup;  // kBackedUp: what the backup holds
  int64_t mtime = 0;  // kBackedUp: the database's modification time before the run
  // errno when a file stands under the record's name but cannot be read: then `state`
  // tells nothing, and nothing of the entry may be touched.
  int read_error = 0;
};

std::string record_name(const std::string& entry);
std::string backup_name(const std::string& entry);
std::string working_copy_name(const std::string& entry);
// The entry whose record `file_name` would be, or empty.
std::string entry_of_record(const std::string& file_name);

IntentRecord read_record(const std::string& entry);

// The write steps. Each returns an empty string, or a message naming the file and errno.
std::string start_record(const std::string& entry, IntentRecord::State kind);
std::string complete_record(const std::string& entry, const FileDigest& backup, int64_t mtime);
// Once nothing of the entry is left to put back; the last file of the entry to go.
// Returns an empty string, or the message naming the record and the reason.
std::string remove_record(const std::string& entry);

// A database rewritten outside the working folder (../shared/refs.bib) has its record
// beside it; the working folder keeps the list of such entries, so that its next run
// finds them even when the document no longer names them. An entry is listed (and the
// list synced) before its record is started; the list goes once all are put back.
inline constexpr const char* kElsewhereList = "corvina-elsewhere.txt";
std::string list_elsewhere(const std::string& entry);
// The entries listed; a line cut short by a kill is left out. Empty when the file is
// missing or not a list of ours. Throws RunError when it is there but cannot be read.
std::optional<std::vector<std::string>> listed_elsewhere();

}  // namespace corvina
