#include "browser/OutputName.h"

QString defaultOutputName(const NativePath& folder)
{
    return folder.displayAsFolder() + QStringLiteral("Corvalent.txt");
}
