#pragma once

#include "merge/encoding/MergeReport.h"

#include <QString>

// What a merge tells the user of the inputs it converted: one line for each
// encoding they came from, in the order the list first has it, naming the files
// ("以下文件已从 GBK 转换为 UTF-8：b.txt"); past a few files, the first of them and
// their count. Empty when nothing was converted. The window and the tool say the
// same, so it lives beside the merge.
[[nodiscard]] QString conversionText(const QList<ConvertedInput>& converted);
