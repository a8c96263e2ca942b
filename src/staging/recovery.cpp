#include "staging/recovery.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "platform/file_io.h"
#include "platform/names.h"
#include "platform/platform.h"
#include "platform/pure_write.h"
#include "core/run_error.h"

namespace corvina {
namespace {

using State = IntentRecord::State;

void remove_quietly(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove(to_path(path), ignored);
}

void remove_or_throw(const std::string& path, const std::string& why) {
  std::error_code error;
  std::filesystem::remove(to_path(path), error);
  if (error) throw RunError(kExitFileError, "\n! cannot remove " + path + ": " + error.message() + ". " + why + "\n");
}

void restore_from_backup(RunState& state, const std::string& entry, const IntentRecord& record) {
  const std::string backup = backup_name(entry);
  if (!path_exists(backup)) return;  // removed after the database was written back
  if (digest_file(backup, record.backup.kind) != record.backup) {
    throw RunError(kExitFileError, "\n! " + backup + " does not match its record " + record_name(entry) +
                                       ": " + entry + " and both files are left as they are. Put the right text "
                                       "back in " + entry + " by hand, then remove the other two.\n");
  }
  std::error_code error_code;
  if (std::filesystem::equivalent(to_path(entry), to_path(backup), error_code)) {
    // Stopped before the encoded text took the entry's name: the backup is a second name.
    remove_quietly(working_copy_name(entry));
    remove_or_throw(backup, "It is a second name of " + entry + ", which was not changed.");
    return;
  }
  state.console << "\n*** " << entry << " was left with sort keys by a run that was stopped: restoring it from "
                << backup << " ...";
  std::string error = write_back_database(entry, record.mtime);
  if (!error.empty()) {
    throw RunError(kExitFileError, "\n" + error + "! cannot restore " + entry + ": its text is kept in " + backup +
                                       ". Copy it back by hand.\n");
  }
  state.console << "done.\n";
  remove_quietly(working_copy_name(entry));
  remove_or_throw(backup, "The database is back in place: remove it by hand.");
}

void remove_partial_backup(RunState& state, const std::string& entry) {
  const std::string backup = backup_name(entry);
  if (!path_exists(backup)) return;
  state.console << "\n*** removing " << backup << ", an incomplete backup left by a run that was stopped ("
                << entry << " was not changed) ...";
  remove_or_throw(backup, "It is an incomplete copy of " + entry + ", which was not changed.");
  state.console << "done.\n";
}

void remove_sorting_copy(RunState& state, const std::string& entry) {
  remove_quietly(working_copy_name(entry));
  if (!path_exists(entry)) return;
  state.console << "\n*** " << entry << " is the sorting copy of an interrupted run: removing it ...";
  remove_or_throw(entry, "It holds sort keys, not your database: remove it.");
  state.console << "done.\n";
}

}  // namespace

std::string write_back_database(const std::string& entry, int64_t mtime) {
  const std::string backup = backup_name(entry);
  std::error_code error;
  // Never replaced: the entry still is the file the backup names.
  if (std::filesystem::equivalent(to_path(entry), to_path(backup), error)) return "";
  std::filesystem::rename(to_path(backup), to_path(entry), error);
  if (error) return file_error("write", entry, error.value());
  if (!set_write_time(entry, mtime)) return "! cannot set the modification time of " + entry + ".\n";
  const std::string folder = from_path(to_path(entry).parent_path());
  if (int err = sync_folder(folder)) return file_error("sync the folder of", entry, err);
  return "";
}

void recover_entry(RunState& state, const std::string& entry) {
  IntentRecord record = read_record(entry);
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
  remove_quietly(working_copy_name(entry));
  remove_record(entry);
}

void recover_working_folder(RunState& state, RunLocks& locks) {
  if (auto elsewhere = listed_elsewhere()) {
    std::vector<std::string> folders;
    for (const std::string& entry : *elsewhere) folders.push_back(from_path(to_path(entry).parent_path()));
    locks.take_folders(folders, state.console);
    for (const std::string& entry : *elsewhere) recover_entry(state, entry);
    remove_elsewhere_list();
  }
  std::vector<std::string> entries;
  std::error_code error;
  for (const auto& file : std::filesystem::directory_iterator(".", error)) {
    std::string entry = entry_of_record(from_path(file.path().filename()));
    if (!entry.empty()) entries.push_back(entry);
  }
  std::sort(entries.begin(), entries.end());
  for (const std::string& entry : entries) recover_entry(state, entry);
}

}  // namespace corvina
