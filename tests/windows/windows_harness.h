#pragma once
// Whole runs of the Windows programs in a fresh folder, with the stand-ins of stand_in.cpp
// as all of PATH.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "support/temp_dir.h"

namespace corvina::testing {

class WindowsRun {
 public:
  WindowsRun();  // the document folder becomes the working directory
  ~WindowsRun();

  // What the stand-in `program` does (see stand_in.cpp).
  void tell(const std::string& program, const std::string& what, const std::string& text);
  // Its arguments, one a line, or "(not started)".
  std::string args_of(const std::string& program) const;
  // The BIBINPUTS it was started with.
  std::string bibinputs_of(const std::string& program) const;
  // What the last back end was given to read.
  std::string seen() const;

  // Runs the built corvina4.exe (or `program`.exe); its console goes to console().
  ProgramResult run(const std::vector<std::string>& args, const std::string& program = "corvina4");
  std::string console() const;
  std::filesystem::path outside(const std::string& name) const;
  std::string listing() const;  // the document folder's file names, sorted, one a line

 private:
  TempDir root_;
  std::filesystem::path documents_, stand_ins_;
  std::wstring saved_path_;
};

// thesis.vdk, a biblatex document with `commands` in its preamble.
void write_document(const std::string& commands);

}  // namespace corvina::testing
