// The output checks on POSIX systems: the system offers no search by pattern, so a
// pattern name lists the folder itself, and errno values map to the failure kinds
// the window distinguishes.
#include "base/DirHandle_posix.h"
#include "merge/output/NamePattern.h"
#include "merge/output/OutputCheck.h"
#include "merge/output/OutputSearch.h"
#include "outputname/OutputPath.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

MergeResult searchFailure(MergeStatus status, int error)
{
    return MergeResult::failure(status, {}, error);
}

MergeResult found()
{
    return searchFailure(MergeStatus::AlreadyExists, 0);
}

bool hasOverlongComponent(const QByteArray& path)
{
    const QList<QByteArray> components = path.split('/');
    return std::any_of(components.cbegin(), components.cend(),
                       [](const QByteArray& component) { return component.size() > NAME_MAX; });
}

bool isPattern(const QByteArray& name)
{
    return name.contains('*') || name.contains('?');
}

// What the window's file list would show: no dot files, and only regular files
// (a link counts as what it points to).
bool isVisibleRegularFile(DIR* dir, const dirent* entry)
{
    if (entry->d_name[0] == '.')
        return false;
    if (entry->d_type == DT_REG)
        return true;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
        return false;
    struct stat info = {};
    return ::fstatat(::dirfd(dir), entry->d_name, &info, 0) == 0 && S_ISREG(info.st_mode);
}

MergeResult scanFolder(const NativePath& folder, const QByteArray& pattern)
{
    const DirHandle dir = openDir(folder.native());
    if (!dir) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            return MergeResult::success();
        return searchFailure(MergeStatus::CannotCheck, error);
    }
    errno = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (matchesNamePattern(pattern, entry->d_name) && isVisibleRegularFile(dir.get(), entry))
            return found();
        errno = 0;
    }
    if (errno != 0)
        return searchFailure(MergeStatus::CannotCheck, errno);
    return MergeResult::success();
}

} // namespace

MergeResult searchOutputName(const NativePath& outputName)
{
    const QByteArray& name = outputName.native();
    if (name.contains('\0'))
        return searchFailure(MergeStatus::BadName, EINVAL);
    if (hasOverlongComponent(name))
        return searchFailure(MergeStatus::BadName, ENAMETOOLONG);

    struct stat info = {};
    if (::lstat(name.constData(), &info) == 0)
        return found();
    const int error = errno;
    if (error == ENAMETOOLONG)
        return searchFailure(MergeStatus::BadName, error);
    if (error != ENOENT && error != ENOTDIR)
        return searchFailure(MergeStatus::CannotCheck, error);

    const OutputPathParts parts = splitOutputPath(outputName);
    if (!isPattern(parts.fileName.native()))
        return MergeResult::success();
    return scanFolder(openableFolder(parts), parts.fileName.native());
}

MergeResult createOutputFolder(const NativePath& folder)
{
    const QByteArray& path = folder.native();
    if (::mkdir(path.constData(), 0777) == 0)
        return MergeResult::success();
    const int error = errno;
    struct stat info = {};
    if (error == EEXIST && ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode))
        return MergeResult::success();
    return MergeResult::failure(MergeStatus::FolderFailed, folder, error);
}
