#include "reading_lists.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "zhuyin_syllable.h"

namespace make_tables {

std::vector<std::string> words(const std::string& text, char separator) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string w; std::getline(in, w, separator);) {
    if (!w.empty()) out.push_back(w);
  }
  return out;
}

std::vector<ListEntry> read_list(const std::filesystem::path& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  std::vector<ListEntry> out;
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    auto fields = words(line.substr(0, line.find('#')), ' ');
    if (fields.empty()) continue;
    ListEntry entry{{}, {fields.begin() + 1, fields.end()}, path.string() + ":" + std::to_string(number)};
    for (std::size_t i = 0; i < fields[0].size();) entry.characters += next_code_point(fields[0], i);
    if (entry.characters.find(U'\0') != std::u32string::npos) throw std::runtime_error(entry.where + ": not UTF-8");
    out.push_back(std::move(entry));
  }
  return out;
}

}  // namespace make_tables
