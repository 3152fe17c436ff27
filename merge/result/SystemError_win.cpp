#include "merge/result/SystemError.h"

#include <windows.h>

namespace {

// ERROR_DISK_QUOTA_EXCEEDED, which older SDK headers lack.
constexpr DWORD diskQuotaExceeded = 1295;

} // namespace

ErrorKind errorKind(int error)
{
    switch (static_cast<DWORD>(error)) {
    case ERROR_SUCCESS:
        return ErrorKind::None;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ErrorKind::NotFound;
    case ERROR_ACCESS_DENIED:
        return ErrorKind::PermissionDenied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ErrorKind::DiskFull;
    case diskQuotaExceeded:
        return ErrorKind::QuotaExceeded;
    case ERROR_WRITE_PROTECT:
        return ErrorKind::ReadOnlyFileSystem;
    case ERROR_FILE_TOO_LARGE:
        return ErrorKind::FileTooLarge;
    case ERROR_FILENAME_EXCED_RANGE:
        return ErrorKind::NameTooLong;
    case ERROR_CRC:
    case ERROR_IO_DEVICE:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
        return ErrorKind::InputOutput;
    case ERROR_DIRECTORY:
        return ErrorKind::IsFolder;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ErrorKind::OutOfMemory;
    default:
        return ErrorKind::Other;
    }
}

int outOfMemoryError()
{
    return static_cast<int>(ERROR_NOT_ENOUGH_MEMORY);
}

QString systemErrorText(int error)
{
    return qt_error_string(error);
}
