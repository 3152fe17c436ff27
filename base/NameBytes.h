#pragma once

#include <QByteArrayView>
#include <QString>

// Byte-level rules for file names on systems whose names are bytes.

// The length of the valid UTF-8 sequence at the start of `bytes`, by the program's
// one UTF-8 rule (text/Utf8Validator); 0 when the first byte does not start one (a
// stray byte, an overlong form, a surrogate, a sequence cut short).
[[nodiscard]] qsizetype utf8SequenceLength(QByteArrayView bytes);

// The text shown for one name of bytes: decoded as UTF-8 where it is valid UTF-8,
// else as GB18030 where it is valid GB18030, through the converter the merge uses
// for contents (names from Chinese Windows come in GBK, which GB18030 contains),
// else as UTF-8 with each byte that starts no character written as \xNN. Control
// characters are written as \xNN too, so that every name shows on one line.
[[nodiscard]] QString displayName(QByteArrayView name);
