#pragma once

#include <QByteArrayView>
#include <QStringView>

// The one extension the program lists, takes into the merge list and gives its
// output: ".txt", in any letter case.

// Whether `extension` is exactly that, with its dot.
[[nodiscard]] bool isTextExtension(QStringView extension);
// Whether the name ends in it: as text, or as the bytes a POSIX file system holds.
// Safe on GBK and GB18030 names: neither uses the bytes of "." as the second half of
// a character.
[[nodiscard]] bool hasTextExtension(QStringView name);
[[nodiscard]] bool hasTextExtension(QByteArrayView name);
