#include "merge/copy/ReadAheadCopy.h"

#include "merge/copy/Cancel.h"
#include "merge/copy/CopyWatch.h"
#include "merge/copy/InputReader.h"
#include "merge/copy/LineEndWriter.h"
#include "merge/copy/Separator.h"
#include "merge/output/MergeOutput.h"

#include <algorithm>
#include <optional>

namespace {

// Lines ended by lone CRs are rebuilt in this buffer: small enough that it stays in
// the processor's cache beside the block being read, which measured twice as fast
// as a buffer as large as the block.
constexpr qsizetype writeBufferSize = qsizetype(128) * 1024;

class ReadAheadCopy final
{
public:
    explicit ReadAheadCopy(const CopyJob& job)
        : m_job(job), m_writer(job.output, std::min(std::max<qsizetype>(1, job.blockSize), writeBufferSize))
    {}

    [[nodiscard]] MergeResult run();

private:
    [[nodiscard]] MergeResult writePiece(const InputPiece& piece);
    [[nodiscard]] MergeResult startInput(qsizetype input);

    const CopyJob& m_job;
    LineEndWriter m_writer;
    qsizetype m_current = -1;
    // The watch ended the copy after the input just written.
    bool m_stop = false;
};

MergeResult ReadAheadCopy::run()
{
    std::optional<EncodingScanner> scanner;
    if (m_job.watch != nullptr)
        scanner.emplace(m_job.watch->scanRule());
    InputReader reader(m_job.inputs, m_job.first, m_job.last(), m_job.blockSize, m_job.output.identity(),
                       std::move(scanner));
    for (const QList<InputPiece>* pieces = &reader.next(); !pieces->isEmpty() && !m_stop;
         pieces = &reader.next()) {
        if (MergeResult cancelled = checkCancel(m_job.cancel); !cancelled.ok())
            return cancelled;
        for (const InputPiece& piece : *pieces) {
            if (MergeResult written = writePiece(piece); !written.ok())
                return written;
            if (m_stop)
                break;
        }
    }
    return m_writer.flush();
}

MergeResult ReadAheadCopy::startInput(qsizetype input)
{
    m_current = input;
    const QByteArrayView separator = separatorBefore(input, m_job.encoding);
    return m_writer.writeRaw(separator);
}

// Writes one piece, and once its input ends, completes that input's last line.
MergeResult ReadAheadCopy::writePiece(const InputPiece& piece)
{
    if (!piece.failure.ok())
        return piece.failure;
    if (piece.input != m_current) {
        if (MergeResult started = startInput(piece.input); !started.ok())
            return started;
    }
    CopyWatch::Piece use;
    if (m_job.watch != nullptr)
        use = m_job.watch->feed(piece.input, piece.size, piece.scan);
    const qsizetype skip = std::min(use.skip, piece.size);
    MergeResult fed = m_writer.feed(piece.data + skip, piece.size - skip);
    if (use.startsLine)
        m_writer.startLine();
    if (!fed.ok() || !(piece.endOfInput || use.cut))
        return fed;
    MergeResult ended = m_writer.endFile();
    if (!ended.ok())
        return ended;
    const bool goOn = m_job.watch == nullptr || m_job.watch->endInput(piece.input, m_writer.position());
    m_stop = use.cut || !goOn;
    return ended;
}

} // namespace

MergeResult copyReadingAhead(const CopyJob& job)
{
    return ReadAheadCopy(job).run();
}
