#pragma once

#include <string_view>

#include "encode/token.h"

namespace corvina::big5 {

// The token at the front of `bytes`: a Big5 character is a lead byte and the byte after
// it, whatever that byte is. A run opens only on a lead byte A1..FE; once open, A0 leads
// too. A lead byte with nothing after it waits for more input, or at the end of the
// input is a plain byte.
Token get_tokena(std::string_view bytes, bool in_run, bool at_end);

}  // namespace corvina::big5
