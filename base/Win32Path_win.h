#pragma once

#include "base/NativePath.h"

#include <string>

// The form of a path that the wide-character Win32 calls take. A path whose full
// form reaches the classic limit of 260 characters (248 for a folder) is given as
// "\\?\C:\..." or "\\?\UNC\server\...", the only form in which those calls accept it;
// it is made full by the system first, so that it means what the same path means
// when short. Every other path goes as it is, in native separators.
[[nodiscard]] std::wstring win32Path(const NativePath& path);
