#pragma once

// Whether the tests run under Wine, which stands in for Windows here and differs
// from it in places. A row that Wine cannot pass for Wine's own reasons is skipped
// under Wine only, so that it still holds on Windows.
[[nodiscard]] bool runsUnderWine();
