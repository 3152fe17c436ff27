#include "merge/InputRewriter.h"

#include "merge/Gb18030Codec.h"
#include "merge/InputFile.h"
#include "merge/LineEndWriter.h"
#include "merge/MergeOutput.h"
#include "merge/TextTranscoder.h"

#include <QByteArray>

#include <algorithm>

namespace {

// Converted text is made block by block: small blocks keep it in the processor's cache.
constexpr qsizetype largestBlock = qsizetype(256) * 1024;

QByteArrayView separatorIn(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf16Le:
        return QByteArrayView("\r\0\n\0", 4);
    case TextEncoding::Utf16Be:
        return QByteArrayView("\0\r\0\n", 4);
    default:
        return QByteArrayView("\r\n", 2);
    }
}

MergeResult changed(const NativePath& path)
{
    return MergeResult::failure(MergeStatus::InputChanged, path, 0);
}

MergeResult refused(const NativePath& path, const TextTranscoder& transcoder)
{
    return transcoder.cannotEncode() ? MergeResult::failure(MergeStatus::CannotConvert, path, 0)
                                     : changed(path);
}

} // namespace

InputRewriter::InputRewriter(MergeOutput& output, qsizetype blockSize, const std::atomic<bool>* cancel)
    : m_output(output), m_blockSize(std::clamp<qsizetype>(blockSize, 16, largestBlock)), m_cancel(cancel),
      m_block(std::make_unique<char[]>(static_cast<size_t>(m_blockSize)))
{}

InputRewriter::~InputRewriter() = default;

MergeResult InputRewriter::readAll(const NativePath& path, const Take& take)
{
    InputFile file(path, m_output.identity());
    if (MergeResult opened = file.open(); !opened.ok())
        return opened;
    for (;;) {
        if (m_cancel != nullptr && m_cancel->load(std::memory_order_relaxed))
            return MergeResult::failure(MergeStatus::Cancelled, {}, 0);
        qsizetype count = 0;
        if (MergeResult read = file.read(m_block.get(), m_blockSize, count); !read.ok())
            return read;
        if (count == 0)
            return MergeResult::success();
        if (MergeResult taken = take(m_block.get(), count); !taken.ok())
            return taken;
    }
}

MergeResult InputRewriter::detect(const NativePath& path, DetectedEncoding& found)
{
    EncodingDetector detector;
    const MergeResult read = readAll(path, [&](const char* data, qsizetype size) {
        detector.feed(data, size);
        return MergeResult::success();
    });
    found = detector.result();
    return read;
}

MergeResult InputRewriter::write(const NativePath& path, const DetectedEncoding& found, InputAction action,
                                 TextEncoding output, bool separatorFirst)
{
    if (separatorFirst) {
        const QByteArrayView separator = separatorIn(output);
        if (MergeResult written = m_output.write(separator.data(), separator.size()); !written.ok())
            return written;
    }
    if (action == InputAction::Convert)
        return convert(path, found, output);
    return copyBytes(path, found, action, output);
}

MergeResult InputRewriter::copyBytes(const NativePath& path, const DetectedEncoding& found,
                                     InputAction action, TextEncoding output)
{
    LineEndWriter writer(m_output, m_blockSize);
    EncodingDetector detector;
    qsizetype skip = action == InputAction::CopyWithoutMark ? found.markSize : 0;
    const MergeResult read = readAll(path, [&](const char* data, qsizetype size) {
        detector.feed(data, size);
        const qsizetype skipped = std::min(skip, size);
        skip -= skipped;
        return writer.feed(data + skipped, size - skipped);
    });
    if (!read.ok())
        return read;
    if (actionFor(detector.result(), output) != action)
        return changed(path);
    if (MergeResult ended = writer.endFile(); !ended.ok())
        return ended;
    return writer.flush();
}

MergeResult InputRewriter::convert(const NativePath& path, const DetectedEncoding& found, TextEncoding output)
{
    if (!m_codec)
        m_codec = std::make_unique<Gb18030Codec>();
    TextTranscoder transcoder(found.encoding, output, *m_codec);
    QByteArray text;
    const MergeResult read = readAll(path, [&](const char* data, qsizetype size) {
        text.resize(0);
        if (!transcoder.feed(QByteArrayView(data, size), text))
            return refused(path, transcoder);
        return m_output.write(text.constData(), text.size());
    });
    if (!read.ok())
        return read;
    text.resize(0);
    if (!transcoder.finish(text))
        return refused(path, transcoder);
    return m_output.write(text.constData(), text.size());
}
