#pragma once
// The hand-kept reading lists beside the tables (taiwan_readings.txt, surname_readings.txt):
// one entry a line, the characters, a blank, then readings separated by blanks; "#" starts a
// comment. What the readings mean is the reader's business.

#include <filesystem>
#include <string>
#include <vector>

namespace make_tables {

struct ListEntry {
  std::u32string characters;
  std::vector<std::string> readings;  // as written
  std::string where;                  // "file:line", for messages
};

// Throws std::runtime_error when the file cannot be read or a line's characters are not UTF-8.
std::vector<ListEntry> read_list(const std::filesystem::path& path);

// The words of `text` between `separator`s, empty ones left out.
std::vector<std::string> words(const std::string& text, char separator);

}  // namespace make_tables
