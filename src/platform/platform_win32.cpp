#include <windows.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/names.h"
#include "platform/platform.h"
#include "platform/win32_support.h"

namespace corvina {

// The messages of this program speak errno, on both systems.
int errno_from(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_BAD_EXE_FORMAT:
      return ENOEXEC;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
      return EINVAL;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    default:
      return EIO;
  }
}

HANDLE open_attributes(const std::string& path, DWORD access) {
  return CreateFileW(to_wide(path).c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                     FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

std::optional<int64_t> write_time(const std::string& path) {
  Handle file(open_attributes(path, FILE_READ_ATTRIBUTES));
  FILETIME time;
  if (!file.valid() || !GetFileTime(file.get(), nullptr, nullptr, &time)) return std::nullopt;
  return static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

bool set_write_time(const std::string& path, int64_t value, int* error) {
  Handle file(open_attributes(path, FILE_WRITE_ATTRIBUTES));
  FILETIME time;
  time.dwLowDateTime = static_cast<DWORD>(static_cast<uint64_t>(value));
  time.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(value) >> 32);
  const bool set = file.valid() && SetFileTime(file.get(), nullptr, nullptr, &time);
  if (!set && error) *error = errno_from(GetLastError());
  return set;
}

// The file system's own clock ticks (100 ns on NTFS): the C++ library's file times on
// this system keep whole seconds only, too coarse to order two files written together.
std::optional<int> comparefiletime(const std::string& name1, const std::string& name2) {
  std::optional<int64_t> time1 = write_time(name1), time2 = write_time(name2);
  if (!time1 || !time2) return std::nullopt;
  if (*time1 > *time2) return 1;
  if (*time1 < *time2) return -1;
  return 0;
}

// The process's own environment, which CreateProcessW hands on (the C runtime's copy
// would not reach the programs we start).
void prepend_to_search_path(const std::string& name, const std::vector<std::string>& folders) {
  std::wstring value;
  for (const std::string& folder : folders) value += to_wide(folder) + L";";
  const std::wstring wide_name = to_wide(name);
  const DWORD size = GetEnvironmentVariableW(wide_name.c_str(), nullptr, 0);
  std::wstring old(size, L'\0');
  old.resize(GetEnvironmentVariableW(wide_name.c_str(), old.data(), size));
  SetEnvironmentVariableW(wide_name.c_str(), (value + old).c_str());
}

int process_id() { return static_cast<int>(GetCurrentProcessId()); }

FileKind file_kind(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(to_wide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return FileKind::kMissing;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FileKind::kDirectory;
  Handle file(open_attributes(path, FILE_READ_ATTRIBUTES));
  if (!file.valid()) return FileKind::kOther;
  switch (GetFileType(file.get())) {
    case FILE_TYPE_DISK: return FileKind::kRegular;
    case FILE_TYPE_CHAR: return FileKind::kDevice;
    case FILE_TYPE_PIPE: return FileKind::kFifo;
    default: return FileKind::kOther;
  }
}

int sync_file(const std::string& path) {
  Handle file(CreateFileW(to_wide(path).c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return errno_from(GetLastError());
  return FlushFileBuffers(file.get()) ? 0 : errno_from(GetLastError());
}

// NTFS journals its folders itself, and FlushFileBuffers on a folder needs rights that
// an ordinary user lacks: there is nothing to do.
int sync_folder(const std::string&) { return 0; }

int rename_onto_linked(const std::string& from, const std::string& to) {
  std::error_code error;
  std::filesystem::rename(to_path(from), to_path(to), error);
  return error.value();
}

}  // namespace corvina
