#include "staging/recovery.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "platform/file_io.h"
#include "platform/names.h"
#include "platform/platform.h"
#include "core/run_error.h"
#include "staging/checked_files.h"

namespace corvina {
namespace {

using State = IntentRecord::State;

void remove_or_throw(const std::string& path, const std::string& why) {
  std::string error = remove_if_present(path);
  if (!error.empty()) throw RunError(kExitFileError, "\n" + error + "! " + why + "\n");
}

// Whatever cannot be read or looked at while the record is being acted on stops the
// run with every file of the entry left as it is: the next run starts again from them.
[[noreturn]] void stop_untouched(const std::string& entry, const std::string& error) {
  throw RunError(kExitFileError, "\n" + error + "! " + entry + " and its record " + record_name(entry) +
                                     " are left as they are; run again once that is mended.\n");
}

// True when `entry` and `backup` are two names of one file; stops the run when that
// cannot be told.
bool one_file(const std::string& entry, const std::string& backup) {
  std::error_code error;
  const bool same = std::filesystem::equivalent(to_path(entry), to_path(backup), error);
  if (error) stop_untouched(entry, look_error(entry + " and " + backup, error.default_error_condition().value()));
  return same;
}

// The backup is gone: a run put the database back and was stopped before its record
// went. The record is trusted only once the database holds what it says.
void check_written_back(const std::string& entry, const IntentRecord& record) {
  int err = 0;
  const std::optional<FileDigest> held = digest_file(entry, record.backup.kind, &err);
  if (!held) stop_untouched(entry, file_error("read", entry, err));
  if (*held != record.backup) {
    throw RunError(kExitFileError, "\n! " + entry + " does not match its record " + record_name(entry) + ", and " +
                                       backup_name(entry) + " is gone: both are left as they are. Check " + entry +
                                       " by hand, then remove the record.\n");
  }
  if (write_time(entry) == record.mtime) return;
  if (!set_write_time(entry, record.mtime, &err)) stop_untouched(entry, file_error("set the modification time of", entry, err));
}

void restore_from_backup(RunState& state, const std::string& entry, const IntentRecord& record) {
  const std::string backup = backup_name(entry);
  if (!present(backup)) return check_written_back(entry, record);
  int err = 0;
  const std::optional<FileDigest> held = digest_file(backup, record.backup.kind, &err);
  if (!held) stop_untouched(entry, file_error("read", backup, err));
  if (*held != record.backup) {
    throw RunError(kExitFileError, "\n! " + backup + " does not match its record " + record_name(entry) +
                                       ": " + entry + " and both files are left as they are. Put the right text "
                                       "back in " + entry + " by hand, then remove the other two.\n");
  }
  if (present(entry) && one_file(entry, backup)) {
    // Stopped before the encoded text took the entry's name: the backup is a second name.
    remove_or_throw(working_copy_name(entry), "It holds sort keys, not your database: remove it.");
    remove_or_throw(backup, "It is a second name of " + entry + ", which was not changed.");
    return;
  }
  state.console << "\n*** " << entry << " was left with sort keys by a run that was stopped: restoring it from "
                << backup << " ...";
  bool back = false;
  std::string error = write_back_database(entry, record.mtime, &back);
  if (!error.empty() && back) stop_untouched(entry, error);
  if (!error.empty()) {
    throw RunError(kExitFileError, "\n" + error + "! cannot restore " + entry + ": its text is kept in " + backup +
                                       ". Copy it back by hand.\n");
  }
  state.console << "done.\n";
}

void remove_partial_backup(RunState& state, const std::string& entry) {
  const std::string backup = backup_name(entry);
  if (!present(backup)) return;
  state.console << "\n*** removing " << backup << ", an incomplete backup left by a run that was stopped ("
                << entry << " was not changed) ...";
  remove_or_throw(backup, "It is an incomplete copy of " + entry + ", which was not changed.");
  state.console << "done.\n";
}

void remove_sorting_copy(RunState& state, const std::string& entry) {
  remove_or_throw(working_copy_name(entry), "It holds sort keys, not your database: remove it.");
  if (!present(entry)) return;
  state.console << "\n*** " << entry << " is the sorting copy of an interrupted run: removing it ...";
  remove_or_throw(entry, "It holds sort keys, not your database: remove it.");
  state.console << "done.\n";
}

}  // namespace

std::string write_back_database(const std::string& entry, int64_t mtime, bool* back) {
  const std::string backup = backup_name(entry);
  if (back) *back = false;
  std::error_code error;
  // Never replaced: the entry still is the file the backup names.
  const bool same = std::filesystem::equivalent(to_path(entry), to_path(backup), error);
  if (error && error != std::errc::no_such_file_or_directory) {
    return look_error(entry + " and " + backup, error.default_error_condition().value());
  }
  if (same) {
    if (back) *back = true;
    return "";
  }
  std::filesystem::rename(to_path(backup), to_path(entry), error);
  if (error) return file_error("write", entry, error.default_error_condition().value());
  if (back) *back = true;
  int err = 0;
  if (!set_write_time(entry, mtime, &err)) return file_error("set the modification time of", entry, err);
  const std::string folder = from_path(to_path(entry).parent_path());
  if (int err = sync_folder(folder)) return file_error("sync the folder of", entry, err);
  return "";
}

void recover_entry(RunState& state, const std::string& entry) {
  IntentRecord record = read_record(entry);
  if (record.read_error != 0) stop_untouched(entry, file_error("read", record_name(entry), record.read_error));
  switch (record.state) {
    case State::kForeign:
      return;
    case State::kStarted:
      break;
    case State::kBackingUp:
      remove_partial_backup(state, entry);
      break;
    case State::kBackedUp:
      restore_from_backup(state, entry, record);
      break;
    case State::kEncodedCopy:
      remove_sorting_copy(state, entry);
      break;
  }
  remove_or_throw(working_copy_name(entry), "It holds sort keys, not your database: remove it.");
  remove_or_throw(record_name(entry), entry + " is as it was: remove the record by hand.");
}

void recover_working_folder(RunState& state, RunLocks& locks) {
  if (auto elsewhere = listed_elsewhere()) {
    std::vector<std::string> folders;
    for (const std::string& entry : *elsewhere) folders.push_back(from_path(to_path(entry).parent_path()));
    locks.take_folders(folders, state.console);
    for (const std::string& entry : *elsewhere) recover_entry(state, entry);
    remove_or_throw(kElsewhereList, "The databases it lists are as they were: remove it by hand.");
  }
  std::vector<std::string> entries;
  std::error_code error;
  for (std::filesystem::directory_iterator file(".", error), end; !error && file != end; file.increment(error)) {
    std::string entry = entry_of_record(from_path(file->path().filename()));
    if (!entry.empty()) entries.push_back(entry);
  }
  if (error) {
    throw RunError(kExitFileError, "\n" + file_error("read the folder", ".", error.default_error_condition().value()));
  }
  std::sort(entries.begin(), entries.end());
  for (const std::string& entry : entries) recover_entry(state, entry);
}

}  // namespace corvina
