#pragma once

#include <QStringView>

// Whether Windows takes a file name for one of its devices (CON, PRN, AUX, NUL,
// COM1-COM9, LPT1-LPT9 and the console's CONIN$ and CONOUT$): in any letter case, with
// any extension, and with blanks before the first dot, since Windows reads "nul.txt"
// and "con .log.txt" as the device itself in every folder. Writing there would send
// the merged text to a device and call it a file. Plain text rules, so that they
// are tested on every platform; only the Windows output check applies them.
[[nodiscard]] bool isWindowsDeviceName(QStringView fileName);
