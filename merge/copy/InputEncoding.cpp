#include "merge/copy/InputEncoding.h"

#include "merge/copy/InputFile.h"
#include "text/EncodingDetector.h"

#include <memory>

MergeResult readEncoding(const NativePath& path, std::optional<FileIdentity> output, qsizetype blockSize,
                         const std::atomic<bool>* cancel, DetectedEncoding& found)
{
    const auto block = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(blockSize));
    EncodingDetector detector;
    const MergeResult read =
        readWholeInput(path, output, block.get(), blockSize, cancel, [&](const char* data, qsizetype size) {
            detector.feed(data, size);
            return MergeResult::success();
        });
    found = detector.result();
    return read;
}
