#pragma once

#include "text/EncodingDetector.h"
#include "text/EncodingRule.h"

// What the bytes of an input so far say of its encoding (see EncodingDetector).
struct InputScan
{
    // Taken as the start of the input, and as the whole of it.
    DetectedEncoding soFar;
    DetectedEncoding whole;
    // Nothing that follows can change it.
    bool final = false;
    // Bytes above ASCII have come, all of them valid UTF-8 so far.
    bool utf8SoFar = false;
    qint64 bytes = 0;
    // All of the input so far is its byte-order mark, which is no text: the line
    // rule starts afresh after it, so that a mark alone ends no line.
    bool markOnly = false;
};

// Finds the encodings of the inputs a copy reads, block by block in the list's
// order, as the encoding rule has them looked at: GB18030 is checked only while no
// input before has fixed the output's encoding, for once it is fixed, text that is
// not UTF-8 goes in the same way whether it is GB18030 or not. It looks at the bytes
// on whichever thread reads them, so that the thread that writes never waits on it;
// the rule it follows is a copy of its own, which learns each input's encoding as
// the next begins.
class EncodingScanner final
{
public:
    explicit EncodingScanner(EncodingRule rule);

    // Takes the next bytes of input `input`; a new index starts the next input.
    [[nodiscard]] InputScan scan(qsizetype input, const char* data, qsizetype size);

private:
    EncodingRule m_rule;
    EncodingDetector m_detector;
    qsizetype m_input = -1;
};
