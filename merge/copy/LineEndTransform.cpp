#include "merge/copy/LineEndTransform.h"

#include "merge/copy/EncodingScanner.h"
#include "merge/copy/Separator.h"

#include <algorithm>

LineEndTransform::LineEndTransform(const CopyJob& job) : m_job(job) {}

MergeResult LineEndTransform::start(qsizetype input, TransformOutput& out)
{
    m_lineEnds = {};
    m_skip = input == m_job.first ? m_job.skipFirst : 0;
    out.add(separatorBefore(input, m_job.encoding));
    return MergeResult::success();
}

// Up to the first lone CR the bytes go as they are; from there on they are expanded.
MergeResult LineEndTransform::take(QByteArrayView data, const InputScan& scan, TransformOutput& out)
{
    const qsizetype skipped = std::min(m_skip, data.size());
    m_skip -= skipped;
    data = data.sliced(skipped);
    const char* const end = data.data() + data.size();
    const LineEndRule<char>::Piece piece = m_lineEnds.take(data.data(), end);
    if (piece.lfFirst)
        out.add("\n");
    out.keep(data.data(), piece.loneCr);
    if (piece.loneCr != piece.settled) {
        QByteArray& made = out.making();
        const qsizetype from = made.size();
        made.resize(from + 2 * (piece.settled - piece.loneCr) + lineEndSlack);
        char* const to = expandLoneCrs(piece.loneCr, piece.settled, made.data() + from);
        made.truncate(to - made.constData());
        out.made(from);
    }
    out.keep(piece.settled, end);
    if (scan.markOnly)
        m_lineEnds.passMark();
    return MergeResult::success();
}

MergeResult LineEndTransform::end(TransformOutput& out)
{
    const std::string_view end = m_lineEnds.finish();
    out.add(QByteArrayView(end.data(), qsizetype(end.size())));
    return MergeResult::success();
}
