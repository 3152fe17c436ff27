#include "merge/encoding/ConversionTransform.h"

ConversionTransform::ConversionTransform(TextEncoding from, TextEncoding to, Gb18030Codec& codec,
                                         const NativePath& path)
    : m_transcoder(from, to, codec), m_path(path)
{}

MergeResult ConversionTransform::start(qsizetype /*input*/, TransformOutput& /*out*/)
{
    return MergeResult::success();
}

MergeResult ConversionTransform::take(QByteArrayView data, const InputScan& /*scan*/, TransformOutput& out)
{
    const qsizetype from = out.making().size();
    const bool fed = m_transcoder.feed(data, out.making());
    out.made(from);
    return fed ? MergeResult::success() : refused();
}

MergeResult ConversionTransform::end(TransformOutput& out)
{
    const qsizetype from = out.making().size();
    const bool finished = m_transcoder.finish(out.making());
    out.made(from);
    return finished ? MergeResult::success() : refused();
}

MergeResult ConversionTransform::refused() const
{
    const MergeStatus status =
        m_transcoder.cannotEncode() ? MergeStatus::CannotConvert : MergeStatus::InputChanged;
    return MergeResult::failure(status, m_path, 0);
}
