#include "merge/MergeResult.h"

bool MergeResult::ok() const
{
    return status == MergeStatus::Ok;
}

MergeResult MergeResult::success()
{
    return {};
}

MergeResult MergeResult::failure(MergeStatus status, const QString& path, const QString& reason)
{
    return {status, path, reason};
}
