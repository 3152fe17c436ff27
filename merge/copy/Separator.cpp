#include "merge/copy/Separator.h"

#include "text/LineEnds.h"

QByteArrayView separatorBefore(qsizetype input, TextEncoding output)
{
    return input > 0 ? lineEndIn(output) : QByteArrayView();
}
