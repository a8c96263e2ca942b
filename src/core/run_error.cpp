#include "core/run_error.h"

#include <cstring>

namespace corvina {

std::string file_error(const std::string& what, const std::string& path, int err) {
  return "! cannot " + what + " " + path + ": " + std::strerror(err) + ".\n";
}

}  // namespace corvina
