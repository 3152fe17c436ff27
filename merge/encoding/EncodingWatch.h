#pragma once

#include "merge/copy/CopyWatch.h"
#include "text/EncodingRule.h"

#include <QList>

// Finds the encodings of the inputs a byte copy writes while it scans them, so that
// no input is read twice to find its encoding, and keeps the encoding rule
// (text/EncodingRule) fed with them in the list's order. At the end of each input it
// tells the copy whether those bytes belong in the output as they are; the first
// input whose bytes do not ends the copy, to be taken back and written again in the
// output's encoding (see copyInputs).
//
// Two guesses save reading whole files where the answer hardly matters. Once the
// output's encoding is fixed, text that is not UTF-8 is taken for GB18030 without
// checking: into GB18030 it is copied either way, and into UTF-8 converting it finds
// out. Into a GB18030 output, text still valid UTF-8 64 KiB in is taken for UTF-8
// and cut short, to be converted at once rather than copied whole and cut back. An
// input taken for either that proves otherwise goes in as its bytes (InputRewriter).
class EncodingWatch final : public CopyWatch
{
public:
    // A copy starts after the output's first `outputStart` bytes, at the input after
    // the last one found.
    void start(qint64 outputStart);

    [[nodiscard]] EncodingRule scanRule() const override;
    [[nodiscard]] bool feed(qsizetype input, const InputScan& scan) override;
    [[nodiscard]] bool endInput(qsizetype input, qint64 outputEnd) override;

    [[nodiscard]] bool stopped() const;
    // The input that stopped the copy.
    [[nodiscard]] qsizetype stoppedInput() const;
    // Where the output is cut back to: the end of the input before, or the start
    // when the output's encoding gained a byte-order mark.
    [[nodiscard]] qint64 cutAt() const;
    // Every input before the stopped one is to be written again, after the mark.
    [[nodiscard]] bool restarts() const;

    // Records the encoding of the next input, which no copy scanned.
    void add(const DetectedEncoding& input);
    [[nodiscard]] const EncodingRule& rule() const;
    // What becomes of input `input`, found before, in the output as it now stands.
    [[nodiscard]] InputAction actionFor(qsizetype input) const;
    [[nodiscard]] const DetectedEncoding& found(qsizetype input) const;

private:
    void follow(qsizetype input);

    EncodingRule m_rule;
    QList<DetectedEncoding> m_found;
    // What the scan found of the current input up to its last piece.
    InputScan m_scan;
    // The current input was taken for UTF-8 before its end, and cut short.
    bool m_presumedUtf8 = false;
    // The current input was cut short.
    bool m_cut = false;
    qsizetype m_current = -1;
    qint64 m_lastEnd = 0;
    qsizetype m_stopped = -1;
    bool m_restarts = false;
};
