#pragma once

#include <memory>

#include "decode/decoder.h"

namespace corvina {

std::unique_ptr<Decoder> make_utf8_decoder(bool add_mbox);

}  // namespace corvina
