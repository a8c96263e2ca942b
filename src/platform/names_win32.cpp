#include <windows.h>
#include <shellapi.h>

#include "platform/names.h"
#include "platform/win32_support.h"

namespace corvina {
namespace {

// Set once by main before any name is used, like the interrupt flag; read-only after.
UINT g_code_page = CP_UTF8;

}  // namespace

void set_name_encoding(NameEncoding encoding) {
  g_code_page = encoding == NameEncoding::kUtf8 ? CP_UTF8 : CP_ACP;
}

// Bytes that are not valid in the code page become U+FFFD: such a name cannot name an
// existing file, and the open then fails with a message that names it.
std::wstring to_wide(const std::string& name) {
  if (name.empty()) return {};
  const int size = static_cast<int>(name.size());
  const int length = MultiByteToWideChar(g_code_page, 0, name.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(g_code_page, 0, name.data(), size, wide.data(), length);
  return wide;
}

std::string from_wide(const std::wstring& name) {
  if (name.empty()) return {};
  const int size = static_cast<int>(name.size());
  const int length = WideCharToMultiByte(g_code_page, 0, name.data(), size, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(g_code_page, 0, name.data(), size, narrow.data(), length, nullptr, nullptr);
  return narrow;
}

std::filesystem::path to_path(const std::string& name) { return std::filesystem::path(to_wide(name)); }

std::string from_path(const std::filesystem::path& path) { return from_wide(path.native()); }

std::vector<std::string> program_arguments(int argc, char** argv) {
  if (g_code_page != CP_UTF8) return std::vector<std::string>(argv + 1, argv + argc);
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; wide && i < count; ++i) arguments.push_back(from_wide(wide[i]));
  LocalFree(wide);
  return arguments;
}

}  // namespace corvina
