#include "browser/OutputName.h"

QString defaultOutputName(const NativePath& folder)
{
    const QString separator = NativePath::separator().display();
    const QString text = folder.display();
    return (text.endsWith(separator) ? text : text + separator) + QStringLiteral("Corvalent.txt");
}
