#pragma once

#include "base/NativePath.h"

#include <QStringList>

// Paths written as text in tests, and a readable form of NativePath in QCOMPARE.
[[nodiscard]] NativePath path(const QString& text);
[[nodiscard]] QList<NativePath> paths(const QStringList& texts);
[[nodiscard]] char* toString(const NativePath& path);
// What the user sees of each path, in order.
[[nodiscard]] QStringList displayTexts(const QList<NativePath>& paths);
