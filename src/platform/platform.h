#pragma once
// The outside world the run needs: starting programs, file times and kinds, making
// writes durable, and locks. platform_posix.cpp and platform_win32.cpp implement it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvina {

struct ProgramResult {
  enum class Outcome { kExited, kSignaled, kNotStarted };
  Outcome outcome = Outcome::kExited;
  int value = 0;  // the exit status, the signal number, or errno when not started

  bool ok() const { return outcome == Outcome::kExited && value == 0; }
  // "biber exited with status 2", "biber was killed by signal 9",
  // "biber cannot be started: No such file or directory".
  std::string describe(const std::string& program) const;
};

// Starts argv[0], found on PATH, with exactly these arguments (no shell is involved, so
// a name with blanks or quotes stays one argument), and waits for it to end. When
// `stdout_path` is not empty, the program's standard output goes to that file.
// An interrupt that arrives meanwhile is passed on to the program; the call still waits
// for it to end, and then throws Interrupted (interrupt.h).
ProgramResult run_program(const std::vector<std::string>& argv,
                          const std::string& stdout_path = "");

// True when run_program would find `program` on PATH.
bool on_path(const std::string& program);

// Compares the last-write times of two files at the file system's full resolution:
// positive when name1 was written later than name2, 0 when at the same time, negative
// when earlier. Empty when either time cannot be read.
std::optional<int> comparefiletime(const std::string& name1, const std::string& name2);

// A file's last-write time as a count at the file system's full resolution, for the
// intent record to keep and give back; empty or false when the file cannot be reached
// (`error`, when given, then receives errno).
std::optional<int64_t> write_time(const std::string& path);
bool set_write_time(const std::string& path, int64_t time, int* error = nullptr);

// Puts `folders` before those that the environment variable `name` lists (in the list
// syntax of the system: "a:b" or "a;b"), for the programs started afterwards. An unset
// variable leaves an empty entry at the end, which TeX reads as its default path.
void prepend_to_search_path(const std::string& name, const std::vector<std::string>& folders);

// This process's id, as a waiting run names the holder of a lock.
int process_id();

// What stands at a path, symbolic links followed.
enum class FileKind { kMissing, kRegular, kDirectory, kFifo, kDevice, kSocket, kOther };
FileKind file_kind(const std::string& path);
// "a FIFO", "a directory", ... for messages.
inline const char* describe(FileKind kind) {
  switch (kind) {
    case FileKind::kMissing: return "missing";
    case FileKind::kRegular: return "a regular file";
    case FileKind::kDirectory: return "a directory";
    case FileKind::kFifo: return "a FIFO";
    case FileKind::kDevice: return "a device";
    case FileKind::kSocket: return "a socket";
    case FileKind::kOther: break;
  }
  return "an unusual file";
}

// What stands at `path` (with `follow_links`, what a link leads to), or why that cannot be
// told: `error` is 0 when `kind` is known (kMissing: nothing is there), else the errno of
// the look that failed, and then nothing at all may be concluded about the path.
struct Look {
  FileKind kind = FileKind::kMissing;
  int error = 0;
};
Look look_at(const std::string& path, bool follow_links);

// Makes what was written to a file, or the names in a folder (files created, renamed,
// removed), durable before the call returns: a power cut cannot undo them. Return 0 or
// errno.
int sync_file(const std::string& path);
int sync_folder(const std::string& folder);

// Gives the file named `from` the name `to` in one step, as a rename does, for a `to` whose
// file has a second name. Returns 0 or errno.
int rename_onto_linked(const std::string& from, const std::string& to);

// An exclusive lock on a file, released by the kernel when its holder ends in any way.
// The descriptor is closed on exec, so no program we start ever holds the lock.
class FileLock {
 public:
  enum class Outcome { kTaken, kBusy, kFailed };
  FileLock() = default;
  ~FileLock() { close(); }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // Opens (creating it) `path` and tries once to lock it; errno() tells why it failed.
  // Taken only when `path` still names the file locked: a holder that removed the file
  // on its way out leaves a lock on a file nobody else can find.
  Outcome try_take(const std::string& path);
  int error() const { return error_; }
  // Replaces the content of the locked file; reads it (also when busy).
  bool write(const std::string& text);
  std::string read() const;
  // True when `path` names the very file this lock holds open: a lock of the same folder
  // reached by another name is known as ours. False, `error` 0, when it names another
  // file or none; `error` is errno when that cannot be told.
  bool holds(const std::string& path, int& error) const;
  // Removes the file while still holding the lock, then lets go.
  void remove_and_release(const std::string& path);
  void close();

 private:
  int fd_ = -1;
  int error_ = 0;
};

}  // namespace corvina
