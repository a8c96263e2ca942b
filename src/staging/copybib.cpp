#include "staging/copybib.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "platform/file_io.h"
#include "platform/names.h"
#include "platform/platform.h"
#include "platform/pure_write.h"
#include "core/run_error.h"
#include "platform/interrupt.h"
#include "staging/checked_files.h"
#include "staging/intent_record.h"
#include "staging/locator.h"
#include "staging/recovery.h"

namespace corvina {
namespace {

using Staged = RunState::Staged;

bool has_bib_ending(const std::string& entry) {
  return entry.size() >= 4 && entry.compare(entry.size() - 4, 4, ".bib") == 0;
}

// bibtex and biblatex read \bibliography{refs} as refs.bib.
std::string name_to_look_for(const std::string& entry) {
  if (has_bib_ending(entry) || kind_of(entry) == FileKind::kRegular) return entry;
  return entry + ".bib";
}

// A FIFO would hang the run, a device could be endless: only regular files are read.
void refuse_unusable(const std::string& name) {
  FileKind kind = kind_of(name);
  if (kind == FileKind::kMissing) return;
  if (kind != FileKind::kRegular) {
    throw RunError(kExitFileError, "\n! " + name + " is " + describe(kind) + ", not a regular file: it is not read.\n");
  }
  InputFile in(name);
  if (!in.is_open()) throw RunError(kExitFileError, "\n" + file_error("read", name, in.error()));
}

void warn_left_alone(RunState& state, const std::string& entry, const std::string& why) {
  // A call cut short by a signal ends in the signal's restore, not in a warning.
  throw_if_interrupted();
  state.database_left_unsorted = true;
  state.console << "\n!Warning: " << why << entry
                << " is left as it is, and its Chinese entries are not sorted.\n";
}

// What staging will do with one entry; `from` is the locator's path for kLocated.
struct Plan {
  Staged how = Staged::kLeftAlone;
  std::string from;
};

Plan plan_one(RunState& state, std::string& entry, std::set<std::string>& seen) {
  // An empty name (from "\bibliography{a,}") names no database at all.
  if (entry.empty()) return {};
  const std::string wanted = name_to_look_for(entry);
  refuse_unusable(wanted);
  Plan plan;
  if (kind_of(wanted) == FileKind::kRegular) {
    plan.how = Staged::kBackedUp;
  } else {
    plan.from = locate_database(state, wanted);
    if (plan.from.empty()) {
      throw RunError(kExitDatabaseMissing, "\n!Warning: cannot find " + entry + ". Please check it.\n");
    }
    plan.how = Staged::kLocated;
  }
  entry = wanted;
  std::error_code ignored;
  // A database named twice is staged once.
  if (!seen.insert(from_path(std::filesystem::weakly_canonical(to_path(entry), ignored))).second) return {};
  // A read-only file is sorted too: the run never writes into it (its backup is the file
  // itself under a second name), and it comes back with its mode.
  return plan;
}

bool outside_working_folder(const std::string& entry) {
  std::error_code ignored;
  std::filesystem::path folder = to_path(entry).parent_path();
  return std::filesystem::weakly_canonical(folder.empty() ? std::filesystem::path(".") : folder, ignored) !=
         std::filesystem::weakly_canonical(".", ignored);
}

// No file of the user's is ever overwritten or removed: a working file name that is
// taken (and was not freed by the recovery just before) stops the run.
void check_names_are_free(const std::string& entry, const Plan& plan) {
  if (outside_working_folder(entry) && present(kElsewhereList)) {
    throw RunError(kExitFileError, "\n! " + std::string(kElsewhereList) + " is in the way: it is the name of the "
                                       "list of databases rewritten outside this folder, and no run of ours left it "
                                       "there. Rename or move it, then run again.\n");
  }
  struct Name {
    std::string path;
    const char* role;
  };
  const Name names[] = {
      {record_name(entry), "intent record"},
      {working_copy_name(entry), "working copy"},
      plan.how == Staged::kBackedUp ? Name{backup_name(entry), "backup"} : Name{entry, "sorting copy"},
  };
  for (const Name& name : names) {
    if (!present(name.path)) continue;
    throw RunError(kExitFileError, "\n! " + name.path + " is in the way: it is the name of the " + name.role +
                                       " of " + entry + ", and no run of ours left it there. Rename or move it, "
                                       "then run again.\n");
  }
}

// Where hard links cannot be made: a copy, synced, with the file's time and permissions,
// so that renaming it back gives the same file as far as the user can see.
std::string copy_for_backup(const std::string& entry, const std::string& backup) {
  if (std::string error = pure_write(entry, backup); !error.empty()) return error;
  if (int err = sync_file(backup)) return file_error("sync", backup, err);
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(to_path(entry), error);
  if (!error) std::filesystem::permissions(to_path(backup), status.permissions(), error);
  if (error) return file_error("give the permissions of " + entry + " to", backup, error.default_error_condition().value());
  int err = 0;
  if (!copy_write_time(entry, backup, &err)) return file_error("give the time of " + entry + " to", backup, err);
  return "";
}

// The backup is the user's file itself under a second name: nothing of it is ever written.
// The encoded text is made as a new file that then takes the entry's name, and the end of
// the run renames the backup back, so a symbolic link comes back as the link, and the
// file with its own permissions, owner, time and other hard links. A symbolic link is
// backed up as a link to the same file.
std::string write_backup(const std::string& entry) {
  const std::string backup = backup_name(entry);
  std::error_code error;
  if (std::filesystem::is_symlink(to_path(entry), error)) {
    std::filesystem::copy_symlink(to_path(entry), to_path(backup), error);
  } else {
    std::filesystem::create_hard_link(to_path(entry), to_path(backup), error);
  }
  if (error) {
    if (std::string failed = copy_for_backup(entry, backup); !failed.empty()) return failed;
  }
  if (int err = sync_folder(from_path(to_path(backup).parent_path()))) {
    return file_error("sync the folder of", backup, err);
  }
  return "";
}

// Takes back what staging made of an entry that it gives up on: `made` (a backup that may
// be partial) and then the record. What cannot be removed keeps the record, which tells
// the next run that the file is a leftover of ours to remove, not a file in its way.
void forget(RunState& state, const std::string& entry, const std::string& made) {
  state.recorded.erase(std::find(state.recorded.begin(), state.recorded.end(), entry));
  std::string error = made.empty() ? "" : remove_if_present(made);
  if (error.empty()) error = remove_record(entry);
  if (error.empty()) return;
  state.console << error << "! it is left with the record of " << entry << "; the next run removes them.\n";
}

bool make_backup(RunState& state, const std::string& entry) {
  const std::string backup = backup_name(entry);
  state.console << "\n*** backup from " << entry << " to " << backup << " ...";
  std::string error = write_backup(entry);
  if (!error.empty()) {
    state.console << "\n" << error;
    forget(state, entry, backup);
    warn_left_alone(state, entry, "without a backup, ");
    return false;
  }
  state.fromorgbib.push_back(entry);
  state.console << "done.\n";
  return true;
}

bool start(RunState& state, const std::string& entry, IntentRecord::State kind) {
  const bool elsewhere = outside_working_folder(entry);
  state.listed_elsewhere = state.listed_elsewhere || elsewhere;
  std::string error = elsewhere ? list_elsewhere(entry) : "";
  if (error.empty()) error = start_record(entry, kind);
  state.recorded.push_back(entry);
  if (!error.empty()) {
    state.console << "\n" << error;
    forget(state, entry, "");
    warn_left_alone(state, entry, "");
    return false;
  }
  return true;
}

// Returns the file the encoder reads for the entry, empty when it is left alone.
std::string stage(RunState& state, const std::string& entry, const Plan& plan) {
  if (plan.how == Staged::kBackedUp) {
    if (!start(state, entry, IntentRecord::State::kBackingUp) || !make_backup(state, entry)) return "";
    return backup_name(entry);
  }
  if (plan.how == Staged::kLocated) {
    if (!start(state, entry, IntentRecord::State::kEncodedCopy)) return "";
    return plan.from;
  }
  return "";
}

}  // namespace

void copybib(RunState& state, RunLocks& locks) {
  // The .bbl files are read and written later; a FIFO there would hang the run then.
  for (const std::string& bbl : {state.purename + ".bbl", state.build.temp_bbl(state.purename)}) {
    FileKind kind = kind_of(bbl);
    if (kind != FileKind::kMissing && kind != FileKind::kRegular) {
      throw RunError(kExitFileError, "\n! " + bbl + " is " + describe(kind) + ", not a regular file: it is not written.\n");
    }
  }
  std::vector<Plan> plans;
  std::set<std::string> seen;
  std::vector<std::string> folders;
  for (std::string& entry : state.orgbib) {
    plans.push_back(plan_one(state, entry, seen));
    if (plans.back().how != Staged::kLeftAlone) {
      folders.push_back(from_path(to_path(entry).parent_path()));
    }
  }
  locks.take_folders(folders, state.console);
  for (size_t i = 0; i < plans.size(); ++i) {
    if (plans[i].how != Staged::kLeftAlone) recover_entry(state, state.orgbib[i]);
  }
  for (size_t i = 0; i < plans.size(); ++i) {
    if (plans[i].how != Staged::kLeftAlone) check_names_are_free(state.orgbib[i], plans[i]);
  }
  state.staged.assign(state.orgbib.size(), Staged::kLeftAlone);
  state.encoder_input.assign(state.orgbib.size(), "");
  for (size_t i = 0; i < plans.size(); ++i) {
    state.encoder_input[i] = stage(state, state.orgbib[i], plans[i]);
    if (!state.encoder_input[i].empty()) state.staged[i] = plans[i].how;
  }
}

}  // namespace corvina
