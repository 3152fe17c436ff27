#pragma once

#include <QByteArray>

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
    // Renames within the folder, refusing to replace (renameat2 with RENAME_NOREPLACE).
    int (*renameNoReplace)(int folder, const char* from, const char* to);
    // Creates the file for the caller alone (O_CREAT | O_EXCL), and returns its descriptor.
    int (*createNew)(int folder, const char* name);
    // Renames within the folder, replacing whatever has the new name.
    int (*rename)(int folder, const char* from, const char* to);
    int (*unlinkat)(int folder, const char* name, int flags);
    // Sets the file status flags (O_DIRECT) of an open file, as fcntl(F_SETFL).
    int (*setStatusFlags)(int fd, int flags);
    int (*statx)(int fd, const char* path, int flags, unsigned int mask, struct statx* info);
};

// The system's own calls.
[[nodiscard]] const OutputCalls& systemOutputCalls();

// Removes a name from the folder: again when the call is interrupted, and up to
// `attempts` times in all after other failures, which file systems in user space and
// on the network report in passing too. Returns 0 (a name already gone included) or
// the errno value.
[[nodiscard]] int removeName(const OutputCalls& calls, int folder, const QByteArray& name, int attempts = 2);
