#include "mergelist/PathRules.h"

#include "browser/NativePath.h"

// The merge list joins and compares paths exactly as the panes do, so an entry
// built from the file pane is the path the pane would show.

QString BuildFullPath(const QString& folder, const QString& fileName)
{
    return childPath(folder, fileName);
}

QString comparedForm(const QString& path)
{
    return pathKey(path);
}
