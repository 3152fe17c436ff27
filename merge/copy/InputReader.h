#pragma once

#include "merge/copy/EncodingScanner.h"
#include "merge/copy/ReadTransform.h"
#include "merge/output/FileIdentity.h"
#include "merge/result/MergeResult.h"

#include <QList>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>

class InputFile;
class SystemThread;

// A run of one input, as the copy takes it.
struct InputPiece
{
    qsizetype input = 0; // its index in the list
    // The bytes to write for it, in order: as read, or as the transform made them.
    QList<QByteArrayView> parts;
    // How many bytes of the input they stand for.
    qsizetype read = 0;
    // The input ends after these bytes.
    bool endOfInput = false;
    // Reading the input failed here; no bytes come with it, and reading stopped.
    MergeResult failure;
    // What the scan found of the input up to the end of these bytes, where it is scanned.
    InputScan scan;
};

// Reads the inputs, in order, on a thread of its own, into a few blocks that the
// copy takes one after the other: the next blocks are read while the last one is
// written, so that the two copies of every byte run side by side on two cores.
// Small files share a block. Memory stays at a few blocks whatever the files. Where
// a scanner is given, the thread also finds the encodings, while it would otherwise
// wait on the kernel, so that the copy's own thread never spends time on them.
class InputReader final
{
public:
    // Reads inputs [first, end) of the list; `output`: the file being written, which
    // no input may be. Where there is a `transform`, the pieces hold what it turned
    // the bytes into.
    InputReader(const QList<NativePath>& inputs, qsizetype first, qsizetype end, qsizetype blockSize,
                std::optional<FileIdentity> output, std::optional<EncodingScanner> scanner,
                ReadTransform* transform = nullptr);
    // Stops the reading and waits for the thread.
    ~InputReader();
    Q_DISABLE_COPY_MOVE(InputReader)

    // The pieces of the next block, waiting for them; empty once every input has
    // been read. They stay valid until the next call.
    [[nodiscard]] const QList<InputPiece>& next();

private:
    struct Block;

    void run();
    void read();
    // Ends the reading with the failure to allocate memory.
    void failForMemory();
    // Fills the block from the inputs, from `input` on; false once reading ends.
    [[nodiscard]] bool fill(Block& block);
    [[nodiscard]] bool readBlock(Block& block);
    // Takes `count` bytes read at `data` into the last piece of the block; false
    // where the transform failed, which the piece then tells.
    [[nodiscard]] bool take(Block& block, const char* data, qsizetype count);
    [[nodiscard]] MergeResult transform(Block& block, const char* data, qsizetype count,
                                        const InputScan& scan, bool starts);
    [[nodiscard]] bool waitForRoom();
    void publish(bool finished);

    const QList<NativePath> m_inputs;
    const qsizetype m_end;
    const qsizetype m_blockSize;
    const std::optional<FileIdentity> m_output;
    std::unique_ptr<Block[]> m_blocks;
    // The one piece handed over when memory runs out on the reading thread, made
    // before, as nothing can be allocated then.
    QList<InputPiece> m_outOfMemory;
    // Reading state, the thread's own.
    qsizetype m_input;
    std::optional<EncodingScanner> m_scanner;
    ReadTransform* const m_transform;
    // The input the transform was last told of.
    qsizetype m_transformedInput = -1;
    std::unique_ptr<InputFile> m_file;
    // Shared between the thread and the copy.
    std::mutex m_mutex;
    std::condition_variable m_changed;
    qsizetype m_filled = 0;
    qsizetype m_taken = 0;
    bool m_holding = false;
    bool m_finished = false;
    bool m_failedForMemory = false;
    bool m_stop = false;
    std::unique_ptr<SystemThread> m_thread;
};
