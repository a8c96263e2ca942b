// The run lock on Windows: LockFileEx on a handle that no started program inherits.

#include <windows.h>
#include <io.h>

#include <cerrno>

#include "platform/platform.h"
#include "platform/win32_support.h"

namespace corvina {
namespace {

// The lock covers one byte far past any content, so that a waiting run can still read
// who holds it: Windows locks keep others from reading the bytes they cover.
constexpr DWORD kLockOffsetHigh = 0x7fffffff;

bool same_file(HANDLE held, const std::string& path) {
  Handle named(open_attributes(path, FILE_READ_ATTRIBUTES));
  BY_HANDLE_FILE_INFORMATION a, b;
  if (!named.valid() || !GetFileInformationByHandle(held, &a) || !GetFileInformationByHandle(named.get(), &b)) {
    return false;
  }
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

// A lock file that its holder is removing refuses to be opened until the holder has
// let go; that is a busy lock, not a failure. A read-only lock file is a failure.
bool being_removed(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(to_wide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_ACCESS_DENIED;
  return !(attributes & FILE_ATTRIBUTE_READONLY);
}

}  // namespace

// The handle is not inheritable (no security attributes), so no program we start holds
// the lock.
FileLock::Outcome FileLock::try_take(const std::string& path) {
  close();
  HANDLE handle = CreateFileW(to_wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    error_ = errno_from(error);
    return error == ERROR_ACCESS_DENIED && being_removed(path) ? Outcome::kBusy : Outcome::kFailed;
  }
  fd_ = _open_osfhandle(reinterpret_cast<intptr_t>(handle), 0);
  OVERLAPPED range{};
  range.OffsetHigh = kLockOffsetHigh;
  if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &range)) {
    const DWORD error = GetLastError();
    error_ = errno_from(error);
    return error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING ? Outcome::kBusy : Outcome::kFailed;
  }
  if (!same_file(handle, path)) {
    close();  // removed by the holder we waited for: try again on the new file
    error_ = EWOULDBLOCK;
    return Outcome::kBusy;
  }
  return Outcome::kTaken;
}

namespace {

HANDLE handle_of(int fd) { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

}  // namespace

bool FileLock::holds(const std::string& path, int& error) const {
  error = 0;
  if (fd_ < 0) return false;
  if (GetFileAttributesW(to_wide(path).c_str()) == INVALID_FILE_ATTRIBUTES) {
    const DWORD failed = GetLastError();
    if (failed != ERROR_FILE_NOT_FOUND && failed != ERROR_PATH_NOT_FOUND) error = errno_from(failed);
    return false;
  }
  return same_file(handle_of(fd_), path);
}

bool FileLock::write(const std::string& text) {
  if (fd_ < 0) return false;
  HANDLE file = handle_of(fd_);
  LARGE_INTEGER start{};
  DWORD written = 0;
  return SetFilePointerEx(file, start, nullptr, FILE_BEGIN) && SetEndOfFile(file) &&
         WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

std::string FileLock::read() const {
  std::string text;
  if (fd_ < 0) return text;
  HANDLE file = handle_of(fd_);
  std::string chunk(4096, '\0');
  OVERLAPPED at{};
  for (DWORD got = 0; ReadFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &got, &at) && got > 0;) {
    text.append(chunk, 0, got);
    at.Offset += got;
  }
  return text;
}

void FileLock::remove_and_release(const std::string& path) {
  // The name goes when the last handle closes, ours just below; until then the file
  // refuses new openers, which see a busy lock (being_removed).
  if (fd_ >= 0) DeleteFileW(to_wide(path).c_str());
  close();
}

void FileLock::close() {
  if (fd_ >= 0) _close(fd_);
  fd_ = -1;
}

}  // namespace corvina
