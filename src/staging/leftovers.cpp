#include "staging/leftovers.h"

#include <filesystem>

#include "driver/file_io.h"
#include "driver/pure_write.h"
#include "driver/run_error.h"

namespace corvina {
namespace {

std::string unused_backup_name(const std::string& entry) {
  for (int n = 1;; ++n) {
    std::string name = entry + "-backup-" + std::to_string(n) + ".bib";
    if (!path_exists(name)) return name;
  }
}

void restore_from_old_backup(RunState& state, const std::string& entry,
                             const std::string& backup) {
  state.console << "\n*** " << entry << " holds the sort keys of an interrupted run: restoring it from "
                << backup << " ...";
  std::string error = pure_write(backup, entry);
  if (!error.empty() || !same_contents(backup, entry)) {
    throw RunError(kExitFileError, "\n" + error + "! cannot restore " + entry +
                                       "; its original text is in " + backup + ".\n");
  }
  copy_write_time(backup, entry);
  state.console << "done.\n";
}

void move_old_backup_aside(RunState& state, const std::string& entry, const std::string& backup) {
  const std::string aside = unused_backup_name(entry);
  state.console << "\n*** " << backup << " was left by an earlier run and differs from " << entry
                << ": keeping " << entry << " and moving the old file to " << aside << " ...";
  std::error_code error;
  std::filesystem::rename(backup, aside, error);
  if (error) {
    throw RunError(kExitFileError, "\n! cannot rename " + backup + " to " + aside + ": " +
                                       error.message() + ". Move it away and run again.\n");
  }
  state.console << "done.\n";
}

}  // namespace

bool decodes_to(const Build& build, const std::string& encoded, const std::string& original) {
  InputFile encoded_file(encoded), original_file(original);
  if (!encoded_file.is_open() || !original_file.is_open()) return false;
  auto decoder = build.make_decoder(false);
  std::string line, decoded, expected;
  while (encoded_file.read_line(line)) {
    decoded.clear();
    decoder->decode_line(line, decoded, nullptr);
    original_file.read_chunk(expected, decoded.size());
    if (expected != decoded) return false;
  }
  if (encoded_file.failed() || original_file.failed()) return false;
  return !original_file.read_chunk(expected, 1);
}

void settle_old_backup(RunState& state, const std::string& entry) {
  const std::string backup = entry + "-backup.bib";
  if (same_contents(entry, backup)) return;
  if (decodes_to(state.build, entry, backup)) {
    restore_from_old_backup(state, entry, backup);
  } else {
    move_old_backup_aside(state, entry, backup);
  }
}

bool is_leftover_encoded_copy(const Build& build, const std::string& entry) {
  const std::string working_copy = entry + "-tmp.bib";
  if (path_exists(entry + "-backup.bib") || !path_exists(working_copy)) return false;
  // Identical files carry no sort keys: that is the user's own file, whatever its twin.
  return !same_contents(entry, working_copy) && decodes_to(build, entry, working_copy);
}

}  // namespace corvina
