#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Small file helpers shared by the tests.

// The system's separator, for paths typed as the user types them.
[[nodiscard]] QString sep();

// Whether the file was written with exactly these bytes; the caller QVERIFYs it.
[[nodiscard]] bool writeBytes(const QString& path, const QByteArray& bytes);
// The file's bytes, or "<missing>" when it cannot be read, so that a missing file
// never passes for an empty one.
[[nodiscard]] QByteArray readBytes(const QString& path);

// Every entry of a folder, hidden ones included, sorted; "." and ".." left out.
// Used to prove that a failed merge left no temporary file behind.
[[nodiscard]] QStringList allEntries(const QString& folder);
