#include "staging/checked_files.h"

#include <cerrno>
#include <filesystem>

#include "core/run_error.h"
#include "platform/names.h"

namespace corvina {
namespace {

FileKind look_or_throw(const std::string& path, bool follow_links) {
  const Look look = look_at(path, follow_links);
  if (look.error != 0) throw RunError(kExitFileError, "\n" + look_error(path, look.error));
  return look.kind;
}

}  // namespace

std::string look_error(const std::string& path, int err) { return file_error("look up", path, err); }

bool present(const std::string& path) { return look_or_throw(path, false) != FileKind::kMissing; }

FileKind kind_of(const std::string& path) { return look_or_throw(path, true); }

std::string remove_if_present(const std::string& path) {
  std::error_code error;
  do {
    error.clear();
    std::filesystem::remove(to_path(path), error);
  } while (error == std::errc::interrupted);
  if (!error) return "";
  return file_error("remove", path, error.default_error_condition().value());
}

}  // namespace corvina
