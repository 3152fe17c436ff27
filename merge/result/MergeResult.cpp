#include "merge/result/MergeResult.h"

bool MergeResult::ok() const
{
    return status == MergeStatus::Ok;
}

MergeResult MergeResult::success()
{
    return {};
}

MergeResult MergeResult::failure(MergeStatus status, const NativePath& path, int error)
{
    MergeResult result;
    result.status = status;
    result.path = path;
    result.error = error;
    return result;
}
