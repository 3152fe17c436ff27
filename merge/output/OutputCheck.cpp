#include "merge/output/OutputCheck.h"

#include "merge/output/OutputSearch.h"

MergeResult checkOutputExists(const NativePath& outputName)
{
    MergeResult result = searchOutputName(outputName);
    if (!result.ok())
        result.path = outputName;
    return result;
}
