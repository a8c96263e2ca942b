#pragma once
// The outside world the run needs: starting programs and reading file times.
// platform_posix.cpp is the one implementation today.

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

// Compares the last-write times of two files at the file system's full resolution:
// positive when name1 was written later than name2, 0 when at the same time, negative
// when earlier. Empty when either time cannot be read.
std::optional<int> comparefiletime(const std::string& name1, const std::string& name2);

}  // namespace corvina
