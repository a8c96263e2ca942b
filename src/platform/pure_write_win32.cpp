#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/run_error.h"
#include "platform/names.h"
#include "platform/platform.h"
#include "platform/pure_write.h"
#include "platform/win32_support.h"

namespace corvina {
namespace {

constexpr size_t kChunk = 1 << 18;

// A C stream that closes itself; `close` reports what the destructor would hide.
class Stream {
 public:
  Stream(const std::string& path, const wchar_t* mode) : file_(_wfopen(to_path(path).c_str(), mode)) {}
  ~Stream() {
    if (file_) std::fclose(file_);
  }
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;
  std::FILE* get() const { return file_; }
  bool close() {
    std::FILE* file = file_;
    file_ = nullptr;
    return std::fclose(file) == 0;
  }

 private:
  std::FILE* file_;
};

// Fills `buffer` as far as the file goes; the count, or -1 on error.
long long read_full(std::FILE* file, std::vector<char>& buffer) {
  const size_t got = std::fread(buffer.data(), 1, buffer.size(), file);
  return got < buffer.size() && std::ferror(file) ? -1 : static_cast<long long>(got);
}

}  // namespace

std::string pure_write(const std::string& from, const std::string& to) {
  Stream in(from, L"rbN");
  if (!in.get()) return file_error("read", from, errno);
  Stream out(to, L"wbN");
  if (!out.get()) return file_error("write", to, errno);
  std::vector<char> buffer(kChunk);
  for (;;) {
    const long long got = read_full(in.get(), buffer);
    if (got < 0) return file_error("read", from, errno ? errno : EIO);
    if (got == 0) break;
    if (std::fwrite(buffer.data(), 1, static_cast<size_t>(got), out.get()) != static_cast<size_t>(got)) {
      return file_error("write", to, errno ? errno : EIO);
    }
  }
  if (std::fflush(out.get()) != 0 || !out.close()) return file_error("write", to, errno ? errno : EIO);
  return "";
}

bool same_contents(const std::string& path1, const std::string& path2) {
  std::error_code error1, error2;
  const auto size1 = std::filesystem::file_size(to_path(path1), error1);
  const auto size2 = std::filesystem::file_size(to_path(path2), error2);
  if (!error1 && !error2 && size1 != size2) return false;
  Stream in1(path1, L"rbN"), in2(path2, L"rbN");
  if (!in1.get() || !in2.get()) return false;
  std::vector<char> chunk1(kChunk), chunk2(kChunk);
  for (;;) {
    const long long got1 = read_full(in1.get(), chunk1);
    const long long got2 = read_full(in2.get(), chunk2);
    if (got1 < 0 || got2 < 0 || got1 != got2) return false;
    if (got1 == 0) return true;
    if (std::memcmp(chunk1.data(), chunk2.data(), static_cast<size_t>(got1)) != 0) return false;
  }
}

bool copy_write_time(const std::string& from, const std::string& to, int* error) {
  std::optional<int64_t> time = write_time(from);
  if (!time && error) *error = errno_from(GetLastError());
  return time && set_write_time(to, *time, error);
}

}  // namespace corvina
