#include "staging/restore.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "core/run_error.h"
#include "platform/file_io.h"
#include "platform/names.h"
#include "staging/checked_files.h"
#include "staging/file_digest.h"
#include "staging/intent_record.h"
#include "staging/recovery.h"

namespace corvina {
namespace {

bool is_listed(const std::vector<std::string>& list, const std::string& entry) {
  return std::find(list.begin(), list.end(), entry) != list.end();
}

// A file of the run that cannot be removed keeps its entry's record, so that the next
// run knows the file for its own and removes it, rather than stop on it.
bool remove_reporting(RunState& state, const std::string& path) {
  std::string error = remove_if_present(path);
  if (error.empty()) return true;
  state.console << error << "! " << path << " is left; the next run removes it.\n";
  return false;
}

// Returns the entries whose working files could not all be removed.
std::set<std::string> remove_working_files(RunState& state) {
  std::set<std::string> removed, left;
  for (const std::string& entry : state.orgbib) {
    if (entry.empty()) continue;
    if (state.was_rewritten(entry, true) && removed.insert(entry).second) {
      state.console << "\n*** remove1 " << entry << " ...\n";
      if (!remove_reporting(state, entry)) left.insert(entry);
      state.console << "done.\n";
    }
    state.console << "\n*** remove2 " << entry << "-tmp.bib ...\n\n";
    // A database left alone never had a working copy: a file of that name is the user's.
    if (is_listed(state.recorded, entry) && !remove_reporting(state, working_copy_name(entry))) left.insert(entry);
    state.console << "done.\n";
  }
  return left;
}

bool write_back(RunState& state, const std::string& entry, const IntentRecord& record) {
  const std::string backup = backup_name(entry);
  state.console << "\n*** copy   " << backup << " to " << entry << "...\n";
  bool back = false;
  std::string error = record.state == IntentRecord::State::kBackedUp ? write_back_database(entry, record.mtime, &back)
                      : record.read_error ? file_error("read", record_name(entry), record.read_error)
                                          : "! the record " + record_name(entry) + " cannot be read.\n";
  if (!error.empty() && back) {
    state.console << error << "! " << entry << " holds its own text again; its record " << record_name(entry)
                  << " stays, so that the next run checks it.\n";
    return false;
  }
  if (!error.empty()) {
    state.console << error << "! cannot restore " << entry << ": its text is kept in " << backup
                  << ". Copy it back by hand.\n";
    return false;
  }
  state.console << "done.\n";
  return true;
}

// 1 when the two files hold the same bytes, 0 when not, -1 (said on the console) when
// either cannot be read.
int compare_files(RunState& state, const std::string& entry, const std::string& backup) {
  int err = 0;
  std::optional<FileDigest> a = digest_file(entry, FileDigest::Kind::kWords, &err);
  std::optional<FileDigest> b = a ? digest_file(backup, FileDigest::Kind::kWords, &err) : std::nullopt;
  if (a && b) return *a == *b ? 1 : 0;
  state.console << file_error("read", a ? backup : entry, err) << "! " << entry << ", " << backup << " and "
                << record_name(entry) << " are left; the next run puts them right.\n";
  return -1;
}

// The backup of a database that was never replaced: a second name of the user's file,
// or a copy where the file system has no hard links: it goes, or it is kept without its
// record because the database changed meanwhile, or it stays with its record because that
// could not be told (the reason said).
enum class Unused { kGoes, kKept, kStays };
Unused unused_backup(RunState& state, const std::string& entry) {
  const std::string backup = backup_name(entry);
  std::error_code error;
  const bool same = std::filesystem::equivalent(to_path(entry), to_path(backup), error);
  if (error) {
    state.console << look_error(entry + " and " + backup, error.default_error_condition().value()) << "! " << entry
                  << ", " << backup << " and " << record_name(entry) << " are left; the next run puts them right.\n";
    return Unused::kStays;
  }
  const int equal = same ? 1 : compare_files(state, entry, backup);
  if (equal == 0) {
    state.console << "\n! " << entry << " changed while the run was going on; its earlier text is kept in "
                  << backup << ".\n";
    return remove_reporting(state, record_name(entry)) ? Unused::kKept : Unused::kStays;
  }
  return equal == 1 ? Unused::kGoes : Unused::kStays;
}

}  // namespace

bool remove_and_restore(RunState& state) {
  const std::set<std::string> left = remove_working_files(state);
  bool all_done = left.empty();
  // Sorting copies and working copies are gone: their records have done their job.
  for (const std::string& entry : state.recorded) {
    if (!is_listed(state.fromorgbib, entry) && !left.count(entry)) all_done &= remove_reporting(state, record_name(entry));
  }
  for (const std::string& entry : state.fromorgbib) {
    const std::string backup = backup_name(entry);
    const Unused unused = state.was_rewritten(entry, false)
                              ? (write_back(state, entry, read_record(entry)) ? Unused::kGoes : Unused::kStays)
                              : unused_backup(state, entry);
    if (unused != Unused::kGoes) {
      all_done &= unused == Unused::kKept;
      continue;
    }
    state.console << "\n*** remove3 " << backup << " ...\n";
    // The record goes only after the backup: a backup without its record would stop
    // every later run.
    if (remove_reporting(state, backup) && !left.count(entry)) {
      all_done &= remove_reporting(state, record_name(entry));
    } else {
      all_done = false;
    }
    state.console << "done.\n";
  }
  // The list goes once every database it names is back.
  if (all_done && state.listed_elsewhere) all_done = remove_reporting(state, kElsewhereList);
  return all_done;
}

}  // namespace corvina
