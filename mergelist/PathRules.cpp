#include "mergelist/PathRules.h"

// The merge list joins and compares paths exactly as the panes do, so an entry
// built from the file pane is the path the pane would show.

NativePath buildFullPath(const NativePath& folder, const NativePath& fileName)
{
    return folder.child(fileName);
}

NativePath::Native comparedForm(const NativePath& path)
{
    return path.key();
}
