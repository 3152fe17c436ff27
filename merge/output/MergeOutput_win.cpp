// Publishing the merged file on Windows: the content goes into a hidden file with a
// random name in the output's folder, is flushed to the disk, and MoveFileEx without
// MOVEFILE_REPLACE_EXISTING gives it its name, failing instead of replacing a file,
// with MOVEFILE_WRITE_THROUGH so that the new name is on the disk too when it
// returns. The file inherits the folder's permissions like any new file.
#include "base/Win32Path_win.h"
#include "merge/output/MergeOutput.h"
#include "outputname/OutputPath.h"

#include <algorithm>
#include <windows.h>

namespace {

constexpr qsizetype maxWriteChunk = qsizetype(1) << 30;

HANDLE toHandle(qintptr handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

int code(DWORD error)
{
    return static_cast<int>(error);
}

int lastError()
{
    return code(GetLastError());
}

} // namespace

MergeResult MergeOutput::open()
{
    discard();
    m_size = 0;
    const OutputPathParts parts = splitOutputPath(m_path);
    if (m_path.native().contains(QChar(0)) || parts.fileName.isEmpty())
        return abandon(MergeStatus::OutputFailed, code(ERROR_INVALID_NAME));
    return openTemporary(parts);
}

MergeResult MergeOutput::openFailure(int error)
{
    const bool folderMissing = static_cast<DWORD>(error) == ERROR_PATH_NOT_FOUND;
    return abandon(folderMissing ? MergeStatus::FolderMissing : MergeStatus::OutputFailed, error);
}

MergeResult MergeOutput::openTemporary(const OutputPathParts& parts)
{
    return openNamedTemporary(parts);
}

MergeResult MergeOutput::openNamedTemporary(const OutputPathParts& parts)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const NativePath temp = NativePath::fromNative(parts.folder.native() + temporaryName());
        const HANDLE file = CreateFileW(win32Path(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            m_handle = reinterpret_cast<qintptr>(file);
            m_tempName = temp;
            return MergeResult::success();
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            return openFailure(code(error));
    }
    return abandon(MergeStatus::OutputFailed, code(ERROR_FILE_EXISTS));
}

// Unbuffered writes on Windows want the sector size, which nothing here has tried:
// writes go through the cache.
qsizetype MergeOutput::beginDirectWrites()
{
    return 0;
}

MergeResult MergeOutput::endDirectWrites()
{
    m_directAlignment = 0;
    return MergeResult::success();
}

MergeResult MergeOutput::write(const char* data, qsizetype size)
{
    if (!isOpen())
        return abandon(MergeStatus::OutputFailed, code(ERROR_INVALID_HANDLE));
    while (size > 0) {
        DWORD count = 0;
        const auto wanted = static_cast<DWORD>(std::min<qsizetype>(size, maxWriteChunk));
        if (!WriteFile(toHandle(m_handle), data, wanted, &count, nullptr))
            return abandon(MergeStatus::OutputFailed, lastError());
        if (count == 0)
            return abandon(MergeStatus::OutputFailed, code(ERROR_DISK_FULL));
        m_size += count;
        data += count;
        size -= count;
    }
    return MergeResult::success();
}

MergeResult MergeOutput::truncate(qint64 size)
{
    if (!isOpen())
        return abandon(MergeStatus::OutputFailed, code(ERROR_INVALID_HANDLE));
    LARGE_INTEGER position = {};
    position.QuadPart = size;
    if (!SetFilePointerEx(toHandle(m_handle), position, nullptr, FILE_BEGIN) ||
        !SetEndOfFile(toHandle(m_handle)))
        return abandon(MergeStatus::OutputFailed, lastError());
    m_size = size;
    return MergeResult::success();
}

MergeResult MergeOutput::publish()
{
    if (!isOpen())
        return abandon(MergeStatus::OutputFailed, code(ERROR_INVALID_HANDLE));
    // The content reaches the disk before the name does.
    if (!FlushFileBuffers(toHandle(m_handle)))
        return abandon(MergeStatus::OutputFailed, lastError());
    const int closeError = closeHandle();
    if (closeError != 0)
        return abandon(MergeStatus::OutputFailed, closeError);
    const std::wstring temp = win32Path(m_tempName);
    if (!SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL))
        return abandon(MergeStatus::OutputFailed, lastError());
    if (!MoveFileExW(temp.c_str(), win32Path(m_path).c_str(), MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        const bool exists = error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
        return abandon(exists ? MergeStatus::AlreadyExists : MergeStatus::OutputFailed, code(error));
    }
    m_tempName = {};
    return MergeResult::success();
}

void MergeOutput::discard()
{
    (void)closeHandle();
    if (!m_tempName.isEmpty())
        DeleteFileW(win32Path(m_tempName).c_str());
    m_tempName = {};
}

std::optional<FileIdentity> MergeOutput::identity() const
{
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!isOpen() || !GetFileInformationByHandle(toHandle(m_handle), &info))
        return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber, (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

int MergeOutput::closeHandle()
{
    if (m_handle == -1)
        return 0;
    const HANDLE file = toHandle(m_handle);
    m_handle = -1;
    return CloseHandle(file) ? 0 : lastError();
}
