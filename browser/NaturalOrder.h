#pragma once

#include <QString>

// Natural order for file and folder names: runs of digits compare by their value,
// everything else by character with letter case ignored, so "file2" < "file10" <
// "File11". Names equal under that rule ("a1"/"a01", "a"/"A") are ordered by their
// exact characters, which makes this a strict total order usable with std::sort.
[[nodiscard]] bool naturalLess(const QString& a, const QString& b);
