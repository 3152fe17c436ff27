#pragma once

#include "merge/EncodingPlan.h"
#include "merge/TextEncoding.h"

#include <QList>

// Follows the encodings of the inputs a copy writes as their bytes, found while the
// copy scans them, so that no input is read twice to find its encoding. At the end
// of each input it tells the copy whether those bytes belong in the output as they
// are; the first input whose bytes do not ends the copy, to be taken back and
// written again in the output's encoding.
class EncodingWatch final
{
public:
    // A copy starts at input `first`, after the output's first `outputStart` bytes.
    // Its inputs are then counted from 0.
    void start(qsizetype first, qint64 outputStart);
    // Bytes of input `input` of the copy, in their order; false once its bytes are
    // known not to belong in the output, when the copy may end the input there.
    [[nodiscard]] bool feed(qsizetype input, const char* data, qsizetype size);
    // Input `input` of the copy is written, the output then `outputEnd` bytes long;
    // false when its bytes do not belong there: the copy then stops.
    [[nodiscard]] bool endInput(qsizetype input, qint64 outputEnd);

    [[nodiscard]] bool stopped() const;
    // The input that stopped the copy, counted among all inputs.
    [[nodiscard]] qsizetype stoppedInput() const;
    // Where the output is cut back to: the end of the input before, or the start
    // when the output's encoding gained a byte-order mark.
    [[nodiscard]] qint64 cutAt() const;
    // Every input before the stopped one is to be written again.
    [[nodiscard]] bool restarts() const;

    // Records the encoding of an input that no copy scanned, and returns what
    // becomes of it.
    InputAction add(const DetectedEncoding& input);
    [[nodiscard]] TextEncoding output() const;
    [[nodiscard]] const QByteArray& mark() const;
    [[nodiscard]] const DetectedEncoding& found(qsizetype input) const;

private:
    void follow(qsizetype input);
    // Whether an input found to be `found` goes into the output as its bytes.
    [[nodiscard]] bool fits(const DetectedEncoding& found, qsizetype index) const;

    QList<DetectedEncoding> m_found;
    TextEncoding m_output = TextEncoding::Ascii;
    QByteArray m_mark;
    EncodingDetector m_detector;
    // The current input was taken for UTF-8 before its end, and cut short.
    bool m_presumedUtf8 = false;
    qsizetype m_first = 0;
    qsizetype m_current = -1;
    qint64 m_lastEnd = 0;
    qsizetype m_stopped = -1;
    bool m_restarts = false;
};
