#pragma once

#include <QString>

// The texts the panes show of their own.
namespace browsertexts {

// The entry of a pane whose folder has not answered yet.
[[nodiscard]] QString waiting();

} // namespace browsertexts
