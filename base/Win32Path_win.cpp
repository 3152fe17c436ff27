#include "base/Win32Path_win.h"

#include <QDir>

#include <windows.h>

namespace {

// CreateDirectory's limit: room for a file name of 8.3 after the folder.
constexpr std::size_t longPathFrom = MAX_PATH - 12;

std::wstring fullPath(const std::wstring& path)
{
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return {};
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size)
        return {};
    full.resize(length);
    return full;
}

} // namespace

std::wstring win32Path(const NativePath& path)
{
    const std::wstring native = QDir::toNativeSeparators(path.native()).toStdWString();
    if (native.starts_with(L"\\\\?\\") || native.starts_with(L"\\\\.\\"))
        return native;
    const std::wstring full = fullPath(native);
    if (full.size() < longPathFrom || full.starts_with(L"\\\\.\\"))
        return native;
    if (full.starts_with(L"\\\\"))
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}
