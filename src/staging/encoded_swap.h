#pragma once
// The step between encoding a database and running the back end: the encoded text, made
// under the entry's working-copy name, takes the entry's own name.

#include <string>

#include "staging/intent_record.h"

namespace corvina {

// Completes the intent record of a backed-up entry with what its backup holds, as the
// encoder read it whole, and the time it keeps: from then on a killed run is put back by
// the next. Returns an empty string, or the message naming the file and the reason.
std::string complete_backup_record(const std::string& entry, const FileDigest& backup);

// Renames the encoded text over the entry, in one step: the name holds either the user's
// file or the whole encoded text, never a part. Returns an empty string, or the message;
// the entry is unchanged then.
std::string put_encoded_in_place(const std::string& entry);

}  // namespace corvina
