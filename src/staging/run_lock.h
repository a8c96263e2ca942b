#pragma once
// One run at a time: a run holds the lock of its working folder from before it writes
// anything until it ends, and the lock of every other folder in which it rewrites a
// database (one named with a path, such as ../shared/refs.bib). The lock is a file named
// corvina.lock that names its holder; the kernel lets go of it however the holder ends,
// so a lock whose process is gone is simply taken.

#include <chrono>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace corvina {

inline constexpr const char* kLockName = "corvina.lock";
// How long a run waits for another to let go of a lock.
inline constexpr std::chrono::minutes kLongestWait{30};

class RunLocks {
 public:
  // `holder` tells a waiting run who holds the locks ("corvina4 on thesis").
  explicit RunLocks(const std::string& holder);
  ~RunLocks() { release_all(); }
  RunLocks(const RunLocks&) = delete;
  RunLocks& operator=(const RunLocks&) = delete;

  // Waits until no other run holds the working folder, saying which run it waits for.
  // Throws Interrupted on a signal, RunError when the lock file cannot be made or the
  // wait lasts longer than kLongestWait.
  void take_working_folder(std::ostream& console);
  // Takes the locks of `folders` too (the working folder among them is skipped).
  void take_folders(std::vector<std::string> folders, std::ostream& console);
  // Lets go of every lock, removing the lock files.
  void release_all();

 private:
  struct Held {
    std::string path;
    std::unique_ptr<FileLock> lock;
  };
  bool try_take(const std::string& path, FileLock& lock);
  bool is_working_lock(const std::string& path) const;
  void wait_for(const std::string& path, FileLock& lock, std::ostream& console);

  std::string holder_;
  std::string working_folder_;  // canonical
  FileLock working_;
  bool working_held_ = false;
  std::vector<Held> others_;
};

}  // namespace corvina
