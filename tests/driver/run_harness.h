#pragma once
// Whole runs of the built programs in a document folder of their own, with stand-in back
// ends, locator and preprocessor first on PATH.

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace corvina::testing {

class RunHarness {
 public:
  RunHarness();  // the document folder becomes the working directory
  ~RunHarness();

  // A stand-in program on PATH running the shell `body`. It records its arguments, one a
  // line, for args_of(). `copying_backend` writes `database` as the .bbl of the document
  // named last and keeps what it saw in seen.bib (outside the document folder).
  void stand_in(const std::string& name, const std::string& body);
  void copying_backend(const std::string& name, const std::string& database);
  std::string args_of(const std::string& name) const;
  // The runs that follow start as the last argument of `wrapper` (strace and its
  // options, say) until it is set empty again.
  void run_under(const std::vector<std::string>& wrapper) { wrapper_ = wrapper; }
  // Only the stand-ins and the built programs stay on PATH.
  void hide_installed_programs();

  // Runs `program` and returns its wait status; start() does not wait. The console goes
  // to console() or, when `console_fd` is given, to that descriptor. A run still going after
  // half a minute (reading a FIFO, say) fails the test and is killed.
  int run(const std::string& program, const std::vector<std::string>& args);
  pid_t start(const std::string& program, const std::vector<std::string>& args, int console_fd = -1);
  std::string console() const;
  std::filesystem::path outside(const std::string& name) const { return root_.path() / name; }
  std::string listing() const;  // the document folder's file names, sorted, one a line
  // Each file of the document folder: its name, type and permissions, inode, modification
  // time and, for a regular file, its bytes.
  std::string snapshot() const;

 private:
  TempDir root_;
  std::string saved_path_;
  std::vector<std::string> wrapper_;
};

// The exit status of a wait status, or -1 when the process did not exit.
int exit_status(int wait_status);

// A database in each encoding, 王小明 and 中文 in both; in the UTF-8 one no Chinese character
// stands right before a closing brace, where corvina4 adds "\mbox{}" in the .bbl.
inline const std::string kUtf8 = "@book{a, author = {王小明 and Smith, John}, title = {中文 Title}}\n";
inline const std::string kBig5 = "@book{a, author = {\xA4\xFD\xA4\x70\xA9\xFA}, title = {\xA4\xA4\xA4\xE5}}\n";

inline bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// thesis.vdk naming `database` with \addbibresource (after `more` preamble lines), an
// empty thesis.bcf, and the database holding `bytes` unless they are empty.
void write_biber_document(const std::string& database, const std::string& bytes, const std::string& more = "");

}  // namespace corvina::testing
