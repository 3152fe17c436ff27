#pragma once

#include "merge/copy/EncodingScanner.h"

// Follows the inputs of a byte copy as it writes them, and has a say in it. The
// copy scans each input's bytes (EncodingScanner) where it reads them, and the watch
// decides, on the thread that writes, from what the scan found.
class CopyWatch
{
public:
    CopyWatch() = default;
    virtual ~CopyWatch();
    Q_DISABLE_COPY_MOVE(CopyWatch)

    // The rule the copy's scanner follows, as it stands when the copy starts.
    [[nodiscard]] virtual EncodingRule scanRule() const = 0;
    // What the scan found of input `input` (its index in the list) up to the end of
    // its next bytes: false where they are known not to belong in the output. The
    // input then ends there, none of these bytes written, and the copy after it.
    [[nodiscard]] virtual bool feed(qsizetype input, const InputScan& scan) = 0;
    // Input `input` is written, the output then `outputEnd` bytes long; false ends
    // the copy after it.
    [[nodiscard]] virtual bool endInput(qsizetype input, qint64 outputEnd) = 0;
};
