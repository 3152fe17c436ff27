#pragma once

#include <QStringView>

// Whether `name` matches `pattern`, in which "*" stands for any run of characters
// (none included) and "?" for exactly one; every other character stands for itself.
// Characters are whole code points, so "?" also matches one character outside the
// Basic Multilingual Plane. Square brackets have no special meaning.
[[nodiscard]] bool matchesNamePattern(QStringView pattern, QStringView name, Qt::CaseSensitivity cs);
