#include "merge/copy/Cancel.h"

MergeResult checkCancel(const std::atomic<bool>* cancel)
{
    if (cancel != nullptr && cancel->load(std::memory_order_relaxed))
        return MergeResult::failure(MergeStatus::Cancelled, {}, 0);
    return MergeResult::success();
}
