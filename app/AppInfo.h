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

// Gives the running application its name, its version and the name of its desktop
// entry (the application id), by which Wayland shows the window with the entry's
// icon. The X11 class stays the program's name.
void describeApplication();

// The folder that holds the program's executable file.
[[nodiscard]] NativePath programFolder();
