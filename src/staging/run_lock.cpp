#include "staging/run_lock.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/interrupt.h"
#include "platform/names.h"
#include "core/run_error.h"

namespace corvina {
namespace {

namespace fs = std::filesystem;

std::string canonical_folder(const std::string& folder) {
  std::error_code ignored;
  return from_path(fs::weakly_canonical(folder.empty() ? fs::path(".") : to_path(folder), ignored));
}

std::string lock_path(const std::string& folder) { return from_path(to_path(folder) / kLockName); }

}  // namespace

RunLocks::RunLocks(const std::string& holder)
    : holder_(holder + " (process " + std::to_string(process_id()) + ")\n"),
      working_folder_(canonical_folder(".")) {}

bool RunLocks::try_take(const std::string& path, FileLock& lock) {
  switch (lock.try_take(path)) {
    case FileLock::Outcome::kTaken:
      lock.write(holder_);
      return true;
    case FileLock::Outcome::kBusy:
      return false;
    case FileLock::Outcome::kFailed:
      break;
  }
  throw RunError(kExitFileError, "\n" + file_error("lock", path, lock.error()));
}

// Polls rather than blocks: a signal that arrives just before a blocking call would not
// end the wait.
void RunLocks::wait_for(const std::string& path, FileLock& lock, std::ostream& console) {
  if (try_take(path, lock)) return;
  std::string holder = lock.read();
  if (holder.empty() || holder.back() != '\n') holder = "another run\n";
  holder.pop_back();
  console << "\n*** waiting for " << holder << " to end: it holds " << path << " ...";
  do {
    throw_if_interrupted();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  } while (!try_take(path, lock));
  console << "done.\n";
}

void RunLocks::take_working_folder(std::ostream& console) {
  wait_for(kLockName, working_, console);
  working_held_ = true;
}

void RunLocks::take_folders(std::vector<std::string> folders, std::ostream& console) {
  for (std::string& folder : folders) folder = canonical_folder(folder);
  std::sort(folders.begin(), folders.end());
  folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
  folders.erase(std::remove(folders.begin(), folders.end(), working_folder_), folders.end());
  for (;;) {
    std::string busy;
    for (const std::string& folder : folders) {
      const std::string path = lock_path(folder);
      auto held = [&](const Held& h) { return h.path == path; };
      if (std::any_of(others_.begin(), others_.end(), held)) continue;
      auto lock = std::make_unique<FileLock>();
      if (!try_take(path, *lock)) {
        busy = path;
        break;
      }
      others_.push_back({path, std::move(lock)});
    }
    if (busy.empty()) return;
    // Waiting while holding a lock could wait for ever on a run that waits for ours (two
    // documents, each naming a database in the other's folder): let go of all first.
    release_all();
    FileLock lock;
    wait_for(busy, lock, console);
    lock.remove_and_release(busy);
    take_working_folder(console);
  }
}

void RunLocks::release_all() {
  for (Held& held : others_) held.lock->remove_and_release(held.path);
  others_.clear();
  if (working_held_) working_.remove_and_release(kLockName);
  working_held_ = false;
}

}  // namespace corvina
