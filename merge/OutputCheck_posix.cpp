// The output checks on POSIX systems: the existence test lists the folder itself,
// because the system offers no search by pattern, and maps errno values to the
// failure kinds the window distinguishes.
#include "merge/NamePattern.h"
#include "merge/OutputCheck.h"
#include "merge/OutputPath.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct DirCloser
{
    void operator()(DIR* dir) const { closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

ExistenceResult searchFailure(ExistenceStatus status, int error)
{
    return {status, qt_error_string(error)};
}

bool hasOverlongComponent(const QByteArray& path, qsizetype limit)
{
    const QList<QByteArray> components = path.split('/');
    return std::any_of(components.cbegin(), components.cend(),
                       [limit](const QByteArray& component) { return component.size() > limit; });
}

qsizetype nameLimitOf(DIR* dir)
{
    const long limit = fpathconf(dirfd(dir), _PC_NAME_MAX);
    return limit > 0 ? limit : NAME_MAX;
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
    return fstatat(dirfd(dir), entry->d_name, &info, 0) == 0 && S_ISREG(info.st_mode);
}

ExistenceResult scanFolder(DIR* dir, const QString& pattern)
{
    errno = 0;
    while (const dirent* entry = readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (matchesNamePattern(pattern, name, Qt::CaseSensitive) && isVisibleRegularFile(dir, entry))
            return {ExistenceStatus::Exists, {}};
        errno = 0;
    }
    if (errno != 0)
        return searchFailure(ExistenceStatus::OtherFailure, errno);
    return {ExistenceStatus::NoMatch, {}};
}

} // namespace

ExistenceResult checkOutputExists(const QString& outputName)
{
    if (outputName.contains(QChar(0)))
        return searchFailure(ExistenceStatus::BadName, EINVAL);
    const OutputPathParts parts = splitOutputPath(outputName);
    const QByteArray folder = QFile::encodeName(openableFolder(parts));
    if (hasOverlongComponent(folder, NAME_MAX))
        return searchFailure(ExistenceStatus::BadName, ENAMETOOLONG);

    const DirHandle dir(opendir(folder.constData()));
    if (!dir) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            return {ExistenceStatus::NoMatch, {}};
        const auto status = error == ENAMETOOLONG ? ExistenceStatus::BadName : ExistenceStatus::OtherFailure;
        return searchFailure(status, error);
    }
    if (QFile::encodeName(parts.fileName).size() > nameLimitOf(dir.get()))
        return searchFailure(ExistenceStatus::BadName, ENAMETOOLONG);
    return scanFolder(dir.get(), parts.fileName);
}

MergeResult createOutputFolder(const QString& folder)
{
    const QByteArray path = QFile::encodeName(folder);
    if (::mkdir(path.constData(), 0777) == 0)
        return MergeResult::success();
    const int error = errno;
    struct stat info = {};
    if (error == EEXIST && ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode))
        return MergeResult::success();
    return MergeResult::failure(MergeStatus::FolderFailed, folder, qt_error_string(error));
}
