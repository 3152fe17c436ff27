#pragma once

#include "merge/result/MergeResult.h"

#include <QByteArray>
#include <QList>

struct InputScan;

// What a transform makes of the bytes read, in order: runs of them as they are,
// which cost no copy, and bytes of its own.
class TransformOutput final
{
public:
    // A run of bytes: of those read (offset into the block), or made (into `made`).
    struct Span
    {
        bool made;
        qsizetype offset;
        qsizetype size;
    };

    TransformOutput(QList<Span>& spans, QByteArray& made, const char* block);

    // Bytes of those just read, unchanged.
    void keep(const char* from, const char* to);
    // Bytes of the transform's own.
    void add(QByteArrayView bytes);
    // For bytes made in place: append them to what this returns, then call made().
    [[nodiscard]] QByteArray& making();
    void made(qsizetype from);

private:
    QList<Span>& m_spans;
    QByteArray& m_made;
    const char* const m_block;
};

// Turns the inputs' bytes into what the copy writes, on the reading thread, while
// the copy's own thread writes what was turned before. A failure ends the reading
// there.
class ReadTransform
{
public:
    ReadTransform() = default;
    virtual ~ReadTransform();
    Q_DISABLE_COPY_MOVE(ReadTransform)

    // Input `input` starts.
    [[nodiscard]] virtual MergeResult start(qsizetype input, TransformOutput& out) = 0;
    // The next bytes of the input, and what the scan found of it up to their end.
    [[nodiscard]] virtual MergeResult take(QByteArrayView data, const InputScan& scan,
                                           TransformOutput& out) = 0;
    // The input has ended.
    [[nodiscard]] virtual MergeResult end(TransformOutput& out) = 0;
};
