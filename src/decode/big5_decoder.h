#pragma once

#include <memory>

#include "core/decoder.h"

namespace corvina {

std::unique_ptr<Decoder> make_big5_decoder(bool add_mbox);

}  // namespace corvina
