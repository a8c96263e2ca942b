#include "platform/pure_write.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "core/run_error.h"

namespace corvina {
namespace {

constexpr size_t kChunk = 1 << 18;

// A file descriptor that closes itself; `close` reports what the destructor would hide.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  bool close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

// Fills `buffer` from `fd` as far as the file goes; returns the count, -1 on error.
ssize_t read_full(int fd, char* buffer, size_t size) {
  size_t got = 0;
  while (got < size) {
    const ssize_t n = ::read(fd, buffer + got, size - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  return static_cast<ssize_t>(got);
}

bool write_full(int fd, const char* bytes, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    bytes += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

enum class Copied { kAll, kFailedReading, kFailedWriting, kNotByKernel };

#if CORVINA_HAVE_COPY_FILE_RANGE
// Where the kernel cannot copy between these two files (another file system on an old
// kernel, a special file), the bytes go through our memory.
bool kernel_cannot_copy(int error) {
  return error == EXDEV || error == ENOSYS || error == EINVAL || error == EOPNOTSUPP ||
         error == EBADF || error == EPERM;
}

// Copies in the kernel, without the bytes passing through this process. Only a copy that
// has not begun falls back: one cut short midway is an error of the file that failed. A
// file that seems empty is read as well: some kernels copy nothing from files whose size
// they do not know (those of /proc), and an empty file costs nothing to read.
Copied copy_in_kernel(int in, int out) {
  bool begun = false;
  for (;;) {
    const ssize_t n = copy_file_range(in, nullptr, out, nullptr, kChunk, 0);
    if (n == 0) return begun ? Copied::kAll : Copied::kNotByKernel;
    if (n > 0) {
      begun = true;
      continue;
    }
    if (errno == EINTR) continue;
    if (!begun && kernel_cannot_copy(errno)) return Copied::kNotByKernel;
    // copy_file_range does not say which side failed; a write error is the one that
    // matters, and the read below tells a read error apart.
    char probe;
    return ::pread(in, &probe, 1, 0) < 0 ? Copied::kFailedReading : Copied::kFailedWriting;
  }
}
#else
// The system has no copy inside the kernel: every byte goes through our memory.
Copied copy_in_kernel(int, int) { return Copied::kNotByKernel; }
#endif

Copied copy_through_memory(int in, int out) {
  std::vector<char> buffer(kChunk);
  for (;;) {
    const ssize_t n = read_full(in, buffer.data(), buffer.size());
    if (n < 0) return Copied::kFailedReading;
    if (n == 0) return Copied::kAll;
    if (!write_full(out, buffer.data(), static_cast<size_t>(n))) return Copied::kFailedWriting;
  }
}

}  // namespace

std::string pure_write(const std::string& from, const std::string& to) {
  Descriptor in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  if (in.get() < 0) return file_error("read", from, errno);
  Descriptor out(::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (out.get() < 0) return file_error("write", to, errno);
  Copied copied = copy_in_kernel(in.get(), out.get());
  if (copied == Copied::kNotByKernel) copied = copy_through_memory(in.get(), out.get());
  if (copied == Copied::kFailedReading) return file_error("read", from, errno);
  if (copied == Copied::kFailedWriting) return file_error("write", to, errno);
  if (!out.close()) return file_error("write", to, errno);
  return "";
}

bool same_contents(const std::string& path1, const std::string& path2) {
  Descriptor in1(::open(path1.c_str(), O_RDONLY | O_CLOEXEC));
  Descriptor in2(::open(path2.c_str(), O_RDONLY | O_CLOEXEC));
  if (in1.get() < 0 || in2.get() < 0) return false;
  // Files of different sizes differ; there is no need to read them to know.
  struct stat stat1, stat2;
  if (fstat(in1.get(), &stat1) == 0 && fstat(in2.get(), &stat2) == 0 && S_ISREG(stat1.st_mode) &&
      S_ISREG(stat2.st_mode) && stat1.st_size != stat2.st_size) {
    return false;
  }
  std::vector<char> chunk1(kChunk), chunk2(kChunk);
  for (;;) {
    const ssize_t got1 = read_full(in1.get(), chunk1.data(), kChunk);
    const ssize_t got2 = read_full(in2.get(), chunk2.data(), kChunk);
    if (got1 < 0 || got2 < 0 || got1 != got2) return false;
    if (got1 == 0) return true;
    if (std::memcmp(chunk1.data(), chunk2.data(), static_cast<size_t>(got1)) != 0) return false;
  }
}

bool copy_write_time(const std::string& from, const std::string& to, int* error) {
  std::error_code failed;
  auto time = std::filesystem::last_write_time(from, failed);
  if (!failed) std::filesystem::last_write_time(to, time, failed);
  if (failed && error) *error = failed.value();
  return !failed;
}

}  // namespace corvina
