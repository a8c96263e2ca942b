#pragma once
// --explain FILE.bib: the entries of one database in the order of the keys that the run
// gives the back end, each with the field that sorts it and what the sort tokens of its
// Chinese characters use. Reads the database and nothing else, and writes nothing.

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/build.h"
#include "core/character_use.h"

namespace corvina {

struct ExplainedEntry {
  std::string key;
  std::string field;  // the field that sorts it first; empty when it has none
  std::string text;   // that field's value, as written
  std::vector<CharacterUse> uses;
  // What the back end compares, in turn, made from the encoded entry and folded to lower
  // case, as biber compares at its first level.
  std::vector<std::string> sort_key;
};

// The regular entries of `database`, in the order of the database.
std::vector<ExplainedEntry> explain_database(const Build& build, SortOrder order, ChineseBlock block,
                                             std::string_view database);

// Puts the entries in the order of their sort keys; entries whose keys tie keep their order.
void order_by_sort_key(std::vector<ExplainedEntry>& entries);

// The text printed: a heading naming the database and the order, then a block per entry.
// `separator` stands between the characters of a value.
std::string format_explanation(const std::string& database_name, SortOrder order,
                               const std::vector<ExplainedEntry>& entries, std::string_view separator);

// Prints the explanation of the database at `path`; throws RunError when it cannot be read.
void explain_file(const Build& build, SortOrder order, ChineseBlock block, const std::string& path,
                  std::ostream& out);

}  // namespace corvina
