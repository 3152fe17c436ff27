// Listing folders on Windows with the system's own directory search, which gives each
// entry's UTF-16 name and attributes at once. Entries marked hidden or system are left
// out, as the Windows file and folder lists leave them out.
#include "base/TextFileName.h"
#include "base/Win32Path_win.h"
#include "browser/FolderListing.h"

#include <QFileInfo>

#include <windows.h>

namespace {

constexpr DWORD unlisted = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

bool isListedFolder(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && (attributes & unlisted) == 0;
}

bool isListedFile(DWORD attributes, QStringView name)
{
    const DWORD notAFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | unlisted;
    return (attributes & notAFile) == 0 && hasTextExtension(name);
}

enum class Kind
{
    Folders,
    TextFiles,
};

QList<FolderEntry> entriesOf(const NativePath& folder, Kind kind)
{
    if (folder.isEmpty())
        return {};
    const std::wstring pattern = win32Path(folder.child(NativePath::fromNative(QStringLiteral("*"))));
    WIN32_FIND_DATAW data = {};
    const HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                           nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        return {};
    QList<NativePath> names;
    do {
        const QString name = QString::fromWCharArray(data.cFileName);
        const bool listed = kind == Kind::Folders
                                ? isListedFolder(data.dwFileAttributes) && name != u"." && name != u".."
                                : isListedFile(data.dwFileAttributes, name);
        if (listed)
            names.append(NativePath::fromNative(name));
    } while (FindNextFileW(search, &data));
    FindClose(search);
    return sortedEntries(names);
}

} // namespace

bool isReadableFolder(const NativePath& folder)
{
    const QFileInfo info(folder.native());
    return !folder.isEmpty() && info.isDir() && info.isReadable();
}

QList<FolderEntry> subfolders(const NativePath& folder)
{
    return entriesOf(folder, Kind::Folders);
}

QList<FolderEntry> textFiles(const NativePath& folder)
{
    return entriesOf(folder, Kind::TextFiles);
}

bool isListedTextFile(const NativePath& path)
{
    const DWORD attributes = GetFileAttributesW(win32Path(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && isListedFile(attributes, path.fileName().native());
}
