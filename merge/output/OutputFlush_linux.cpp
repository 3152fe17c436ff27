#include "merge/output/OutputFlush_linux.h"

#include "merge/output/OutputCalls_linux.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool cannotFlush(int error)
{
    return error == EINVAL || error == ENOTSUP || error == ENOSYS;
}

} // namespace

int flushData(const OutputCalls& calls, int fd)
{
    while (calls.fdatasync(fd) != 0) {
        if (errno != EINTR)
            return cannotFlush(errno) ? 0 : errno;
    }
    return 0;
}

int flushFolder(const OutputCalls& calls, int folder, int file)
{
    const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        // A folder that may be written but not read: flush its whole file system.
        if (errno == EACCES)
            return ::syncfs(file) == 0 ? 0 : errno;
        return errno;
    }
    const int error = calls.fsync(fd) == 0 || cannotFlush(errno) ? 0 : errno;
    ::close(fd);
    return error;
}
