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

// Each round lets go of every lock and waits for the one that was busy: only runs that
// keep taking it first make another round.
constexpr int kMostRounds = 100;

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
// end the wait. A run of ours ends within minutes; a holder that keeps the lock for far
// longer than any run takes is not one to wait for.
void RunLocks::wait_for(const std::string& path, FileLock& lock, std::ostream& console) {
  if (try_take(path, lock)) return;
  std::string holder = lock.read();
  if (holder.empty() || holder.back() != '\n') holder = "another run\n";
  holder.pop_back();
  console << "\n*** waiting for " << holder << " to end: it holds " << path << " ...";
  const auto give_up = std::chrono::steady_clock::now() + kLongestWait;
  do {
    throw_if_interrupted();
    if (std::chrono::steady_clock::now() > give_up) {
      throw RunError(kExitFileError, "\n! " + holder + " has held " + path + " for " +
                                         std::to_string(kLongestWait.count()) + " minutes: no longer waiting for it.\n");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  } while (!try_take(path, lock));
  console << "done.\n";
}

// True when `path` is the lock of the working folder, which this run holds: known by the
// open file, whatever name the folder goes by.
bool RunLocks::is_working_lock(const std::string& path) const {
  int err = 0;
  const bool ours = working_held_ && working_.holds(path, err);
  if (err != 0) throw RunError(kExitFileError, "\n" + file_error("look up", path, err));
  return ours;
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
  for (int round = 1;; ++round) {
    std::string busy;
    for (const std::string& folder : folders) {
      const std::string path = lock_path(folder);
      auto held = [&](const Held& h) { return h.path == path; };
      if (std::any_of(others_.begin(), others_.end(), held) || is_working_lock(path)) continue;
      auto lock = std::make_unique<FileLock>();
      if (!try_take(path, *lock)) {
        busy = path;
        break;
      }
      others_.push_back({path, std::move(lock)});
    }
    if (busy.empty()) return;
    if (round == kMostRounds) {
      throw RunError(kExitFileError, "\n! other runs took " + busy + " first " + std::to_string(round) +
                                         " times over: no longer waiting for it.\n");
    }
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
