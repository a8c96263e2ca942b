#pragma once

#include <memory>

#include "core/encoder.h"

namespace corvina {

std::unique_ptr<Encoder> make_big5_encoder(SortOrder order, ChineseBlock block, RunMark mark = RunMark::kNone);

}  // namespace corvina
