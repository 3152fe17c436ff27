// Publishing the merged file on POSIX systems. On Linux the content goes into an
// unnamed O_TMPFILE file, which a crash cannot leave behind, and linkat() gives it
// its name; elsewhere, or where the file system refuses O_TMPFILE, a hidden file
// with a random name takes its place and link() publishes it. Both fail with EEXIST
// instead of replacing a file. Both create the file with mode 0666, so the kernel
// applies the umask (or the folder's default ACL) as for any new file.
#include "merge/MergeOutput.h"
#include "merge/OutputPath.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr qsizetype maxWriteChunk = qsizetype(1) << 30;

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}

// Returns 0 or the errno value of the failure.
int linkUnnamed(int fd, const QByteArray& target)
{
#ifdef O_TMPFILE
    const QByteArray procPath = "/proc/self/fd/" + QByteArray::number(fd);
    if (::linkat(AT_FDCWD, procPath.constData(), AT_FDCWD, target.constData(), AT_SYMLINK_FOLLOW) == 0)
        return 0;
    int error = errno;
    // Without /proc only AT_EMPTY_PATH can name the file, and older kernels allow
    // that to privileged processes alone.
    if (error == ENOENT && ::access("/proc/self/fd", F_OK) != 0) {
        if (::linkat(fd, "", AT_FDCWD, target.constData(), AT_EMPTY_PATH) == 0)
            return 0;
        error = errno;
    }
    return error;
#else
    Q_UNUSED(fd);
    Q_UNUSED(target);
    return ENOTSUP;
#endif
}

// Returns 0 or the errno value of the failure; the temporary name is gone on success.
int linkNamed(const QByteArray& temp, const QByteArray& target)
{
    if (::link(temp.constData(), target.constData()) == 0) {
        ::unlink(temp.constData());
        return 0;
    }
    const int error = errno;
#ifdef RENAME_NOREPLACE
    // File systems without hard links (FAT, some network ones) may still offer a
    // rename that refuses to replace.
    if (error != EEXIST) {
        if (::renameat2(AT_FDCWD, temp.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
            return 0;
        return errno == EINVAL || errno == ENOSYS ? error : errno;
    }
#endif
    return error;
}

} // namespace

MergeResult MergeOutput::open()
{
    discard();
    if (m_path.contains(QChar(0)))
        return failure(MergeStatus::OutputFailed, EINVAL);
    const OutputPathParts parts = splitOutputPath(m_path);
    if (parts.fileName.isEmpty())
        return failure(MergeStatus::OutputFailed, EISDIR);
    return openTemporary(parts);
}

MergeResult MergeOutput::openFailure(int error)
{
    return failure(error == ENOENT ? MergeStatus::FolderMissing : MergeStatus::OutputFailed, error);
}

MergeResult MergeOutput::openTemporary(const OutputPathParts& parts)
{
#ifdef O_TMPFILE
    const QByteArray folder = encoded(openableFolder(parts));
    const int fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0) {
        m_handle = fd;
        return MergeResult::success();
    }
    // Kernels and file systems without O_TMPFILE answer with one of these.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        return openFailure(errno);
#endif
    return openNamedTemporary(parts);
}

MergeResult MergeOutput::openNamedTemporary(const OutputPathParts& parts)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString temp = parts.folder + temporaryName();
        const int fd = ::open(encoded(temp).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            m_handle = fd;
            m_tempPath = temp;
            return MergeResult::success();
        }
        if (errno != EEXIST)
            return openFailure(errno);
    }
    return failure(MergeStatus::OutputFailed, EEXIST);
}

MergeResult MergeOutput::write(const char* data, qsizetype size)
{
    if (!isOpen())
        return failure(MergeStatus::OutputFailed, EBADF);
    while (size > 0) {
        const ssize_t count =
            ::write(static_cast<int>(m_handle), data, static_cast<size_t>(std::min(size, maxWriteChunk)));
        if (count > 0) {
            data += count;
            size -= count;
        } else if (count == 0 || errno != EINTR) {
            // A regular file that takes nothing has no room left.
            return failure(MergeStatus::OutputFailed, count == 0 ? ENOSPC : errno);
        }
    }
    return MergeResult::success();
}

MergeResult MergeOutput::publish()
{
    if (!isOpen())
        return failure(MergeStatus::OutputFailed, EBADF);
    const QByteArray target = encoded(m_path);
    if (m_tempPath.isEmpty()) {
        // An unnamed file must get its name while it is still open.
        const int linkError = linkUnnamed(static_cast<int>(m_handle), target);
        if (linkError != 0)
            return failure(linkError == EEXIST ? MergeStatus::AlreadyExists : MergeStatus::OutputFailed,
                           linkError);
        const int closeError = closeHandle();
        if (closeError != 0) {
            // Late write errors (network file systems report them at close) make the
            // file just named untrustworthy: take the name back.
            ::unlink(target.constData());
            return failure(MergeStatus::OutputFailed, closeError);
        }
        return MergeResult::success();
    }
    const int closeError = closeHandle();
    if (closeError != 0)
        return failure(MergeStatus::OutputFailed, closeError);
    const int linkError = linkNamed(encoded(m_tempPath), target);
    if (linkError != 0)
        return failure(linkError == EEXIST ? MergeStatus::AlreadyExists : MergeStatus::OutputFailed,
                       linkError);
    m_tempPath.clear();
    return MergeResult::success();
}

void MergeOutput::discard()
{
    (void)closeHandle();
    if (!m_tempPath.isEmpty())
        ::unlink(encoded(m_tempPath).constData());
    m_tempPath.clear();
}

int MergeOutput::closeHandle()
{
    if (m_handle == -1)
        return 0;
    const int fd = static_cast<int>(m_handle);
    m_handle = -1;
    // On Linux the descriptor is released even when close() fails, so it is never retried.
    return ::close(fd) == 0 ? 0 : errno;
}
