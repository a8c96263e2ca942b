#pragma once
// What the Windows side's files share: conversions between the names the program holds
// (in the encoding that set_name_encoding chose) and the UTF-16 names of the wide API,
// Windows error codes as the errno values that messages speak, and handles.

#include <windows.h>

#include <string>

namespace corvina {

std::wstring to_wide(const std::string& name);
std::string from_wide(const std::wstring& name);

int errno_from(DWORD error);

// A handle that closes itself.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (valid()) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

inline constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Opens what stands at `path` for its attributes only; a folder too.
HANDLE open_attributes(const std::string& path, DWORD access);

}  // namespace corvina
