#pragma once

#include <stdexcept>
#include <string>

namespace corvina {

// Exit statuses of a run. A status tells the caller (make, latexmk, a script) what
// happened without reading the console.
enum ExitStatus {
  kExitOk = 0,
  kExitUsage = 1,            // usage error, or the document cannot be opened
  kExitNoCommand = 2,        // neither an include nor a bibliography command
  kExitRemote = 3,           // a resource with location=remote
  kExitDatabaseMissing = 4,  // a database is nowhere to be found
  kExitOutsideProgram = 5,   // back end or preprocessor failed, or no .bbl was written
  kExitFileError = 6,        // a file could not be read or written; see the message
};

// A condition that ends the run. `what()` is printed to standard output exactly as it
// stands, line ends included, by the one place that decides the exit status.
class RunError : public std::runtime_error {
 public:
  RunError(int status, const std::string& message)
      : std::runtime_error(message), status_(status) {}
  int status() const { return status_; }

 private:
  int status_;
};

// The message for a file operation that failed: which file, what was tried, and errno's text.
std::string file_error(const std::string& what, const std::string& path, int err);

}  // namespace corvina
