#include "staging/restore.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "platform/file_io.h"
#include "platform/names.h"
#include "platform/pure_write.h"
#include "staging/intent_record.h"
#include "staging/recovery.h"

namespace corvina {
namespace {

void remove_file(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove(to_path(path), ignored);
}

void remove_working_files(RunState& state) {
  std::set<std::string> removed;
  for (const std::string& entry : state.orgbib) {
    if (entry.empty()) continue;
    if (state.was_rewritten(entry, true) && removed.insert(entry).second) {
      state.console << "\n*** remove1 " << entry << " ...\n";
      remove_file(entry);
      state.console << "done.\n";
    }
    state.console << "\n*** remove2 " << entry << "-tmp.bib ...\n\n";
    // A database left alone never had a working copy: a file of that name is the user's.
    if (std::find(state.recorded.begin(), state.recorded.end(), entry) != state.recorded.end()) {
      remove_file(working_copy_name(entry));
    }
    state.console << "done.\n";
  }
}

bool write_back(RunState& state, const std::string& entry, const IntentRecord& record) {
  const std::string backup = backup_name(entry);
  state.console << "\n*** copy   " << backup << " to " << entry << "...\n";
  std::string error = record.state == IntentRecord::State::kBackedUp
                          ? write_back_database(entry, record.mtime)
                          : "! the record " + record_name(entry) + " cannot be read.\n";
  if (!error.empty()) {
    state.console << error << "! cannot restore " << entry << ": its text is kept in " << backup
                  << ". Copy it back by hand.\n";
    return false;
  }
  state.console << "done.\n";
  return true;
}

// The backup is a second name of the user's file, unless the file system had no hard links.
bool same_file(const std::string& entry, const std::string& backup) {
  std::error_code error;
  return std::filesystem::equivalent(to_path(entry), to_path(backup), error);
}

bool is_backed_up(const RunState& state, const std::string& entry) {
  return std::find(state.fromorgbib.begin(), state.fromorgbib.end(), entry) != state.fromorgbib.end();
}

}  // namespace

bool remove_and_restore(RunState& state) {
  remove_working_files(state);
  // Sorting copies and working copies are gone: their records have done their job.
  for (const std::string& entry : state.recorded) {
    if (!is_backed_up(state, entry)) remove_record(entry);
  }
  bool all_restored = true;
  for (const std::string& entry : state.fromorgbib) {
    const std::string backup = backup_name(entry);
    if (state.was_rewritten(entry, false)) {
      // A failed write-back keeps the record too, so that the next run tries again.
      if (!write_back(state, entry, read_record(entry))) {
        all_restored = false;
        continue;
      }
    } else if (!same_file(entry, backup) && !same_contents(entry, backup)) {
      state.console << "\n! " << entry << " changed while the run was going on; its earlier text is kept in "
                    << backup << ".\n";
      remove_record(entry);
      continue;
    }
    state.console << "\n*** remove3 " << backup << " ...\n";
    remove_file(backup);
    remove_record(entry);
    state.console << "done.\n";
  }
  if (all_restored && listed_elsewhere()) remove_elsewhere_list();
  return all_restored;
}

}  // namespace corvina
