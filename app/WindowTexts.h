#pragma once

#include <QString>

// The window's own Chinese texts, gathered so they can be read against the design at a glance.
namespace texts {

[[nodiscard]] QString caption(const QString& controlName);
[[nodiscard]] QString helpText();

} // namespace texts
