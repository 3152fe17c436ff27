#include "app/AppInfo.h"

QString applicationTitle()
{
    return QStringLiteral("Tamborel");
}

QString applicationVersion()
{
    return QStringLiteral(TAMBOREL_VERSION);
}
