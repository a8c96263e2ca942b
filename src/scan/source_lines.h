#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace corvina {

// Empty for a regular file or nothing at all; else the line that reports what stands at
// `path` (a FIFO would hang the run, a device could be endless).
std::string unusual_file_note(const std::string& path);

// Hands each line of the file `path` to `visit`, without its '\n': whole up to a length of
// a megabyte or two, and a longer one condensed (scan/long_line.h) to what the line rules
// read of it, so memory stays the same for a line of any length. Returns false, having
// read nothing, when the file is missing or is not a regular file (nothing is then
// opened). Throws RunError(kExitFileError) naming the file when it is there and cannot be
// opened, or when reading fails partway;
// exceptions thrown by `visit` pass through, the file being closed on the way.
bool for_each_line(const std::string& path, const std::function<void(std::string_view)>& visit);

}  // namespace corvina
