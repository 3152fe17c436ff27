#pragma once

#include <QByteArrayView>

// Whether the file name `name` matches `pattern`, both as the file system's bytes:
// "*" stands for any run of characters (none included) and "?" for exactly one;
// every other character stands for itself and compares exactly. A character is a
// valid UTF-8 sequence, or else a single byte, so "?" matches one Chinese character
// in a UTF-8 name and one byte of a name in another encoding. Square brackets have no
// special meaning.
[[nodiscard]] bool matchesNamePattern(QByteArrayView pattern, QByteArrayView name);
