#include "merge/copy/LineEndTransform.h"

#include "merge/copy/Separator.h"

#include <algorithm>

LineEndTransform::LineEndTransform(const CopyJob& job) : m_job(job) {}

MergeResult LineEndTransform::start(qsizetype input, QByteArray& out)
{
    m_lineEnds = {};
    m_skip = input == m_job.first ? m_job.skipFirst : 0;
    out.append(separatorBefore(input, m_job.encoding));
    return MergeResult::success();
}

// Up to the first lone CR the bytes go as they are; from there on they are expanded.
MergeResult LineEndTransform::take(QByteArrayView data, const InputScan& scan, QByteArray& out)
{
    const qsizetype skipped = std::min(m_skip, data.size());
    m_skip -= skipped;
    data = data.sliced(skipped);
    const char* const end = data.data() + data.size();
    const LineEndRule<char>::Piece piece = m_lineEnds.take(data.data(), end);
    const qsizetype start = out.size();
    out.resize(start + 1 + 2 * data.size() + lineEndSlack);
    char* to = out.data() + start;
    if (piece.lfFirst)
        *to++ = '\n';
    to = std::copy(data.data(), piece.loneCr, to);
    to = expandLoneCrs(piece.loneCr, piece.settled, to);
    to = std::copy(piece.settled, end, to);
    out.truncate(to - out.constData());
    // A mark is no text: a mark alone leaves no line open.
    if (scan.markOnly)
        m_lineEnds = {};
    return MergeResult::success();
}

MergeResult LineEndTransform::end(QByteArray& out)
{
    const std::string_view end = m_lineEnds.finish();
    out.append(end.data(), qsizetype(end.size()));
    return MergeResult::success();
}
