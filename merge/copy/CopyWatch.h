#pragma once

#include <QtGlobal>

// Follows the inputs of a byte copy as it writes them, and has a say in it.
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

    // Bytes of input `input` (its index in the list), in their order.
    [[nodiscard]] virtual Piece feed(qsizetype input, const char* data, qsizetype size) = 0;
    // Input `input` is written, the output then `outputEnd` bytes long; false ends
    // the copy after it.
    [[nodiscard]] virtual bool endInput(qsizetype input, qint64 outputEnd) = 0;
};
