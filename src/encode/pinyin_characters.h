#pragma once

#include <memory>

#include "encode/run_encoder.h"

namespace corvina {

// The characters of corvina4's pinyin order: each sorts by its whole mainland reading, and
// the first character (or two, for a compound surname) of each name in a name field by its
// reading as a surname.
std::unique_ptr<CharacterSet> make_pinyin_characters(std::string opening);  // run_opening()

}  // namespace corvina
