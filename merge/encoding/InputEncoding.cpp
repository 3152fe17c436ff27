#include "merge/encoding/InputEncoding.h"

#include "merge/copy/WholeInput.h"
#include "text/EncodingDetector.h"

MergeResult readEncoding(const NativePath& path, std::optional<FileIdentity> output, qsizetype blockSize,
                         const std::atomic<bool>* cancel, DetectedEncoding& found)
{
    EncodingDetector detector;
    const MergeResult read =
        readWholeInput(path, output, blockSize, cancel, [&](const char* data, qsizetype size) {
            detector.feed(data, size);
            return MergeResult::success();
        });
    found = detector.result();
    return read;
}
