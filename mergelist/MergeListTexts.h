#pragma once

#include <QString>

namespace mergelisttexts {

// Shown once when an add would take the merge list past its 32767 entries.
[[nodiscard]] QString listFull();

} // namespace mergelisttexts
