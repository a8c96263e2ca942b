#pragma once

#include <memory>
#include <string>

#include "core/decoder.h"

namespace corvina {

// `add_mbox` writes "\mbox{}" before a "}" that follows a decoded character, for the
// preprocessor; a comparison of decoded text with an original database turns it off.
std::unique_ptr<Decoder> make_utf8_decoder(bool add_mbox);

// The three bytes 1110xxxx 10xxxxxx 10xxxxxx that carry a `code` up to 0xFFFF, or the four
// bytes 11110xxx 10xxxxxx 10xxxxxx 10xxxxxx of a code of U+20000..U+3FFFF: exactly the bytes
// that the encoder read the code from.
std::string uni2utf8(unsigned code);

}  // namespace corvina
