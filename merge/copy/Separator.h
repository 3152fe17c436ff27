#pragma once

#include "text/TextEncoding.h"

#include <QByteArrayView>

// The merged file holds one empty line between two inputs: before every input but
// the list's first, a line end alone in the output's encoding. Every copy writes
// what this gives before input `input`: nothing before the first.
[[nodiscard]] QByteArrayView separatorBefore(qsizetype input, TextEncoding output);
