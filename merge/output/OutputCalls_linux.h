#pragma once

#include <sys/stat.h>
#include <sys/types.h>

// The system calls by which the merged file reaches the disk and gets its name.
// The merge makes the system's own; tests make their own, to see the order of the
// calls and to answer as file systems they cannot mount would.
struct OutputCalls
{
    // Creates an unnamed temporary file in the folder (O_TMPFILE among `flags`).
    int (*openUnnamed)(int folder, int flags, mode_t mode);
    int (*fdatasync)(int fd);
    int (*fsync)(int fd);
    int (*linkat)(int fromFolder, const char* from, int toFolder, const char* to, int flags);
    int (*unlinkat)(int folder, const char* name, int flags);
    // Sets the file status flags (O_DIRECT) of an open file, as fcntl(F_SETFL).
    int (*setStatusFlags)(int fd, int flags);
    int (*statx)(int fd, const char* path, int flags, unsigned int mask, struct statx* info);
};

// The system's own calls.
[[nodiscard]] const OutputCalls& systemOutputCalls();
