#pragma once

#include "base/NativePath.h"

#include <QString>

// The application's name, shown in the title bar and every message box, its
// version, and its publisher and the addresses named in the help text.
[[nodiscard]] QString applicationTitle();
[[nodiscard]] QString applicationVersion();
[[nodiscard]] QString publisher();
[[nodiscard]] QString publisherEmail();
[[nodiscard]] QString homepage();
[[nodiscard]] QString xmppAddress();
[[nodiscard]] QString matrixRoom();

// The folder that holds the program's executable file.
[[nodiscard]] NativePath programFolder();
