#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Small file helpers shared by the merge tests; each fails the current test (via
// QVERIFY in the caller) by returning false or an empty value.
[[nodiscard]] bool writeBytes(const QString& path, const QByteArray& bytes);
[[nodiscard]] QByteArray readBytes(const QString& path);

// Every entry of a folder, hidden ones included, sorted; "." and ".." left out.
// Used to prove that a failed merge left no temporary file behind.
[[nodiscard]] QStringList allEntries(const QString& folder);
