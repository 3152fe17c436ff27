#pragma once

#include <QtGlobal>

// Which file an open file is, whatever name it was opened by: its device and its
// number there (the inode on POSIX systems, the file index on Windows).
struct FileIdentity
{
    quint64 device = 0;
    quint64 file = 0;

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};
