#pragma once

#include "merge/MergeResult.h"

#include <QtGlobal>

// One input of the merge, opened for reading only. Anything but a regular file is
// refused at once, so that a pipe or a device named in the list cannot block the
// copy. Closed by its destructor.
class InputFile final
{
public:
    explicit InputFile(NativePath path);
    ~InputFile();
    Q_DISABLE_COPY_MOVE(InputFile)

    // Ok, InputFailed or InputNotAFile, naming the input.
    [[nodiscard]] MergeResult open();
    // Reads up to `capacity` bytes: the count read, 0 at the end of the file, or -1
    // after a failure, whose result lastFailure() then holds.
    [[nodiscard]] qsizetype read(char* buffer, qsizetype capacity);
    [[nodiscard]] MergeResult lastFailure() const;

private:
    void close();
    [[nodiscard]] MergeResult failure(MergeStatus status, int error) const;

    NativePath m_path;
    // A file descriptor on POSIX, a HANDLE on Windows; -1 when closed.
    qintptr m_handle = -1;
    MergeResult m_lastFailure;
};
