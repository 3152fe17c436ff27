#include "browser/FolderListing.h"

#include "browser/ReadingOrder.h"

#include <algorithm>
#include <vector>

NativePath nearestReadableFolder(const NativePath& folder, const NativePath& root)
{
    NativePath current = folder;
    while (!isReadableFolder(current)) {
        if (current.sameAs(root) || !current.liesUnder(root))
            return {};
        current = current.parent();
    }
    return current;
}

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
    struct Sorted
    {
        ReadingKey key;
        FolderEntry entry;
    };
    std::vector<Sorted> sorted;
    sorted.reserve(std::size_t(names.size()));
    for (const NativePath& name : names) {
        QString text = name.display();
        sorted.push_back({readingKey(text), {name, std::move(text)}});
    }
    // Equal keys fall back on the exact text; two names can even show the same text
    // (the GBK and the UTF-8 form of one word): their bytes then decide, so the order
    // stays total.
    std::sort(sorted.begin(), sorted.end(), [](const Sorted& a, const Sorted& b) {
        if (const int byKey = a.key.compare(b.key); byKey != 0)
            return byKey < 0;
        if (const int byText = a.entry.text.compare(b.entry.text, Qt::CaseSensitive); byText != 0)
            return byText < 0;
        return a.entry.name.native() < b.entry.name.native();
    });
    QList<FolderEntry> entries;
    entries.reserve(names.size());
    for (Sorted& s : sorted)
        entries.append(std::move(s.entry));
    return entries;
}
