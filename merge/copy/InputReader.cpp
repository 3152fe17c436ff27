#include "merge/copy/InputReader.h"

#include "base/SystemThread.h"
#include "merge/copy/InputFile.h"
#include "merge/result/SystemError.h"

#include <algorithm>
#include <new>

namespace {

// Enough that reading runs ahead while a block is written, few enough to stay small.
constexpr qsizetype blockCount = 4;

} // namespace

struct InputReader::Block
{
    std::unique_ptr<char[]> buffer;
    QList<InputPiece> pieces;
    // Where each piece's bytes lie, and the bytes the transform made.
    QList<QList<TransformOutput::Span>> spans;
    QByteArray made;
};

InputReader::InputReader(const QList<NativePath>& inputs, qsizetype first, qsizetype end, qsizetype blockSize,
                         std::optional<FileIdentity> output, std::optional<EncodingScanner> scanner,
                         ReadTransform* transform)
    : m_inputs(inputs), m_end(end), m_blockSize(std::max<qsizetype>(1, blockSize)), m_output(output),
      m_blocks(std::make_unique<Block[]>(blockCount)), m_outOfMemory(1), m_input(first),
      m_scanner(std::move(scanner)), m_transform(transform)
{
    for (qsizetype i = 0; i < blockCount; ++i)
        m_blocks[i].buffer = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(m_blockSize));
    m_thread = std::make_unique<SystemThread>([this] { run(); });
}

InputReader::~InputReader()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.reset();
}

const QList<InputPiece>& InputReader::next()
{
    static const QList<InputPiece> none;
    std::unique_lock lock(m_mutex);
    if (std::exchange(m_holding, false)) {
        ++m_taken;
        m_changed.notify_all();
    }
    m_changed.wait(lock, [this] { return m_filled > m_taken || m_finished; });
    if (m_filled == m_taken)
        return m_failedForMemory ? m_outOfMemory : none;
    m_holding = true;
    return m_blocks[m_taken % blockCount].pieces;
}

// An exception that left the thread would end the program: running out of memory
// while reading fails the merge instead.
void InputReader::run()
{
    try {
        read();
    } catch (const std::bad_alloc&) {
        failForMemory();
    }
}

void InputReader::failForMemory()
{
    {
        const std::lock_guard lock(m_mutex);
        m_outOfMemory[0] = {
            m_input,
            {},
            0,
            true,
            MergeResult::failure(MergeStatus::InputFailed, m_inputs.value(m_input), outOfMemoryError()),
            {}};
        m_failedForMemory = true;
        m_finished = true;
    }
    m_changed.notify_all();
}

void InputReader::read()
{
    while (waitForRoom()) {
        const bool more = fill(m_blocks[m_filled % blockCount]);
        publish(!more);
        if (!more)
            return;
    }
}

bool InputReader::waitForRoom()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_filled - m_taken < blockCount || m_stop; });
    return !m_stop;
}

void InputReader::publish(bool finished)
{
    {
        const std::lock_guard lock(m_mutex);
        ++m_filled;
        m_finished = finished;
    }
    m_changed.notify_all();
}

bool InputReader::fill(Block& block)
{
    block.made.resize(0);
    block.spans.clear();
    const bool more = readBlock(block);
    // Placed once the block is whole: the bytes made may have moved while it grew.
    for (qsizetype i = 0; i < block.spans.size(); ++i) {
        InputPiece& piece = block.pieces[i];
        piece.parts.clear();
        if (!piece.failure.ok())
            continue;
        for (const TransformOutput::Span& span : block.spans.at(i))
            piece.parts.append(QByteArrayView(
                (span.made ? block.made.constData() : block.buffer.get()) + span.offset, span.size));
    }
    return more;
}

bool InputReader::readBlock(Block& block)
{
    block.pieces.clear();
    char* const data = block.buffer.get();
    qsizetype used = 0;
    // Small files share a block; one that is three quarters full goes rather than
    // take a small read.
    while (m_input < m_end && used < m_blockSize && (used == 0 || m_blockSize - used >= m_blockSize / 4)) {
        if (!m_file) {
            m_file = std::make_unique<InputFile>(m_inputs.at(m_input), m_output);
            if (MergeResult opened = m_file->open(); !opened.ok()) {
                block.pieces.append({m_input, {}, 0, true, opened, {}});
                return false;
            }
        }
        qsizetype count = 0;
        if (MergeResult read = m_file->read(data + used, m_blockSize - used, count); !read.ok()) {
            block.pieces.append({m_input, {}, 0, true, read, {}});
            return false;
        }
        if (!take(block, data + used, count))
            return false;
        if (count == 0) {
            block.pieces.last().endOfInput = true;
            m_file.reset();
            ++m_input;
            continue;
        }
        used += count;
    }
    return m_input < m_end;
}

bool InputReader::take(Block& block, const char* data, qsizetype count)
{
    const bool sameInput = !block.pieces.isEmpty() && block.pieces.last().input == m_input;
    if (!sameInput) {
        block.pieces.append({m_input, {}, 0, false, {}, {}});
        block.spans.append(QList<TransformOutput::Span>());
    }
    InputPiece& piece = block.pieces.last();
    piece.read += count;
    if (m_scanner)
        piece.scan = m_scanner->scan(m_input, data, count);
    // An input starts with its first read, which for an empty one reads nothing.
    const bool starts = m_transformedInput != m_input;
    m_transformedInput = m_input;
    const MergeResult turned = transform(block, data, count, piece.scan, starts);
    if (turned.ok())
        return true;
    piece = {m_input, {}, 0, true, turned, {}};
    return false;
}

MergeResult InputReader::transform(Block& block, const char* data, qsizetype count, const InputScan& scan,
                                   bool starts)
{
    TransformOutput out(block.spans.last(), block.made, block.buffer.get());
    if (m_transform == nullptr) {
        out.keep(data, data + count);
        return MergeResult::success();
    }
    MergeResult turned = starts ? m_transform->start(m_input, out) : MergeResult::success();
    if (turned.ok())
        turned = m_transform->take(QByteArrayView(data, count), scan, out);
    if (turned.ok() && count == 0)
        turned = m_transform->end(out);
    return turned;
}
