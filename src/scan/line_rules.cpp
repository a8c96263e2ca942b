#include "scan/line_rules.h"

namespace corvina {

// Built by appending: g++ 12 at -O2 and above warns (falsely, -Wrestrict) on "(" + to_string.
std::string counter_record(int line_no) {
  std::string record = "(";
  record += std::to_string(line_no);
  record += ')';
  return record;
}

std::string tmp_record(const std::string& name, std::size_t slot) {
  return "tmp: " + name + " " + std::to_string(slot) + "\n";
}

std::string_view without_line_end(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  return line;
}

bool commented_out(std::string_view line, std::size_t command_at) {
  return line.find('%') < command_at;
}

std::vector<std::string> read_name_list(std::string_view line, std::size_t from) {
  // An item with a folder in it ("parts/intro", "../refs.bib") is recorded as written, like
  // any other: LaTeX accepts such names, and dropping one would lose a file or database.
  // A group that is not closed on its line ends at the line end; the next line is not
  // read, and since callers pass the line without its line end, that never joins a name.
  std::vector<std::string> names(1);
  for (std::size_t i = from; i < line.size() && line[i] != '}'; ++i) {
    char c = line[i];
    if (c == ',') {
      names.emplace_back();
    } else if (c != ' ') {
      names.back() += c;
    }
  }
  return names;
}

}  // namespace corvina
