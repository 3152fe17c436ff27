#pragma once

#include "text/TextEncoding.h"

#include <QByteArray>

// What becomes of an input's bytes once the encodings are known.
enum class InputAction
{
    // Its bytes, as they are.
    Copy,
    // Its bytes after its byte-order mark.
    CopyWithoutMark,
    // Its text turned into the output's encoding (TextTranscoder).
    Convert,
    // It cannot go into the output: text of unknown encoding into UTF-16.
    Refuse,
    // It is not text in the encoding its byte-order mark names: the merge fails.
    NotText,
};

[[nodiscard]] bool isUtf16(TextEncoding encoding);

// The merge's one encoding rule, fed the inputs' encodings in the list's order. The
// output takes the encoding of the first input that is in UTF-8, GB18030 or UTF-16,
// with that input's byte-order mark (UTF-16 always has one); until then it is ASCII,
// into which everything is copied. ASCII fits any output but UTF-16; text in another
// encoding is converted; text of unknown encoding goes in as its bytes, but never
// into UTF-16. No mark of an input stays: the output's own is written first.
class EncodingRule final
{
public:
    // Takes the next input's encoding, which may fix the output's.
    void add(const DetectedEncoding& input);
    // What becomes of `input` in the output as the inputs added so far make it.
    [[nodiscard]] InputAction actionFor(const DetectedEncoding& input) const;
    // Whether `input`, added next, would fix the output's encoding.
    [[nodiscard]] bool wouldFix(const DetectedEncoding& input) const;
    // Whether `input`, added next, goes into the output as its bytes, mark and all:
    // where its action is to be copied, and where it is the list's first input and
    // fixes the output with its mark, which is then the output's own.
    [[nodiscard]] bool keepsBytes(const DetectedEncoding& input, bool firstInput) const;

    // Whether an input has fixed the output's encoding.
    [[nodiscard]] bool isFixed() const;
    // Ascii while no input has fixed it.
    [[nodiscard]] TextEncoding output() const;
    // The byte-order mark the output starts with, if any.
    [[nodiscard]] const QByteArray& mark() const;

private:
    TextEncoding m_output = TextEncoding::Ascii;
    QByteArray m_mark;
};
