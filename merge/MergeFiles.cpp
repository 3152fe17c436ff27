#include "merge/MergeFiles.h"

#include "merge/MergeOutput.h"
#include "merge/OutputCheck.h"

MergeResult mergeFiles(const QList<NativePath>& inputs, const NativePath& outputPath, qsizetype blockSize)
{
    const ExistenceResult existence = checkOutputExists(outputPath);
    switch (existence.status) {
    case ExistenceStatus::NoMatch:
        break;
    case ExistenceStatus::Exists:
        return MergeResult::failure(MergeStatus::AlreadyExists, outputPath, 0);
    case ExistenceStatus::BadName:
    case ExistenceStatus::OtherFailure:
        return MergeResult::failure(MergeStatus::OutputFailed, outputPath, existence.error);
    }
    MergeOutput output(outputPath);
    if (MergeResult opened = output.open(); !opened.ok())
        return opened;
    if (MergeResult copied = copyInputs(inputs, output, blockSize); !copied.ok())
        return copied;
    return output.publish();
}
