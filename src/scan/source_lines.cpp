#include "scan/source_lines.h"

#include <cerrno>
#include <fstream>

#include "platform/names.h"
#include "platform/platform.h"
#include "core/run_error.h"

namespace corvina {

std::string unusual_file_note(const std::string& path) {
  FileKind kind = file_kind(path);
  if (kind == FileKind::kMissing || kind == FileKind::kRegular) return "";
  return "\n! " + path + " is " + describe(kind) + ", not a regular file: it is not read.\n";
}

bool for_each_line(const std::string& path, const std::function<void(std::string_view)>& visit) {
  if (!unusual_file_note(path).empty()) return false;
  // Binary mode: a '\r' before the '\n' stays in the line, and the line rules drop it.
  std::ifstream in(to_path(path), std::ios::binary);
  if (!in) return false;
  std::string line;
  errno = 0;
  while (std::getline(in, line)) visit(line);
  if (in.bad()) throw RunError(kExitFileError, file_error("read", path, errno));
  return true;
}

}  // namespace corvina
