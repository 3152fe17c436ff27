#pragma once

#include <QString>

// The kinds of system failure a user meets when merging files, each of which the
// window names in Chinese; every other failure is shown with the system's own text.
enum class ErrorKind
{
    None,
    NotFound,
    PermissionDenied,
    DiskFull,
    QuotaExceeded,
    ReadOnlyFileSystem,
    FileTooLarge,
    NameTooLong,
    InputOutput,
    IsFolder,
    NotAFolder,
    OutOfMemory,
    Other,
};

// The kind of a system error code (errno, or GetLastError() on Windows); None for 0.
[[nodiscard]] ErrorKind errorKind(int error);

// The error code of the platform for memory that could not be allocated.
[[nodiscard]] int outOfMemoryError();

// The system's own description of the error code.
[[nodiscard]] QString systemErrorText(int error);
