// The output checks on Windows: the existence test is the system's own directory
// search (FindFirstFile), which already reads "*" and "?" in the last component and
// ignores letter case, so only its attributes and failure codes need handling here.
#include "base/Win32Path_win.h"
#include "merge/output/OutputCheck.h"
#include "merge/output/OutputSearch.h"
#include "outputname/DeviceName.h"
#include "outputname/OutputPath.h"

#include <algorithm>
#include <windows.h>

namespace {

MergeResult searchFailure(MergeStatus status, DWORD error)
{
    return MergeResult::failure(status, {}, static_cast<int>(error));
}

bool hasForbiddenCharacter(const QString& text, QStringView forbidden)
{
    return std::any_of(text.cbegin(), text.cend(),
                       [forbidden](QChar c) { return c.unicode() < 32 || forbidden.contains(c); });
}

// Characters the file system refuses in names (FindFirstFile would read some of
// them as its own wildcards instead of failing), and the names of devices, which
// the search reports as absent and which would take the merged text as a file would.
bool isBadName(const OutputPathParts& parts)
{
    return isWindowsDeviceName(parts.fileName.native()) ||
           hasForbiddenCharacter(parts.fileName.native(), u"<>:\"|") ||
           hasForbiddenCharacter(parts.folder.native(), u"<>\"|*?");
}

bool isVisibleFile(const WIN32_FIND_DATAW& data)
{
    const DWORD excluded = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return (data.dwFileAttributes & excluded) == 0;
}

MergeResult firstSearchFailure(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_NO_MORE_FILES:
        return MergeResult::success();
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
        return searchFailure(MergeStatus::BadName, error);
    default:
        return searchFailure(MergeStatus::CannotCheck, error);
    }
}

} // namespace

MergeResult searchOutputName(const NativePath& outputName)
{
    const OutputPathParts parts = splitOutputPath(outputName);
    if (outputName.native().contains(QChar(0)) || isBadName(parts))
        return searchFailure(MergeStatus::BadName, ERROR_INVALID_NAME);
    // Whatever stands at the name itself, hidden or a folder, blocks the publish.
    if (GetFileAttributesW(win32Path(outputName).c_str()) != INVALID_FILE_ATTRIBUTES)
        return searchFailure(MergeStatus::AlreadyExists, 0);

    WIN32_FIND_DATAW data = {};
    const HANDLE search = FindFirstFileExW(win32Path(outputName).c_str(), FindExInfoBasic, &data,
                                           FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return firstSearchFailure(GetLastError());
    MergeResult result = MergeResult::success();
    do {
        if (isVisibleFile(data)) {
            result = searchFailure(MergeStatus::AlreadyExists, 0);
            break;
        }
    } while (FindNextFileW(search, &data));
    const DWORD error = GetLastError();
    if (result.ok() && error != ERROR_NO_MORE_FILES)
        result = searchFailure(MergeStatus::CannotCheck, error);
    FindClose(search);
    return result;
}

MergeResult createOutputFolder(const NativePath& folder)
{
    const std::wstring path = win32Path(folder);
    if (CreateDirectoryW(path.c_str(), nullptr))
        return MergeResult::success();
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (error == ERROR_ALREADY_EXISTS && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return MergeResult::success();
    return MergeResult::failure(MergeStatus::FolderFailed, folder, static_cast<int>(error));
}
