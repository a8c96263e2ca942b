#include "driver/pure_write.h"

#include <filesystem>

#include "driver/file_io.h"
#include "driver/run_error.h"

namespace corvina {
namespace {

constexpr size_t kChunk = 1 << 16;

}  // namespace

std::string pure_write(const std::string& from, const std::string& to) {
  InputFile in(from);
  if (!in.is_open()) return file_error("read", from, in.error());
  OutputFile out(to);
  if (!out.is_open()) return file_error("write", to, out.error());
  std::string chunk;
  while (in.read_chunk(chunk, kChunk)) {
    if (!out.write(chunk)) return file_error("write", to, out.error());
  }
  if (in.failed()) return file_error("read", from, in.error());
  if (!out.close()) return file_error("write", to, out.error());
  return "";
}

bool same_contents(const std::string& path1, const std::string& path2) {
  InputFile in1(path1), in2(path2);
  if (!in1.is_open() || !in2.is_open()) return false;
  std::string chunk1, chunk2;
  for (;;) {
    bool more1 = in1.read_chunk(chunk1, kChunk);
    bool more2 = in2.read_chunk(chunk2, kChunk);
    if (chunk1 != chunk2) return false;
    if (!more1 || !more2) return more1 == more2 && !in1.failed() && !in2.failed();
  }
}

bool copy_write_time(const std::string& from, const std::string& to) {
  std::error_code error;
  auto time = std::filesystem::last_write_time(from, error);
  if (error) return false;
  std::filesystem::last_write_time(to, time, error);
  return !error;
}

}  // namespace corvina
