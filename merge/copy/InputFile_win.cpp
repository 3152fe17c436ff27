// Reading an input on Windows through its file handle; GetLastError gives the
// reason of any failure.
#include "base/Win32Path_win.h"
#include "merge/copy/InputFile.h"

#include <algorithm>
#include <windows.h>

namespace {

HANDLE toHandle(qintptr handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

bool isFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::optional<FileIdentity> identityOf(HANDLE file)
{
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetFileInformationByHandle(file, &info))
        return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber, (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

} // namespace

qint64 InputFile::sizeOf(const NativePath& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(win32Path(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return 0;
    return qint64((quint64(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

MergeResult InputFile::open()
{
    const std::wstring path = win32Path(m_path);
    // Others may go on reading and writing the file, as with the system's defaults.
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_ACCESS_DENIED && isFolder(path))
            return failure(MergeStatus::InputNotAFile, static_cast<int>(ERROR_DIRECTORY));
        return failure(MergeStatus::InputFailed, static_cast<int>(error));
    }
    m_handle = reinterpret_cast<qintptr>(file);
    if (GetFileType(file) != FILE_TYPE_DISK) {
        close();
        return failure(MergeStatus::InputNotAFile, 0);
    }
    if (m_output.has_value() && m_output == identityOf(file)) {
        close();
        return failure(MergeStatus::InputIsOutput, 0);
    }
    return MergeResult::success();
}

MergeResult InputFile::read(char* buffer, qsizetype capacity, qsizetype& count)
{
    const auto wanted = static_cast<DWORD>(std::min<qsizetype>(capacity, 1 << 30));
    DWORD read = 0;
    count = 0;
    if (!ReadFile(toHandle(m_handle), buffer, wanted, &read, nullptr))
        return failure(MergeStatus::InputFailed, static_cast<int>(GetLastError()));
    count = read;
    return MergeResult::success();
}

void InputFile::close()
{
    if (m_handle != -1)
        CloseHandle(toHandle(m_handle));
    m_handle = -1;
}
