#include "merge/result/SystemError.h"

#include <cerrno>

ErrorKind errorKind(int error)
{
    switch (error) {
    case 0:
        return ErrorKind::None;
    case ENOENT:
        return ErrorKind::NotFound;
    case EACCES:
    case EPERM:
        return ErrorKind::PermissionDenied;
    case ENOSPC:
        return ErrorKind::DiskFull;
    case EDQUOT:
        return ErrorKind::QuotaExceeded;
    case EROFS:
        return ErrorKind::ReadOnlyFileSystem;
    case EFBIG:
        return ErrorKind::FileTooLarge;
    case ENAMETOOLONG:
        return ErrorKind::NameTooLong;
    case EIO:
        return ErrorKind::InputOutput;
    case EISDIR:
        return ErrorKind::IsFolder;
    case ENOTDIR:
        return ErrorKind::NotAFolder;
    case ENOMEM:
        return ErrorKind::OutOfMemory;
    default:
        return ErrorKind::Other;
    }
}

int outOfMemoryError()
{
    return ENOMEM;
}

QString systemErrorText(int error)
{
    return qt_error_string(error);
}
