// Reading an input on POSIX systems, straight from the file descriptor: the copy
// needs nothing but large blocks, and errno gives the reason of any failure.
#include "merge/copy/InputFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

qint64 InputFile::sizeOf(const NativePath& path)
{
    struct stat info = {};
    return ::stat(path.native().constData(), &info) == 0 && S_ISREG(info.st_mode) ? qint64(info.st_size) : 0;
}

MergeResult InputFile::open()
{
    // O_NONBLOCK keeps the open itself from waiting for a writer when the name is a
    // pipe; such a file is refused just below, and regular files ignore the flag.
    const int fd = ::open(m_path.native().constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return failure(MergeStatus::InputFailed, errno);
    m_handle = fd;
    struct stat info = {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        close();
        return failure(MergeStatus::InputFailed, error);
    }
    if (!S_ISREG(info.st_mode)) {
        close();
        return failure(MergeStatus::InputNotAFile, S_ISDIR(info.st_mode) ? EISDIR : 0);
    }
    if (m_output == FileIdentity{quint64(info.st_dev), quint64(info.st_ino)}) {
        close();
        return failure(MergeStatus::InputIsOutput, 0);
    }
    return MergeResult::success();
}

MergeResult InputFile::read(char* buffer, qsizetype capacity, qsizetype& count)
{
    count = 0;
    for (;;) {
        const ssize_t read = ::read(static_cast<int>(m_handle), buffer, static_cast<size_t>(capacity));
        if (read >= 0) {
            count = read;
            return MergeResult::success();
        }
        if (errno != EINTR)
            return failure(MergeStatus::InputFailed, errno);
    }
}

void InputFile::close()
{
    if (m_handle >= 0)
        ::close(static_cast<int>(m_handle));
    m_handle = -1;
}
