#include "browser/FolderListing.h"

#include "browser/NaturalOrder.h"

#include <algorithm>

QList<NativePath> folderAncestors(const NativePath& folder)
{
    QList<NativePath> chain;
    if (folder.isEmpty())
        return chain;
    NativePath current = folder.absolute();
    while (true) {
        chain.prepend(current);
        const NativePath parent = current.parent();
        if (parent == current)
            return chain;
        current = parent;
    }
}

QList<FolderEntry> sortedEntries(const QList<NativePath>& names)
{
    QList<FolderEntry> entries;
    entries.reserve(names.size());
    for (const NativePath& name : names)
        entries.append({name, name.display()});
    // Two names can show the same text (the GBK and the UTF-8 form of one word):
    // their bytes then decide, so the order stays total.
    std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
        if (naturalLess(a.text, b.text))
            return true;
        return !naturalLess(b.text, a.text) && a.name.native() < b.name.native();
    });
    return entries;
}
