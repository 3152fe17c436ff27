// Listing folders on POSIX systems straight from readdir(), so that every name
// keeps its bytes.
#include "base/DirHandle_posix.h"
#include "base/TextFileName.h"
#include "browser/FolderListing.h"

#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class Kind
{
    File,
    Folder
};

// Plain entries tell their kind in the directory entry itself; only links and
// entries of unknown kind cost a stat, which follows the link as the panes do.
bool isOfKind(DIR* dir, const dirent* entry, Kind kind)
{
    const unsigned char wanted = kind == Kind::File ? DT_REG : DT_DIR;
    if (entry->d_type == wanted)
        return true;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
        return false;
    struct stat info = {};
    if (::fstatat(::dirfd(dir), entry->d_name, &info, 0) != 0)
        return false;
    return kind == Kind::File ? S_ISREG(info.st_mode) : S_ISDIR(info.st_mode);
}

QList<FolderEntry> entriesOf(const NativePath& folder, Kind kind)
{
    QList<NativePath> names;
    if (folder.isEmpty())
        return {};
    const DirHandle dir = openDir(folder.native());
    if (!dir)
        return {};
    while (const dirent* entry = ::readdir(dir.get())) {
        const QByteArrayView name(entry->d_name);
        // Dot names are hidden, "." and ".." among them.
        if (name.startsWith('.') || (kind == Kind::File && !hasTextExtension(name)))
            continue;
        if (isOfKind(dir.get(), entry, kind))
            names.append(NativePath::fromNative(name.toByteArray()));
    }
    return sortedEntries(names);
}

} // namespace

bool isReadableFolder(const NativePath& folder)
{
    struct stat info = {};
    return !folder.isEmpty() && ::stat(folder.native().constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           ::access(folder.native().constData(), R_OK) == 0;
}

QList<FolderEntry> subfolders(const NativePath& folder)
{
    return entriesOf(folder, Kind::Folder);
}

QList<FolderEntry> textFiles(const NativePath& folder)
{
    return entriesOf(folder, Kind::File);
}

bool isListedTextFile(const NativePath& path)
{
    const QByteArray name = path.fileName().native();
    struct stat info = {};
    return !name.startsWith('.') && hasTextExtension(name) && ::stat(path.native().constData(), &info) == 0 &&
           S_ISREG(info.st_mode);
}
