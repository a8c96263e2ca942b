// Starting a program on Windows: found on PATH by ourselves, given one command line that
// the C runtime of the program splits back into exactly our arguments, and waited for.

#include <windows.h>

#include <cerrno>
#include <cwctype>

#include "platform/interrupt.h"
#include "platform/platform.h"
#include "platform/win32_support.h"

namespace corvina {
namespace {

std::wstring environment(const wchar_t* name) {
  const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) return {};
  std::wstring value(size, L'\0');
  value.resize(GetEnvironmentVariableW(name, value.data(), size));
  return value;
}

std::vector<std::wstring> split(const std::wstring& list) {
  std::vector<std::wstring> parts;
  size_t at = 0;
  for (size_t end; (end = list.find(L';', at)) != std::wstring::npos; at = end + 1) {
    parts.push_back(list.substr(at, end - at));
  }
  parts.push_back(list.substr(at));
  for (std::wstring& part : parts) {
    if (part.size() >= 2 && part.front() == L'"' && part.back() == L'"') part = part.substr(1, part.size() - 2);
  }
  return parts;
}

bool same_text(std::wstring a, std::wstring b) {
  for (wchar_t& c : a) c = static_cast<wchar_t>(std::towlower(c));
  for (wchar_t& c : b) c = static_cast<wchar_t>(std::towlower(c));
  return a == b;
}

// The endings of PATHEXT that name programs. A batch file (.bat, .cmd) is not started:
// cmd.exe would read its command line again by its own rules, where a "&" in a file name
// runs a command.
std::vector<std::wstring> program_endings() {
  std::vector<std::wstring> endings;
  for (const std::wstring& ending : split(environment(L"PATHEXT"))) {
    if (same_text(ending, L".exe") || same_text(ending, L".com")) endings.push_back(ending);
  }
  if (endings.empty()) endings = {L".COM", L".EXE"};
  return endings;
}

bool is_file(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The program's file: a name with a folder in it as given, else the first folder of PATH
// that holds it. The current folder is not searched unless PATH names it: a document's
// folder holding a "biber.exe" does not get it run.
std::wstring find_program(const std::wstring& name) {
  const std::vector<std::wstring> endings = program_endings();
  std::vector<std::wstring> folders = {L""};
  if (name.find_first_of(L"\\/:") == std::wstring::npos) folders = split(environment(L"PATH"));
  for (std::wstring folder : folders) {
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    if (name.size() > 4 && is_file(folder + name)) {
      const std::wstring ending = name.substr(name.size() - 4);
      for (const std::wstring& known : endings) {
        if (same_text(ending, known)) return folder + name;
      }
    }
    for (const std::wstring& ending : endings) {
      if (is_file(folder + name + ending)) return folder + name + ending;
    }
  }
  return {};
}

// The C runtime's rules: an argument is split at blanks outside quotes; backslashes are
// literal unless they stand before a quote, where 2n of them mean n and 2n+1 of them mean n
// and a literal quote.
std::wstring quote_argument(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) return argument;
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, L'\\');
  return quoted + L"\"";
}

std::wstring command_line(const std::wstring& program, const std::vector<std::string>& argv) {
  std::wstring line = quote_argument(program);
  for (size_t i = 1; i < argv.size(); ++i) line += L" " + quote_argument(to_wide(argv[i]));
  return line;
}

// Waits for the program. It shares our console, so a Ctrl-C reached it as well; one
// that goes on a second after it is ended, as POSIX ends it by the signal we pass on.
// The wait goes on until it has ended: it may be writing a file that the restore must
// not race with.
ProgramResult wait_for(HANDLE process) {
  ULONGLONG interrupted_at = 0;
  bool passed_on = false;
  while (WaitForSingleObject(process, 50) == WAIT_TIMEOUT) {
    if (!pending_interrupt() || passed_on) continue;
    if (interrupted_at == 0) interrupted_at = GetTickCount64();
    if (GetTickCount64() - interrupted_at >= 1000) passed_on = TerminateProcess(process, STATUS_CONTROL_C_EXIT);
  }
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  throw_if_interrupted();
  return {ProgramResult::Outcome::kExited, static_cast<int>(code)};
}

HANDLE open_output(const std::string& path) {
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileW(to_wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

bool on_path(const std::string& program) { return !find_program(to_wide(program)).empty(); }

ProgramResult run_program(const std::vector<std::string>& argv, const std::string& stdout_path) {
  throw_if_interrupted();
  const std::wstring program = find_program(to_wide(argv.at(0)));
  if (program.empty()) return {ProgramResult::Outcome::kNotStarted, ENOENT};
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  HANDLE output = INVALID_HANDLE_VALUE;
  if (!stdout_path.empty()) {
    output = open_output(stdout_path);
    if (output == INVALID_HANDLE_VALUE) return {ProgramResult::Outcome::kNotStarted, errno_from(GetLastError())};
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  }
  std::wstring line = command_line(program, argv);
  PROCESS_INFORMATION started{};
  const BOOL ok = CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, !stdout_path.empty(), 0,
                                 nullptr, nullptr, &startup, &started);
  const DWORD error = GetLastError();
  if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
  if (!ok) return {ProgramResult::Outcome::kNotStarted, errno_from(error)};
  CloseHandle(started.hThread);
  return wait_for(started.hProcess);
}

}  // namespace corvina
