#pragma once
// The characters that an alphabetic label takes from an entry before its year, worked out
// as biber builds the label with biblatex's template: the shorthand, else the label field,
// else the names of the list that names the entry (shortauthor, author, shorteditor,
// editor, translator, as the use* options allow): one name gives the first three
// characters of its family name, up to max_alpha_names names the first character of each,
// more the first min_alpha_names of them and a "+" (which is not returned).

#include <string>
#include <vector>

#include "bib/entry_reader.h"
#include "core/sort_settings.h"

namespace corvina {

struct LabelCharacters {
  // In order; from names, each name's characters are one piece, so that a surname read its
  // own way is read so here too.
  std::vector<std::string> pieces;
  bool from_names = false;
};

// `big5`: a byte A1..FE and the byte after it are one character, as the Big5 build reads
// them; else UTF-8.
LabelCharacters label_characters(const bib::Entry& entry, const SortSettings& settings, bool big5);

}  // namespace corvina
