#pragma once

#include "base/NativePath.h"

#include <QString>

// The application's name and version, shown in the title bar and every message box.
[[nodiscard]] QString applicationTitle();
[[nodiscard]] QString applicationVersion();

// The folder that holds the program's executable file.
[[nodiscard]] NativePath programFolder();
