#include "browser/OutputName.h"

namespace {

// The folder's text as it stands in front of a name in it.
QString folderPrefix(const NativePath& folder)
{
    const QString separator = NativePath::separator().display();
    const QString text = folder.display();
    return text.endsWith(separator) ? text : text + separator;
}

} // namespace

QString defaultOutputName(const NativePath& folder)
{
    return folderPrefix(folder) + QStringLiteral("Corvalent.txt");
}

NativePath outputPathOf(const QString& outputName, const NativePath& shownFolder)
{
    if (shownFolder.isEmpty())
        return NativePath::fromText(outputName);
    const QString prefix = folderPrefix(shownFolder);
    if (!outputName.startsWith(prefix))
        return NativePath::fromText(outputName);
    return shownFolder.child(NativePath::fromText(outputName.mid(prefix.size())));
}
