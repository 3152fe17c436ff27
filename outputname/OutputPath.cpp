#include "outputname/OutputPath.h"

#include "outputname/OutputName.h"

#include <algorithm>
#include <optional>

OutputPathParts splitOutputPath(const NativePath& name)
{
    const NativePath::Native& native = name.native();
    const NativePath::Native slash = NativePath::fromText(QStringLiteral("/")).native();
    const qsizetype cut =
        std::max(native.lastIndexOf(slash), native.lastIndexOf(NativePath::separator().native())) + 1;
    return {NativePath::fromNative(native.left(cut)), NativePath::fromNative(native.mid(cut))};
}

NativePath openableFolder(const OutputPathParts& parts)
{
    return parts.folder.isEmpty() ? NativePath::fromText(QStringLiteral(".")) : parts.folder;
}

NativePath folderToCreate(const OutputPathParts& parts)
{
    return parts.folder.withoutTrailingSeparator();
}

QString folderPartOf(const QString& outputName)
{
    const std::optional<qsizetype> slash = lastIndexOf(u"/", outputName);
    const std::optional<qsizetype> separator = lastIndexOf(NativePath::separator().display(), outputName);
    // Up to and including the last separator of either kind; nothing when there is none.
    return outputName.left(std::max(slash.value_or(-1), separator.value_or(-1)) + 1);
}

NativePath outputPathOf(const QString& outputName, const NativePath& shownFolder)
{
    if (shownFolder.isEmpty())
        return NativePath::fromText(outputName);
    const QString prefix = shownFolder.displayAsFolder();
    if (!outputName.startsWith(prefix))
        return NativePath::fromText(outputName);
    return shownFolder.child(NativePath::fromText(outputName.mid(prefix.size())));
}
