// Publishing the merged file on POSIX systems. Every step goes through a descriptor
// of the output's folder, so the files stay in the folder that was checked even if
// a name on the way is changed meanwhile. On Linux the content goes into an unnamed
// O_TMPFILE file, which nothing can leave behind, and linkat() gives it its name;
// where the file system refuses O_TMPFILE (FAT, exFAT, network and FUSE file
// systems), a hidden file with a random name takes its place, guarded against
// termination signals, and link() or a non-replacing rename publishes it. Both fail
// with EEXIST instead of replacing a file. Both create the file with mode 0666, so
// the kernel applies the umask (or the folder's default ACL) as for any new file.
#include "merge/MergeOutput.h"
#include "merge/OutputPath.h"
#include "merge/SignalCleanup.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#ifdef __linux__
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#endif

namespace {

constexpr qsizetype maxWriteChunk = qsizetype(1) << 30;

// O_PATH needs no read permission: a folder that may be written but not listed
// still takes the merged file.
#ifdef O_PATH
constexpr int folderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
constexpr int folderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

// Answers of a file system that has nothing it could flush.
bool cannotFlush(int error)
{
    return error == EINVAL || error == ENOTSUP || error == ENOSYS;
}

// Returns 0 or the errno value of the failure.
int flushData(int fd)
{
    while (::fdatasync(fd) != 0) {
        if (errno != EINTR)
            return cannotFlush(errno) ? 0 : errno;
    }
    return 0;
}

// Flushes the folder's entries, so that the new name survives a power cut too.
// Returns 0 or the errno value of the failure.
int flushFolder(int folder, int file)
{
    const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        // A folder that may be written but not read: flush its whole file system.
#ifdef __linux__
        if (errno == EACCES)
            return ::syncfs(file) == 0 ? 0 : errno;
#endif
        Q_UNUSED(file);
        return errno == EACCES ? 0 : errno;
    }
    const int error = ::fsync(fd) == 0 || cannotFlush(errno) ? 0 : errno;
    ::close(fd);
    return error;
}

// FAT does not hide dot files; its own attribute does, should a power cut leave
// the file behind. Other file systems refuse the request, which changes nothing.
void hideOnFat(int fd)
{
#ifdef __linux__
    quint32 attributes = ATTR_HIDDEN;
    ::ioctl(fd, FAT_IOCTL_SET_ATTRIBUTES, &attributes);
#else
    Q_UNUSED(fd);
#endif
}

// Returns 0 or the errno value of the failure.
int linkUnnamed(int fd, int folder, const QByteArray& name)
{
#ifdef O_TMPFILE
    const QByteArray procPath = "/proc/self/fd/" + QByteArray::number(fd);
    if (::linkat(AT_FDCWD, procPath.constData(), folder, name.constData(), AT_SYMLINK_FOLLOW) == 0)
        return 0;
    int error = errno;
    // Without /proc only AT_EMPTY_PATH can name the file, and older kernels allow
    // that to privileged processes alone.
    if (error == ENOENT && ::access("/proc/self/fd", F_OK) != 0) {
        if (::linkat(fd, "", folder, name.constData(), AT_EMPTY_PATH) == 0)
            return 0;
        error = errno;
    }
    return error;
#else
    Q_UNUSED(fd);
    Q_UNUSED(folder);
    Q_UNUSED(name);
    return ENOTSUP;
#endif
}

// Returns 0 or the errno value of the failure; the temporary name is gone on success.
int linkNamed(int folder, const QByteArray& temp, const QByteArray& name)
{
    if (::linkat(folder, temp.constData(), folder, name.constData(), 0) == 0) {
        ::unlinkat(folder, temp.constData(), 0);
        return 0;
    }
    const int error = errno;
#ifdef RENAME_NOREPLACE
    // File systems without hard links (FAT, some network ones) may still offer a
    // rename that refuses to replace.
    if (error != EEXIST) {
        if (::renameat2(folder, temp.constData(), folder, name.constData(), RENAME_NOREPLACE) == 0)
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
    if (m_path.native().contains('\0'))
        return failure(MergeStatus::OutputFailed, EINVAL);
    const OutputPathParts parts = splitOutputPath(m_path);
    if (parts.fileName.isEmpty())
        return failure(MergeStatus::OutputFailed, EISDIR);
    m_folder = ::open(openableFolder(parts).native().constData(), folderFlags);
    if (m_folder < 0)
        return openFailure(errno);
    return openTemporary(parts);
}

MergeResult MergeOutput::openFailure(int error)
{
    return failure(error == ENOENT ? MergeStatus::FolderMissing : MergeStatus::OutputFailed, error);
}

MergeResult MergeOutput::openTemporary(const OutputPathParts& parts)
{
#ifdef O_TMPFILE
    if (m_temporary == Temporary::Unnamed) {
        const int fd = ::openat(m_folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0) {
            m_handle = fd;
            return MergeResult::success();
        }
        // Kernels and file systems without O_TMPFILE answer with one of these.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return openFailure(errno);
    }
#endif
    return openNamedTemporary(parts);
}

MergeResult MergeOutput::openNamedTemporary(const OutputPathParts& parts)
{
    Q_UNUSED(parts);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = temporaryName().toUtf8();
        // Guarded before it exists, so that no signal finds it unguarded.
        m_guard = signalcleanup::arm(m_folder, name);
        const int fd = ::openat(m_folder, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            m_handle = fd;
            m_tempName = NativePath::fromNative(name);
            hideOnFat(fd);
            return MergeResult::success();
        }
        const int error = errno;
        signalcleanup::disarm(std::exchange(m_guard, -1));
        if (error != EEXIST)
            return openFailure(error);
    }
    return failure(MergeStatus::OutputFailed, EEXIST);
}

qsizetype MergeOutput::beginDirectWrites()
{
#if defined(O_DIRECT) && defined(STATX_DIOALIGN)
    if (!isOpen() || m_directAlignment > 0)
        return m_directAlignment;
    const int fd = static_cast<int>(m_handle);
    // Only file systems that state their alignment are trusted with direct writes:
    // elsewhere (tmpfs, FUSE, older kernels) the flag may be refused, ignored, or
    // accepted with rules that nothing tells.
    struct statx info = {};
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_DIOALIGN, &info) != 0 || (info.stx_mask & STATX_DIOALIGN) == 0 ||
        info.stx_dio_offset_align == 0 || info.stx_dio_mem_align == 0)
        return 0;
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_DIRECT) != 0)
        return 0;
    m_directAlignment = std::max<qsizetype>(info.stx_dio_offset_align, info.stx_dio_mem_align);
#endif
    return m_directAlignment;
}

void MergeOutput::endDirectWrites()
{
#ifdef O_DIRECT
    const int fd = static_cast<int>(m_handle);
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_DIRECT);
#endif
    m_directAlignment = 0;
}

MergeResult MergeOutput::write(const char* data, qsizetype size)
{
    if (!isOpen())
        return failure(MergeStatus::OutputFailed, EBADF);
    while (size > 0) {
        if (m_directAlignment > 0 &&
            (size % m_directAlignment != 0 || reinterpret_cast<quintptr>(data) % m_directAlignment != 0))
            endDirectWrites();
        const ssize_t count =
            ::write(static_cast<int>(m_handle), data, static_cast<size_t>(std::min(size, maxWriteChunk)));
        if (count > 0) {
            data += count;
            size -= count;
        } else if (count < 0 && errno == EINVAL && m_directAlignment > 0) {
            // The device wants more than the file system said: write through the cache.
            endDirectWrites();
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
    const int fd = static_cast<int>(m_handle);
    // The content reaches the disk before the name does: a name must never stand
    // for an empty or partial file after a crash.
    if (const int error = flushData(fd); error != 0)
        return failure(MergeStatus::OutputFailed, error);
    const QByteArray name = splitOutputPath(m_path).fileName.native();
    const int linkError = m_tempName.isEmpty() ? linkUnnamed(fd, m_folder, name)
                                               : linkNamed(m_folder, m_tempName.native(), name);
    if (linkError != 0)
        return failure(linkError == EEXIST ? MergeStatus::AlreadyExists : MergeStatus::OutputFailed,
                       linkError);
    m_tempName = {};
    signalcleanup::disarm(std::exchange(m_guard, -1));
    const int flushError = flushFolder(m_folder, fd);
    const int closeError = closeHandle();
    if (flushError != 0 || closeError != 0) {
        // A name that may not survive, or late write errors that network file
        // systems report at close: take the name back rather than claim success.
        ::unlinkat(m_folder, name.constData(), 0);
        return failure(MergeStatus::OutputFailed, flushError != 0 ? flushError : closeError);
    }
    discard();
    return MergeResult::success();
}

void MergeOutput::discard()
{
    (void)closeHandle();
    if (!m_tempName.isEmpty())
        ::unlinkat(m_folder, m_tempName.native().constData(), 0);
    m_tempName = {};
    signalcleanup::disarm(std::exchange(m_guard, -1));
    if (m_folder >= 0)
        ::close(m_folder);
    m_folder = -1;
}

int MergeOutput::closeHandle()
{
    if (m_handle == -1)
        return 0;
    const int fd = static_cast<int>(m_handle);
    m_handle = -1;
    m_directAlignment = 0;
    // On Linux the descriptor is released even when close() fails, so it is never retried.
    return ::close(fd) == 0 ? 0 : errno;
}
