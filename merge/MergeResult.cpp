#include "merge/MergeResult.h"

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
    return {status, path, error};
}
