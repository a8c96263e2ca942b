#pragma once
// The hand-kept reading lists beside the tables (taiwan_readings.txt, surname_readings.txt):
// one entry a line, the characters, a blank, then readings separated by blanks; "#" starts a
// comment. What the readings mean is the reader's business.

#include <filesystem>
#include <ostream>
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

// Writes the C++ array `name` of surnames and compound surnames with the indexes of their
// readings as surnames (`index` of each reading; 0 for the second of a one-character one).
template <typename Surnames, typename Index>
void write_surname_table(std::ostream& out, const char* name, const Surnames& surnames, Index index) {
  out << "constexpr Surname " << name << "[] = {\n";
  for (const auto& e : surnames) {
    out << "    {0x" << std::hex << std::uppercase << static_cast<unsigned>(e.characters[0]) << ", 0x"
        << static_cast<unsigned>(e.characters.size() > 1 ? e.characters[1] : 0) << std::dec << ", "
        << index(e.readings[0]) << ", " << (e.readings.size() > 1 ? index(e.readings[1]) : 0) << "},\n";
  }
  out << "};\n";
}

}  // namespace make_tables
