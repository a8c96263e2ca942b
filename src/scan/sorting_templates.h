#pragma once
// What NAME.bcf asks biber for that the encoder must know: the sorting, and the encoding
// biber reads the databases in.

#include <optional>
#include <string_view>

#include "core/sort_settings.h"

namespace corvina {

// Reads the settings from the text of a .bcf. Templates named by no list of entries are
// left out; when no list names one, the one that the global option sortingtemplatename
// names is used. Returns nothing when the text holds no sorting template at all.
std::optional<SortSettings> read_sort_settings(std::string_view bcf);

// Whether the .bcf tells biber to read the databases as Big5, in any of the spellings biber
// takes for it (big5, Big5, big5-eten, cp950, big5-hkscs, ...). biber reads them as UTF-8
// unless told otherwise.
bool bcf_reads_big5(std::string_view bcf);

}  // namespace corvina
