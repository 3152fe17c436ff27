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

    // What becomes of one piece of an input.
    struct Piece
    {
        // How many of its first bytes stay out of the output: a byte-order mark dropped.
        qsizetype skip = 0;
        // The input's bytes are known not to belong in the output: the input ends with
        // this piece, and the copy after it.
        bool cut = false;
        // All of the input so far is its byte-order mark, which is no text: the line
        // rule starts afresh after this piece, so that a mark alone ends no line.
        bool startsLine = false;
    };

    // The rule the copy's scanner follows, as it stands when the copy starts.
    [[nodiscard]] virtual EncodingRule scanRule() const = 0;
    // The next `size` bytes of input `input` (its index in the list), and what the
    // scan of the input has found up to their end.
    [[nodiscard]] virtual Piece feed(qsizetype input, qsizetype size, const InputScan& scan) = 0;
    // Input `input` is written, the output then `outputEnd` bytes long; false ends
    // the copy after it.
    [[nodiscard]] virtual bool endInput(qsizetype input, qint64 outputEnd) = 0;
};
