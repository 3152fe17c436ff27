// The merged file's temporary home on Linux. Every step goes through a descriptor
// of the output's folder, so the files stay in the folder that was checked even if
// a name on the way is changed meanwhile. The content goes into an unnamed
// O_TMPFILE file, which nothing can leave behind; where the file system refuses
// O_TMPFILE (FAT, exFAT, network and FUSE file systems), a hidden file with a
// random name takes its place, guarded against termination signals. Both are
// created with mode 0666, so the kernel applies the umask (or the folder's default
// ACL) as for any new file.
#include "merge/output/MergeOutput.h"
#include "merge/output/OutputCalls_linux.h"
#include "merge/output/SignalCleanup.h"
#include "outputname/OutputPath.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// O_PATH needs no read permission: a folder that may be written but not listed
// still takes the merged file.
constexpr int folderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

// FAT does not hide dot files; its own attribute does, should a power cut leave
// the file behind. Other file systems refuse the request, which changes nothing.
void hideOnFat(int fd)
{
    quint32 attributes = ATTR_HIDDEN;
    ::ioctl(fd, FAT_IOCTL_SET_ATTRIBUTES, &attributes);
}

} // namespace

const OutputCalls& MergeOutput::calls() const
{
    return m_calls != nullptr ? *m_calls : systemOutputCalls();
}

MergeResult MergeOutput::open()
{
    discard();
    signalcleanup::failWritesPastSizeLimit();
    m_size = 0;
    if (m_path.native().contains('\0'))
        return abandon(MergeStatus::OutputFailed, EINVAL);
    const OutputPathParts parts = splitOutputPath(m_path);
    if (parts.fileName.isEmpty())
        return abandon(MergeStatus::OutputFailed, EISDIR);
    m_folder = ::open(openableFolder(parts).native().constData(), folderFlags);
    if (m_folder < 0)
        return openFailure(errno);
    return openTemporary(parts);
}

MergeResult MergeOutput::openFailure(int error)
{
    return abandon(error == ENOENT ? MergeStatus::FolderMissing : MergeStatus::OutputFailed, error);
}

MergeResult MergeOutput::openTemporary(const OutputPathParts& parts)
{
    if (m_temporary == Temporary::Unnamed) {
        const int fd = calls().openUnnamed(m_folder, O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0) {
            m_handle = fd;
            return MergeResult::success();
        }
        // Kernels and file systems without O_TMPFILE answer with one of these.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return openFailure(errno);
    }
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
    return abandon(MergeStatus::OutputFailed, EEXIST);
}

void MergeOutput::discard()
{
    m_gatheredSize = 0;
    (void)closeHandle();
    if (!m_tempName.isEmpty())
        (void)removeName(calls(), m_folder, m_tempName.native(), 1);
    m_tempName = {};
    signalcleanup::disarm(std::exchange(m_guard, -1));
    if (m_folder >= 0)
        ::close(m_folder);
    m_folder = -1;
}

std::optional<FileIdentity> MergeOutput::identity() const
{
    struct stat info = {};
    if (!isOpen() || ::fstat(static_cast<int>(m_handle), &info) != 0)
        return std::nullopt;
    return FileIdentity{quint64(info.st_dev), quint64(info.st_ino)};
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
