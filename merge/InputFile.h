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
    // Reads up to `capacity` bytes and sets `count` to the number read, 0 at the end
    // of the file and after a failure (InputFailed, naming the input).
    [[nodiscard]] MergeResult read(char* buffer, qsizetype capacity, qsizetype& count);

private:
    void close();
    [[nodiscard]] MergeResult failure(MergeStatus status, int error) const;

    NativePath m_path;
    // A file descriptor on POSIX, a HANDLE on Windows; -1 when closed.
    qintptr m_handle = -1;
};
