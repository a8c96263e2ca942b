#include "platform/names.h"

namespace corvina {

// POSIX names are bytes: both encodings pass through unchanged.
void set_name_encoding(NameEncoding) {}

std::filesystem::path to_path(const std::string& name) { return std::filesystem::path(name); }

std::string from_path(const std::filesystem::path& path) { return path.string(); }

std::vector<std::string> program_arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

}  // namespace corvina
