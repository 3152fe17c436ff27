#include "mergelist/MergeListTexts.h"

namespace mergelisttexts {

QString listFull()
{
    return QStringLiteral("合并框内最多只能容纳 32767 个文件！");
}

} // namespace mergelisttexts
