#pragma once
// Reading fields of the Unihan database, plain or bzip2-compressed.

#include <filesystem>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace make_tables {

// Field name -> code point -> the field's value as written in the file.
using UnihanFields = std::map<std::string, std::unordered_map<char32_t, std::string>>;

// Reads the wanted fields from the Unihan_*.txt files of a folder (or, where only the
// compressed Unihan_*.txt.bz2 is there, through bzcat). Fields have moved between the files
// over Unicode versions, so every file is searched. Throws std::runtime_error when a file
// cannot be read or a wanted field is in none of them.
UnihanFields read_unihan(const std::filesystem::path& folder, const std::vector<std::string>& wanted);

}  // namespace make_tables
