#pragma once
// The program holds every file name as the bytes it read from the command line, the
// document or a locator: UTF-8 in corvina4, the system's code page in corvina. POSIX
// passes such bytes to the kernel as they are; Windows opens files by UTF-16 names, and
// its narrow calls read bytes in the ANSI code page, which would garble a UTF-8 name. So
// every name meets the file system through to_path.

#include <filesystem>
#include <string>
#include <vector>

namespace corvina {

enum class NameEncoding { kUtf8, kAnsiCodePage };

// Chosen once, at start, from the Build; kUtf8 until then.
void set_name_encoding(NameEncoding encoding);

// A name as the program holds it, as the file system takes it; and back.
std::filesystem::path to_path(const std::string& name);
std::string from_path(const std::filesystem::path& path);

// The arguments after the program's name, in the name encoding. On Windows the narrow
// argv of a UTF-8 program is garbled already, so they come from the wide command line.
std::vector<std::string> program_arguments(int argc, char** argv);

}  // namespace corvina
