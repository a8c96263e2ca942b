#pragma once
// The sorting that NAME.bcf asks biber for.

#include <optional>
#include <string_view>

#include "core/sort_settings.h"

namespace corvina {

// Reads the settings from the text of a .bcf. Templates named by no list of entries are
// left out; when no list names one, the one that the global option sortingtemplatename
// names is used. Returns nothing when the text holds no sorting template at all.
std::optional<SortSettings> read_sort_settings(std::string_view bcf);

}  // namespace corvina
