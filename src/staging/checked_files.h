#pragma once
// Looks and removals whose failure is an error, never an answer. The run deletes, renames
// and writes over files on the strength of what they tell, so a look that failed (an I/O
// error, a refused permission) must stop it rather than pass for "nothing is there".

#include <string>

#include "platform/platform.h"

namespace corvina {

// True when anything is at `path`, a dangling symbolic link included. Throws RunError
// (kExitFileError) naming the path and the reason when that cannot be told.
bool present(const std::string& path);

// What `path` leads to, links followed; throws as present() does.
FileKind kind_of(const std::string& path);

// Removes what is at `path`, if anything. Returns an empty string, or the message naming
// the path and the reason; nothing is taken for removed that is not gone.
std::string remove_if_present(const std::string& path);

// The message for a look at `path` that failed with `err`.
std::string look_error(const std::string& path, int err);

}  // namespace corvina
