#pragma once
// Reading the hints of core/document_hints.h off the source lines.

#include <string_view>

#include "core/document_hints.h"

namespace corvina {

// Notes what one source line (with or without its line end) tells. Commented-out text
// counts only for the magic line.
void note_hints(std::string_view line, DocumentHints& hints);

}  // namespace corvina
