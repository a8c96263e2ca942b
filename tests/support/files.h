#pragma once

#include <filesystem>
#include <string>

namespace corvina::testing {

// Whole-file helpers for tests; they fail the test (ADD_FAILURE) when the file is unusable.
std::string read_file(const std::filesystem::path& path);
void write_file(const std::filesystem::path& path, const std::string& bytes);
bool file_exists(const std::filesystem::path& path);
// The names of the files in `folder`, sorted, one a line.
std::string listing(const std::filesystem::path& folder);

}  // namespace corvina::testing
