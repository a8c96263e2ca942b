#include "windows/windows_harness.h"

#include <windows.h>

#include "platform/names.h"
#include "support/files.h"

namespace corvina::testing {
namespace {

namespace fs = std::filesystem;

// The programs are built into the folder of the test program.
fs::path built_programs() {
  std::wstring name(32768, L'\0');
  name.resize(GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size())));
  return fs::path(name).parent_path();
}

}  // namespace

WindowsRun::WindowsRun() : documents_(root_.path() / "documents"), stand_ins_(root_.path() / "stand-ins") {
  fs::create_directory(documents_);
  fs::create_directory(stand_ins_);
  for (const char* preprocessor : {"pellam.exe", "pellam4.exe"}) fs::copy_file(built_programs() / preprocessor, stand_ins_ / preprocessor);
  saved_path_.resize(32768);
  saved_path_.resize(GetEnvironmentVariableW(L"PATH", saved_path_.data(), 32768));
  SetEnvironmentVariableW(L"PATH", stand_ins_.c_str());
  fs::current_path(documents_);
}

WindowsRun::~WindowsRun() {
  SetEnvironmentVariableW(L"PATH", saved_path_.c_str());
  fs::current_path(root_.path());
}

void WindowsRun::tell(const std::string& program, const std::string& what, const std::string& text) {
  if (!file_exists(stand_ins_ / (program + ".exe"))) fs::copy_file(built_programs() / "stand_in.exe", stand_ins_ / (program + ".exe"));
  write_file(stand_ins_ / (program + "-" + what + ".txt"), text);
}

std::string WindowsRun::args_of(const std::string& program) const {
  const fs::path args = stand_ins_ / (program + "-args.txt");
  return file_exists(args) ? read_file(args) : "(not started)";
}

std::string WindowsRun::bibinputs_of(const std::string& program) const {
  return read_file(stand_ins_ / (program + "-bibinputs.txt"));
}

std::string WindowsRun::seen() const { return read_file(stand_ins_ / "seen.bib"); }

ProgramResult WindowsRun::run(const std::vector<std::string>& args, const std::string& program) {
  std::vector<std::string> argv = {from_path(built_programs() / (program + ".exe"))};
  argv.insert(argv.end(), args.begin(), args.end());
  return run_program(argv, from_path(root_.path() / "console.txt"));
}

std::string WindowsRun::console() const { return read_file(root_.path() / "console.txt"); }

fs::path WindowsRun::outside(const std::string& name) const { return root_.path() / to_path(name); }

std::string WindowsRun::listing() const { return testing::listing(documents_); }

void write_document(const std::string& commands) {
  write_file("thesis.vdk", "\\documentclass{article}\n\\usepackage{biblatex}\n" + commands +
                               "\\begin{document}\\nocite{*}\\printbibliography\\end{document}\n");
}

}  // namespace corvina::testing
