#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <spawn.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/interrupt.h"
#include "platform/platform.h"

extern char** environ;

namespace corvina {

namespace {

// Waits for `pid`. A signal of ours is passed on once, and the wait goes on: the
// program may be writing a file that the restore must not race with. A wait that fails
// otherwise is tried again a few times: the program ran, and what it did counts.
ProgramResult wait_for(pid_t pid) {
  bool passed_on = false;
  int status = 0;
  for (int failures = 0;;) {
    if (!passed_on && pending_interrupt()) {
      kill(pid, pending_interrupt());
      passed_on = true;
    }
    if (waitpid(pid, &status, 0) == pid) break;
    if (errno != EINTR && ++failures == 3) return {ProgramResult::Outcome::kNotStarted, errno};
  }
  throw_if_interrupted();
  if (WIFSIGNALED(status)) return {ProgramResult::Outcome::kSignaled, WTERMSIG(status)};
  return {ProgramResult::Outcome::kExited, WEXITSTATUS(status)};
}

}  // namespace

ProgramResult run_program(const std::vector<std::string>& argv, const std::string& stdout_path) {
  throw_if_interrupted();
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!stdout_path.empty()) {
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, stdout_path.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0666);
  }
  // Our own handlers fall back to the default at exec, but an ignored SIGPIPE would not.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t default_signals;
  sigemptyset(&default_signals);
  sigaddset(&default_signals, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &default_signals);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
  pid_t pid = 0;
  int err = posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (err != 0) return {ProgramResult::Outcome::kNotStarted, err};
  return wait_for(pid);
}

// As posix_spawnp searches: each folder of PATH in turn, an empty entry meaning ".".
bool on_path(const std::string& program) {
  const char* path = getenv("PATH");
  if (program.empty() || !path) return false;
  const std::string folders = path;
  for (size_t at = 0, end = 0; end != std::string::npos; at = end + 1) {
    end = folders.find(':', at);
    std::string folder = folders.substr(at, end == std::string::npos ? std::string::npos : end - at);
    const std::string file = (folder.empty() ? "." : folder) + "/" + program;
    if (file_kind(file) == FileKind::kRegular && access(file.c_str(), X_OK) == 0) return true;
  }
  return false;
}

std::optional<int> comparefiletime(const std::string& name1, const std::string& name2) {
  std::error_code error1, error2;
  auto time1 = std::filesystem::last_write_time(name1, error1);
  auto time2 = std::filesystem::last_write_time(name2, error2);
  if (error1 || error2) return std::nullopt;
  if (time1 > time2) return 1;
  if (time1 < time2) return -1;
  return 0;
}

std::optional<int64_t> write_time(const std::string& path) {
  std::error_code error;
  auto time = std::filesystem::last_write_time(path, error);
  if (error) return std::nullopt;
  return static_cast<int64_t>(time.time_since_epoch().count());
}

bool set_write_time(const std::string& path, int64_t time, int* error) {
  std::error_code failed;
  std::filesystem::file_time_type value{std::filesystem::file_time_type::duration(time)};
  std::filesystem::last_write_time(path, value, failed);
  if (failed && error) *error = failed.value();
  return !failed;
}

void prepend_to_search_path(const std::string& name, const std::vector<std::string>& folders) {
  std::string value;
  for (const std::string& folder : folders) value += folder + ":";
  const char* old = getenv(name.c_str());
  setenv(name.c_str(), (value + (old ? old : "")).c_str(), 1);
}

}  // namespace corvina

namespace corvina {

int process_id() { return static_cast<int>(getpid()); }

FileKind file_kind(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return FileKind::kMissing;
  if (S_ISREG(info.st_mode)) return FileKind::kRegular;
  if (S_ISDIR(info.st_mode)) return FileKind::kDirectory;
  if (S_ISFIFO(info.st_mode)) return FileKind::kFifo;
  if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) return FileKind::kDevice;
  if (S_ISSOCK(info.st_mode)) return FileKind::kSocket;
  return FileKind::kOther;
}

namespace {

// Where fsync only hands the data to the drive (macOS), F_FULLFSYNC asks the drive to
// write it out of its cache too; a file system that cannot do that gets the fsync. A call
// that a signal cut short is made again: the run notices the signal at its next check, and
// a sync must not fail for it.
int sync_descriptor(int fd) {
#if CORVINA_HAVE_F_FULLFSYNC
  if (fcntl(fd, F_FULLFSYNC) == 0) return 0;
#endif
  int result;
  do result = fsync(fd); while (result != 0 && errno == EINTR);
  return result == 0 ? 0 : errno;
}

int sync_path(const std::string& path, int flags) {
  int fd;
  do fd = open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK); while (fd < 0 && errno == EINTR);
  if (fd < 0) return errno;
  const int err = sync_descriptor(fd);
  ::close(fd);
  return err;
}

// Gives `from` the name `to` and `to` the name `from` in one step; false where the system
// or the file system cannot.
bool swap_names(const std::string& from, const std::string& to) {
#if CORVINA_HAVE_RENAMEAT2
  return renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_EXCHANGE) == 0;
#elif CORVINA_HAVE_RENAMEX_NP
  return renamex_np(from.c_str(), to.c_str(), RENAME_SWAP) == 0;
#else
  (void)from;
  (void)to;
  return false;
#endif
}

}  // namespace

int sync_file(const std::string& path) { return sync_path(path, O_RDONLY); }

int sync_folder(const std::string& folder) {
  return sync_path(folder.empty() ? "." : folder, O_RDONLY | O_DIRECTORY);
}

int rename_onto_linked(const std::string& from, const std::string& to) {
  // A rename over a file makes some file systems (ext4) write the renamed file out to disk
  // at once, lest a crash leave it empty: for a file that lives one run, that costs about
  // as much as the rest of the run. Swapping the two names and then removing `from`, which
  // names the old file by then, leaves the same names without that. Where the names cannot
  // be swapped, a rename does it, as safely: it too replaces `to` in one step, so that a
  // kill at any instant leaves `to` naming either file whole, and the old file keeps its
  // second name in both ways.
  if (swap_names(from, to)) {
    // The swap is what counts; a name left behind is a second name of a file kept anyway,
    // which the restore removes.
    ::unlink(from.c_str());
    return 0;
  }
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

FileLock::Outcome FileLock::try_take(const std::string& path) {
  close();
  fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd_ < 0) {
    error_ = errno;
    return Outcome::kFailed;
  }
  int result;
  do result = flock(fd_, LOCK_EX | LOCK_NB); while (result != 0 && errno == EINTR);
  if (result != 0) {
    error_ = errno;
    return error_ == EWOULDBLOCK ? Outcome::kBusy : Outcome::kFailed;
  }
  int err = 0;
  if (!holds(path, err)) {
    close();
    if (err != 0) {
      error_ = err;
      return Outcome::kFailed;
    }
    error_ = EWOULDBLOCK;  // removed by the holder we waited for: try again on the new file
    return Outcome::kBusy;
  }
  return Outcome::kTaken;
}

bool FileLock::holds(const std::string& path, int& error) const {
  error = 0;
  if (fd_ < 0) return false;
  struct stat held, named;
  if (fstat(fd_, &held) != 0) {
    error = errno;
    return false;
  }
  if (stat(path.c_str(), &named) != 0) {
    if (errno != ENOENT) error = errno;
    return false;
  }
  return held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

bool FileLock::write(const std::string& text) {
  if (fd_ < 0 || ftruncate(fd_, 0) != 0) return false;
  return pwrite(fd_, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size());
}

std::string FileLock::read() const {
  std::string text;
  if (fd_ < 0) return text;
  std::string chunk(4096, '\0');
  for (off_t at = 0;;) {
    ssize_t got = pread(fd_, chunk.data(), chunk.size(), at);
    if (got <= 0) break;
    text.append(chunk, 0, static_cast<size_t>(got));
    at += got;
  }
  return text;
}

void FileLock::remove_and_release(const std::string& path) {
  if (fd_ >= 0) unlink(path.c_str());
  close();
}

void FileLock::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace corvina
