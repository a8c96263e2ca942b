#include "staging/restore.h"

#include <filesystem>
#include <set>

#include "driver/pure_write.h"

namespace corvina {
namespace {

void remove_file(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
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
    remove_file(entry + "-tmp.bib");
    state.console << "done.\n";
  }
}

bool write_back(RunState& state, const std::string& entry, const std::string& backup) {
  state.console << "\n*** copy   " << backup << " to " << entry << "...\n";
  std::string error = pure_write(backup, entry);
  if (error.empty() && !same_contents(backup, entry)) {
    error = "! " + entry + " does not match " + backup + " after copying.\n";
  }
  if (!error.empty()) {
    state.console << error << "! cannot restore " << entry << ": its text is kept in " << backup
                  << ". Copy it back by hand.\n";
    return false;
  }
  copy_write_time(backup, entry);
  state.console << "done.\n";
  return true;
}

}  // namespace

bool remove_and_restore(RunState& state) {
  remove_working_files(state);
  bool all_restored = true;
  for (const std::string& entry : state.fromorgbib) {
    const std::string backup = entry + "-backup.bib";
    std::error_code ignored;
    if (!std::filesystem::exists(backup, ignored)) continue;  // a database named twice
    if (state.was_rewritten(entry, false)) {
      if (!write_back(state, entry, backup)) {
        all_restored = false;
        continue;
      }
    } else if (!same_contents(entry, backup)) {
      state.console << "\n! " << entry << " changed while the run was going on; its earlier text is kept in "
                    << backup << ".\n";
      continue;
    }
    state.console << "\n*** remove3 " << backup << " ...\n";
    remove_file(backup);
    state.console << "done.\n";
  }
  return all_restored;
}

}  // namespace corvina
