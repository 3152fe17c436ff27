#include "browser/OutputName.h"

#include "browser/NativePath.h"

QString defaultOutputName(const QString& folder)
{
    return childPath(folder, QStringLiteral("Corvalent.txt"));
}
