#pragma once

#include <QString>

// The window's own Chinese texts, gathered so they can be read against the design at a glance.
namespace texts {

[[nodiscard]] QString caption(const QString& controlName);
[[nodiscard]] QString helpText();
// The name by which assistive technology reads a control, without the arrows of
// the captions; empty for the labels, which read as they show.
[[nodiscard]] QString accessibleName(const QString& controlName);
// The name of the ">>" label, which widens the merge list or restores it.
[[nodiscard]] QString longNameToggle(bool widened);

} // namespace texts
