#pragma once

#include "merge/result/MergeResult.h"
#include "text/EncodingRule.h"

#include <QList>

#include <atomic>
#include <memory>

class CopyProgress;
class Gb18030Codec;
class MergeOutput;

// The failure of a merge with an input that cannot go in at all, by what the
// encoding rule says of it: text of unknown encoding into UTF-16 (EncodingUnknown),
// text that is not what its byte-order mark says (InputChanged); success otherwise.
[[nodiscard]] MergeResult refusalOf(InputAction action, const NativePath& path);

// Writes single inputs of the list where the byte copy of the whole list could
// not: converted into the output's encoding, or without their byte-order mark. Each
// is read again from its start, so what it holds now is checked against what was
// found before: an input that changed meanwhile, and no longer goes in the way it
// was to, fails with InputChanged rather than leave half of it converted.
//
// Where an input was taken for UTF-8 or GB18030 from part of it (see EncodingWatch)
// and its text proves not to be that, it goes in as its bytes, as text of an
// unknown encoding does; this is the one place that undoes such a guess.
class InputRewriter final
{
public:
    // `progress`, where there is one, hears of every input written and its blocks.
    InputRewriter(const QList<NativePath>& inputs, MergeOutput& output, qsizetype blockSize,
                  const std::atomic<bool>* cancel, CopyProgress* progress = nullptr);
    ~InputRewriter();
    Q_DISABLE_COPY_MOVE(InputRewriter)

    // Writes input `input`, found to be `found`, after its separator, as `rule`
    // says for it, undoing a guess that proves wrong; `converted` tells whether its
    // text went in converted.
    [[nodiscard]] MergeResult write(qsizetype input, const DetectedEncoding& found, const EncodingRule& rule,
                                    bool& converted);
    // The same without undoing a guess: fails with InputChanged once the input does
    // not go in as found.
    [[nodiscard]] MergeResult writeAsFound(qsizetype input, const DetectedEncoding& found,
                                           const EncodingRule& rule);

private:
    [[nodiscard]] MergeResult copyBytes(qsizetype input, const DetectedEncoding& found,
                                        const EncodingRule& rule);
    [[nodiscard]] MergeResult convert(qsizetype input, const DetectedEncoding& found, TextEncoding output);
    [[nodiscard]] bool mayBeOtherText(const MergeResult& failure, qsizetype input,
                                      const DetectedEncoding& found, const EncodingRule& rule);

    const QList<NativePath>& m_inputs;
    MergeOutput& m_output;
    const qsizetype m_blockSize;
    const std::atomic<bool>* const m_cancel;
    CopyProgress* const m_progress;
    std::unique_ptr<Gb18030Codec> m_codec;
};
