#pragma once

#include "merge/copy/CopyJob.h"
#include "merge/copy/ReadTransform.h"
#include "text/LineEnds.h"

// What the byte copy that reads ahead does to the inputs' bytes, on the thread that
// reads them: the separator before each input but the list's first, the line rule,
// and the byte-order mark left out that the job says. The copy's own thread then
// only writes. Runs without a lone CR are handed on as they were read, uncopied.
class LineEndTransform final : public ReadTransform
{
public:
    explicit LineEndTransform(const CopyJob& job);

    [[nodiscard]] MergeResult start(qsizetype input, TransformOutput& out) override;
    [[nodiscard]] MergeResult take(QByteArrayView data, const InputScan& scan, TransformOutput& out) override;
    [[nodiscard]] MergeResult end(TransformOutput& out) override;

private:
    const CopyJob& m_job;
    LineEndRule<char> m_lineEnds;
    // Bytes of the current input still to be left out.
    qsizetype m_skip = 0;
};
