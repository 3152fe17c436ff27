#include "merge/output/OutputCalls_linux.h"

#include <fcntl.h>
#include <unistd.h>

const OutputCalls& systemOutputCalls()
{
    static constexpr OutputCalls calls{
        [](int folder, int flags, mode_t mode) { return ::openat(folder, ".", flags, mode); },
        ::fdatasync,
        ::fsync,
        ::linkat,
        ::unlinkat,
        [](int fd, int flags) { return ::fcntl(fd, F_SETFL, flags); },
        ::statx,
    };
    return calls;
}
