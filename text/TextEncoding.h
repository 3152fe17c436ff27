#pragma once

#include <QtGlobal>

// The encodings the merge tells apart by an input's bytes. Nothing is guessed beyond
// them: text that is neither valid UTF-8 nor valid GB18030 (which holds GBK) and has
// no byte-order mark is of an unknown encoding.
enum class TextEncoding
{
    // No byte at or above 0x80: it reads the same in any of the others but UTF-16.
    Ascii,
    Utf8,
    Utf16Le,
    Utf16Be,
    Gb18030,
    Unknown,
};

struct DetectedEncoding
{
    TextEncoding encoding = TextEncoding::Ascii;
    // The bytes of the byte-order mark the input starts with; 0 when it has none.
    qsizetype markSize = 0;
    // False where the text after a UTF-8 mark is not valid UTF-8: text that is not
    // what its own mark says is no text the merge can take.
    bool validText = true;
};
