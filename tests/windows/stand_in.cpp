// One stand-in for the outside programs of a Windows run, copied under their names
// (biber.exe, findtexmf.exe, ...) into a folder of its own. What each copy does is
// written in files beside it, named after it:
//   NAME-args.txt    receives the arguments, one a line, in UTF-8 (always written);
//   NAME-bibinputs.txt receives the value of BIBINPUTS (always written);
//   NAME-prints.txt  is copied to standard output (a locator's answer);
//   NAME-copies.txt  names a file whose bytes go to LAST.bbl, LAST its last argument (a
//                    back end), and to seen.bib;
//   NAME-waits.txt   makes it write NAME-running.txt and wait a minute (to be interrupted);
//   NAME-status.txt  holds its exit status.

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string utf8(const std::wstring& text) {
  const int length = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), length, bytes.data(), size, nullptr, nullptr);
  return bytes;
}

fs::path own_file() {
  std::wstring name(32768, L'\0');
  name.resize(GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size())));
  return fs::path(name);
}

bool read(const fs::path& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  bytes = text.str();
  return true;
}

void write(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace

int main() {
  const fs::path self = own_file();
  const fs::path folder = self.parent_path();
  const std::wstring name = self.stem().wstring();
  auto beside = [&](const wchar_t* what) { return folder / (name + L"-" + what + L".txt"); };

  int count = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::string args;
  for (int i = 1; i < count; ++i) args += utf8(argv[i]) + "\n";
  write(beside(L"args"), args);
  std::wstring bibinputs(32768, L'\0');
  bibinputs.resize(GetEnvironmentVariableW(L"BIBINPUTS", bibinputs.data(), 32768));
  write(beside(L"bibinputs"), utf8(bibinputs));

  std::string text;
  if (read(beside(L"prints"), text)) std::fwrite(text.data(), 1, text.size(), stdout);
  if (read(beside(L"copies"), text) && count > 1) {
    std::string database;
    // The name is UTF-8; the path of std::filesystem takes it so only as char8_t.
    read(fs::path(std::u8string(text.begin(), text.end())), database);
    write(fs::path(argv[count - 1]).wstring() + L".bbl", database);
    write(folder / "seen.bib", database);
  }
  if (read(beside(L"waits"), text)) {
    write(beside(L"running"), "");
    Sleep(60000);
  }
  LocalFree(argv);
  return read(beside(L"status"), text) ? std::stoi(text) : 0;
}
