#include "staging/copybib.h"

#include <unistd.h>

#include <filesystem>

#include "driver/file_io.h"
#include "driver/pure_write.h"
#include "driver/run_error.h"
#include "staging/leftovers.h"
#include "staging/locator.h"

namespace corvina {
namespace {

using Staged = RunState::Staged;

bool readable_file(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::is_regular_file(path, ignored) && InputFile(path).is_open();
}

bool has_bib_ending(const std::string& entry) {
  return entry.size() >= 4 && entry.compare(entry.size() - 4, 4, ".bib") == 0;
}

// bibtex and biblatex read \bibliography{refs} as refs.bib.
std::string name_to_look_for(const std::string& entry) {
  if (readable_file(entry) || has_bib_ending(entry)) return entry;
  return entry + ".bib";
}

void remove_leftover_copy(RunState& state, const std::string& entry) {
  state.console << "\n*** " << entry << " is the sorting copy of an interrupted run: removing it ...";
  std::error_code error;
  std::filesystem::remove(entry, error);
  if (error) {
    throw RunError(kExitFileError, "\n! cannot remove " + entry + ": " + error.message() +
                                       ". It holds sort keys, not your database: remove it.\n");
  }
  state.console << "done.\n";
}

void warn_left_alone(RunState& state, const std::string& entry, const std::string& why) {
  state.console << "\n!Warning: " << why << entry
                << " is left as it is, and its Chinese entries are not sorted.\n";
}

bool make_working_copy(RunState& state, const std::string& from, const std::string& entry,
                       const char* message) {
  const std::string working_copy = entry + "-tmp.bib";
  state.console << "\n" << message << from << " to " << working_copy << " ...";
  std::string error = pure_write(from, working_copy);
  if (!error.empty()) {
    state.console << "\n" << error;
    warn_left_alone(state, entry, "");
    return false;
  }
  state.console << "done.\n";
  return true;
}

bool make_backup(RunState& state, const std::string& entry) {
  const std::string backup = entry + "-backup.bib";
  state.console << "\n*** backup from " << entry << " to " << backup << " ...";
  std::string error = pure_write(entry, backup);
  if (error.empty() && !same_contents(entry, backup)) {
    error = "! the copy in " + backup + " does not match " + entry + ".\n";
  }
  if (!error.empty()) {
    std::error_code ignored;
    std::filesystem::remove(backup, ignored);
    state.console << "\n" << error;
    warn_left_alone(state, entry, "without a backup, ");
    return false;
  }
  // The restore gives the database this time back, so make and latexmk see no change.
  copy_write_time(entry, backup);
  state.fromorgbib.push_back(entry);
  state.console << "done.\n";
  return true;
}

Staged stage_local(RunState& state, const std::string& entry) {
  if (access(entry.c_str(), W_OK) != 0) {
    warn_left_alone(state, entry, "read-only: ");
    return Staged::kLeftAlone;
  }
  if (path_exists(entry + "-backup.bib")) settle_old_backup(state, entry);
  if (!make_backup(state, entry) || !make_working_copy(state, entry, entry, "*** copy ")) {
    return Staged::kLeftAlone;
  }
  return Staged::kBackedUp;
}

Staged stage_located(RunState& state, const std::string& entry, const std::string& path) {
  return make_working_copy(state, path, entry, "***: copy ") ? Staged::kLocated : Staged::kLeftAlone;
}

Staged stage_one(RunState& state, std::string& entry) {
  // An empty name (from "\bibliography{a,}") names no database at all.
  if (entry.empty()) return Staged::kLeftAlone;
  std::string wanted = name_to_look_for(entry);
  if (readable_file(wanted) && is_leftover_encoded_copy(state.build, wanted)) {
    remove_leftover_copy(state, wanted);
  }
  if (readable_file(wanted)) {
    entry = wanted;
    return stage_local(state, entry);
  }
  std::string path = locate_database(state, wanted);
  if (path.empty()) {
    throw RunError(kExitDatabaseMissing, "\n!Warning: cannot find " + entry + ". Please check it.\n");
  }
  entry = wanted;
  return stage_located(state, entry, path);
}

}  // namespace

void copybib(RunState& state) {
  state.staged.assign(state.orgbib.size(), Staged::kLeftAlone);
  for (size_t i = 0; i < state.orgbib.size(); ++i) {
    state.staged[i] = stage_one(state, state.orgbib[i]);
  }
}

}  // namespace corvina
