#include "staging/encoded_swap.h"

#include "core/run_error.h"
#include "platform/platform.h"

namespace corvina {

std::string complete_backup_record(const std::string& entry, const FileDigest& backup) {
  // The backup is the user's file, or a copy with its time.
  const std::optional<int64_t> mtime = write_time(backup_name(entry));
  if (!mtime) return "! cannot read the modification time of " + backup_name(entry) + ".\n";
  return complete_record(entry, backup, *mtime);
}

std::string put_encoded_in_place(const std::string& entry) {
  // The entry's file keeps its backup name.
  const int error = rename_onto_linked(working_copy_name(entry), entry);
  return error ? file_error("write", entry, error) : "";
}

}  // namespace corvina
