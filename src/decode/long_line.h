#pragma once
// A .bbl line too long to hold, decoded in pieces of a block: memory stays the same for a
// line of any length. The file is read three times over the line: for the line's record,
// which the log writes before the line; for the line as read, which follows it in the log;
// and to decode it.

#include <string>

#include "decode/bbl_lines.h"
#include "core/decoder.h"
#include "platform/file_io.h"

namespace corvina {

// Decodes the line that begins at `start` in `in` (named `name`) as decode_line would
// decode it whole. Returns the offset after the line. Throws RunError on a read error.
long long decode_long_line(InputFile& in, const std::string& name, long long start, Decoder& decoder,
                           DecodedOutput& output);

}  // namespace corvina
