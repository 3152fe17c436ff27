#include "merge/output/OutputCalls_linux.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

const OutputCalls& systemOutputCalls()
{
    static constexpr OutputCalls calls{
        [](int folder, int flags, mode_t mode) { return ::openat(folder, ".", flags, mode); },
        ::fdatasync,
        ::fsync,
        ::linkat,
        [](int folder, const char* from, const char* to) {
            return ::renameat2(folder, from, folder, to, RENAME_NOREPLACE);
        },
        [](int folder, const char* name) {
            return ::openat(folder, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        },
        [](int folder, const char* from, const char* to) { return ::renameat(folder, from, folder, to); },
        ::unlinkat,
        [](int fd, int flags) { return ::fcntl(fd, F_SETFL, flags); },
        ::statx,
    };
    return calls;
}

int removeName(const OutputCalls& calls, int folder, const QByteArray& name, int attempts)
{
    int error = 0;
    for (int attempt = 0, failures = 0; failures < attempts && attempt < 100; ++attempt) {
        if (calls.unlinkat(folder, name.constData(), 0) == 0 || errno == ENOENT)
            return 0;
        error = errno;
        if (error != EINTR)
            ++failures;
    }
    return error;
}
