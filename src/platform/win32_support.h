#pragma once
// What the Windows side's files share: conversions between the names the program holds
// (in the encoding that set_name_encoding chose) and the UTF-16 names of the wide API,
// and Windows error codes as the errno values that messages speak.

#include <windows.h>

#include <string>

namespace corvina {

std::wstring to_wide(const std::string& name);
std::string from_wide(const std::wstring& name);

int errno_from(DWORD error);

}  // namespace corvina
