#pragma once

#include <memory>

#include "core/encoder.h"
#include "encode/utf8_groups.h"

namespace corvina {

std::unique_ptr<Encoder> make_utf8_encoder(SortOrder order, ChineseBlock block, RunMark mark = RunMark::kNone);

// The same encoder with its group values taken from `lookup` instead of the built-in
// tables; lets the token layout be checked without depending on the table data.
std::unique_ptr<Encoder> make_utf8_encoder_with(utf8::GroupLookup lookup,
                                                ChineseBlock block = ChineseBlock::kLast);

}  // namespace corvina
