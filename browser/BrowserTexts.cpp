#include "browser/BrowserTexts.h"

namespace browsertexts {

QString waiting()
{
    return QStringLiteral("正在读取……");
}

} // namespace browsertexts
