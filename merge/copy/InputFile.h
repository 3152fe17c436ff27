#pragma once

#include "merge/output/FileIdentity.h"
#include "merge/result/MergeResult.h"

#include <QtGlobal>

#include <optional>

// One input of the merge, opened for reading only. Anything but a regular file is
// refused at once, so that a pipe or a device named in the list cannot block the
// copy; so is the output being written, under whatever name (/proc/self/fd/N),
// which would feed the merge its own bytes until the disk is full. Closed by its
// destructor.
class InputFile final
{
public:
    // `output`: the file being written, when known.
    InputFile(NativePath path, std::optional<FileIdentity> output);
    ~InputFile();
    Q_DISABLE_COPY_MOVE(InputFile)

    // The size of the file at `path` now; 0 where it cannot be told.
    [[nodiscard]] static qint64 sizeOf(const NativePath& path);

    // Ok, InputFailed, InputNotAFile or InputIsOutput, naming the input.
    [[nodiscard]] MergeResult open();
    // Reads up to `capacity` bytes and sets `count` to the number read, 0 at the end
    // of the file and after a failure (InputFailed, naming the input).
    [[nodiscard]] MergeResult read(char* buffer, qsizetype capacity, qsizetype& count);

private:
    void close();
    [[nodiscard]] MergeResult failure(MergeStatus status, int error) const;

    NativePath m_path;
    std::optional<FileIdentity> m_output;
    // A file descriptor on POSIX, a HANDLE on Windows; -1 when closed.
    qintptr m_handle = -1;
};
