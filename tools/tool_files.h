#pragma once
// Whole-file reads and writes for the tools that set up and check test folders.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace tool_files {

// The bytes of `path`; empty when it cannot be read.
inline std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

inline void write_file(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace tool_files
