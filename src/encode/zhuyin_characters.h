#pragma once

#include <memory>
#include <string>

#include "encode/run_encoder.h"

namespace corvina {

// The characters of corvina4's zhuyin order: each sorts by its whole Taiwan reading, and
// the first character (or two, for a compound surname) of each name in a name field by
// its reading as a surname. Each run opens with `opening` (run_opening()).
std::unique_ptr<CharacterSet> make_zhuyin_characters(std::string opening);

}  // namespace corvina
