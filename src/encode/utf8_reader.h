#pragma once

#include <string_view>

#include "encode/token.h"

namespace corvina::utf8 {

// The token at the front of `bytes`: a character is a well-formed three-byte sequence,
// E0..EF followed by two bytes 80..BF, or a four-byte CJK ideograph of U+20000..U+3FFFF,
// F0 A0..BF followed by two bytes 80..BF. Everything else, other four-byte sequences
// (emoji) and stray bytes included, is a plain byte, so it comes back from the decoder
// untouched. A sequence cut off by the end of `bytes` waits for more input unless `at_end`.
Token get_tokena(std::string_view bytes, bool at_end);

}  // namespace corvina::utf8
