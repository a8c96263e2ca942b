#pragma once
// Byte-for-byte copies and comparisons of whole files, used to make and restore the
// backups of the user's databases.

#include <string>

namespace corvina {

// Copies the file `from` to `to` byte for byte (`to` is created or truncated; when it is
// a symbolic link, the file it points to is written). Returns an empty string on
// success, else a one-line message naming the file that failed and why.
std::string pure_write(const std::string& from, const std::string& to);

// True when both files can be read and hold the same bytes.
bool same_contents(const std::string& path1, const std::string& path2);

// Gives `to` the last-write time of `from`; false when either cannot be reached
// (`error`, when given, then receives errno).
bool copy_write_time(const std::string& from, const std::string& to, int* error = nullptr);

}  // namespace corvina
