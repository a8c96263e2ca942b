#pragma once
// Whole runs of the built programs in a temporary document folder, with stand-in back
// ends, locator and preprocessor first on PATH.

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace corvina::testing {

class RunHarness {
 public:
  RunHarness();
  ~RunHarness();

  // The document folder (the working directory of the run).
  std::filesystem::path doc() const { return root_.path() / "doc"; }

  // A stand-in program on PATH: it records its arguments, one a line, in args-NAME.txt
  // outside the document folder, then runs the shell `body`.
  void stand_in(const std::string& name, const std::string& body);
  // The arguments the stand-in NAME received, one a line; empty when it did not run.
  std::string args_of(const std::string& name) const;

  // A back end that keeps a copy of what it saw in the database (seen.bib, outside the
  // document folder) and writes it as the .bbl of the document named last.
  void copying_backend(const std::string& name, const std::string& database);

  // Leaves only the stand-ins and the built programs on PATH, so that no installed back
  // end can be found.
  void hide_installed_programs();

  // Runs `program` (corvina or corvina4) with `args`; returns its wait status.
  int run(const std::string& program, const std::vector<std::string>& args);
  // Starts it without waiting.
  pid_t start(const std::string& program, const std::vector<std::string>& args);
  std::string console() const;
  std::filesystem::path outside(const std::string& name) const { return root_.path() / name; }

  // The files of the document folder, sorted, one a line.
  std::string listing() const;

 private:
  TempDir root_;
  std::string saved_path_;
};

// The exit status of a wait status, or -1 when the process did not exit.
int exit_status(int wait_status);

}  // namespace corvina::testing
