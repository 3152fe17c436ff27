#pragma once

#include "merge/TextEncoding.h"

#include <QByteArray>
#include <QList>

// What becomes of each input's bytes once the encodings are known.
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
};

struct EncodingPlan
{
    // Ascii when no input fixes the encoding: then every input is copied.
    TextEncoding output = TextEncoding::Ascii;
    // The byte-order mark the output starts with, if any.
    QByteArray mark;
    QList<InputAction> actions;
};

// The output takes the encoding of the first input, in the list's order, that is in
// UTF-8, GB18030 or UTF-16, with that input's byte-order mark (UTF-16 always has
// one). ASCII fits any output but UTF-16; text in another encoding is converted;
// text of unknown encoding goes in as its bytes, but never into UTF-16. No mark of
// an input stays: the output's own is written first.
[[nodiscard]] EncodingPlan planEncodings(const QList<DetectedEncoding>& inputs);

// The same rule, input by input: whether an input in `encoding` fixes the output's,
// the mark an output fixed by `input` starts with, and what becomes of `input` in
// an `output` encoding (Ascii while no input has fixed it).
[[nodiscard]] bool fixesEncoding(TextEncoding encoding);
[[nodiscard]] QByteArray markOf(const DetectedEncoding& input);
[[nodiscard]] InputAction actionFor(const DetectedEncoding& input, TextEncoding output);
[[nodiscard]] bool isUtf16(TextEncoding encoding);
