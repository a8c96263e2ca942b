#include "driver/document_name.h"

#include <filesystem>

#include "platform/names.h"

namespace corvina {
namespace {

bool ends_with(const std::string& text, const std::string& ending) {
  return text.size() > ending.size() && text.ends_with(ending);
}

DocumentName by_base_name(const std::string& purename, const std::string& output_directory,
                          const std::function<bool(const std::string&)>& exists) {
  DocumentName name{purename + ".vdk", purename, output_directory, false};
  if (!exists(name.fullname) && exists(purename + ".tex")) {
    name.fullname = purename + ".tex";
    name.direct = true;
  }
  return name;
}

}  // namespace

std::string in_directory(const std::string& directory, const std::string& name) {
  if (directory.empty()) return name;
  if (name.empty()) return directory;
  return from_path(to_path(directory) / to_path(name));
}

DocumentName resolve_document_name(const std::string& typed, const std::string& output_directory,
                                   const std::function<bool(const std::string&)>& exists) {
  if (ends_with(typed, ".tex")) {
    return {typed, typed.substr(0, typed.size() - 4), output_directory, true};
  }
  if (ends_with(typed, ".bcf") || ends_with(typed, ".aux")) {
    const std::filesystem::path control = to_path(typed);
    std::string directory = in_directory(output_directory, from_path(control.parent_path()));
    return by_base_name(from_path(control.stem()), directory, exists);
  }
  return by_base_name(typed, output_directory, exists);
}

}  // namespace corvina
