#include "merge/copy/ReadAheadCopy.h"

#include "merge/copy/Cancel.h"
#include "merge/copy/CopyProgress.h"
#include "merge/copy/CopyWatch.h"
#include "merge/copy/InputReader.h"
#include "merge/copy/LineEndTransform.h"
#include "merge/copy/WriteBuffer.h"
#include "merge/output/MergeOutput.h"

#include <algorithm>
#include <optional>

namespace {

// Small pieces gather in this buffer: small enough that it stays in the processor's
// cache beside the block being read.
constexpr qsizetype writeBufferSize = qsizetype(128) * 1024;

// The reading thread scans the bytes, finds their encoding and applies the line
// rule; this thread decides with the watch and writes.
class ReadAheadCopy final
{
public:
    explicit ReadAheadCopy(const CopyJob& job)
        : m_job(job), m_lines(job),
          m_writer(job.output, std::min(std::max<qsizetype>(1, job.blockSize), writeBufferSize))
    {}

    [[nodiscard]] MergeResult run();

private:
    [[nodiscard]] MergeResult writePiece(const InputPiece& piece);

    const CopyJob& m_job;
    LineEndTransform m_lines;
    WriteBuffer m_writer;
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
                       std::move(scanner), &m_lines);
    for (const QList<InputPiece>* pieces = &reader.next(); !pieces->isEmpty() && !m_stop;
         pieces = &reader.next()) {
        for (const InputPiece& piece : *pieces) {
            // Per piece: small files share a block.
            if (MergeResult cancelled = checkCancel(m_job.cancel); !cancelled.ok())
                return cancelled;
            if (MergeResult written = writePiece(piece); !written.ok())
                return written;
            if (m_stop)
                break;
        }
    }
    return m_writer.flush();
}

MergeResult ReadAheadCopy::writePiece(const InputPiece& piece)
{
    if (!piece.failure.ok())
        return piece.failure;
    if (m_job.progress != nullptr && piece.input != m_current)
        m_job.progress->enter(piece.input);
    m_current = piece.input;
    // Bytes that do not belong are not written: the input ends there, and the copy.
    const bool belongs = m_job.watch == nullptr || m_job.watch->feed(piece.input, piece.scan);
    for (qsizetype i = 0; belongs && i < piece.parts.size(); ++i) {
        if (MergeResult written = m_writer.put(piece.parts.at(i).data(), piece.parts.at(i).size());
            !written.ok())
            return written;
    }
    if (belongs && m_job.progress != nullptr)
        m_job.progress->advance(piece.read);
    if (belongs && !piece.endOfInput)
        return MergeResult::success();
    const bool goOn = m_job.watch == nullptr || m_job.watch->endInput(piece.input, m_writer.position());
    m_stop = !belongs || !goOn;
    return MergeResult::success();
}

} // namespace

MergeResult copyReadingAhead(const CopyJob& job)
{
    return ReadAheadCopy(job).run();
}
