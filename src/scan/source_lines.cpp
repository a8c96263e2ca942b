#include "scan/source_lines.h"

#include <cerrno>
#include <fstream>

#include "driver/run_error.h"

namespace corvina {

bool for_each_line(const std::string& path, const std::function<void(std::string_view)>& visit) {
  // Binary mode: a '\r' before the '\n' stays in the line, and the line rules drop it.
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string line;
  errno = 0;
  while (std::getline(in, line)) visit(line);
  if (in.bad()) throw RunError(kExitFileError, file_error("read", path, errno));
  return true;
}

}  // namespace corvina
