#pragma once

#include <QString>

// The application's name and version, shown in the title bar and every message box.
[[nodiscard]] QString applicationTitle();
[[nodiscard]] QString applicationVersion();
