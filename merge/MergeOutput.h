#pragma once

#include "merge/MergeResult.h"

#include <QString>
#include <QtGlobal>

struct OutputPathParts;

// The merged file while it is being written. It lives in a temporary file in the
// output's folder, so nothing appears at the output name until publish() succeeds,
// and publish() never replaces a file. Whatever has not been published is
// discarded, at the latest by the destructor.
//
// Use: open() (FolderMissing means the folder does not exist: create it and open
// again), write() the content, publish() (AlreadyExists means a file of that name
// appeared meanwhile). Every step reports OutputFailed with the system's reason
// otherwise; after a failure the temporary file is already gone.
class MergeOutput final
{
public:
    explicit MergeOutput(QString path);
    ~MergeOutput();
    Q_DISABLE_COPY_MOVE(MergeOutput)

    [[nodiscard]] const QString& path() const;
    [[nodiscard]] bool isOpen() const;

    [[nodiscard]] MergeResult open();
    // Writes all of `data`, continuing short writes.
    [[nodiscard]] MergeResult write(const char* data, qsizetype size);
    // Gives the finished file the output name and the permissions of a normal new
    // file.
    [[nodiscard]] MergeResult publish();
    void discard();

private:
    [[nodiscard]] MergeResult failure(MergeStatus status, int error);
    [[nodiscard]] MergeResult openFailure(int error);
    [[nodiscard]] MergeResult openTemporary(const OutputPathParts& parts);
    [[nodiscard]] MergeResult openNamedTemporary(const OutputPathParts& parts);
    // Closes the file, returning 0 or the system's failure code.
    int closeHandle();
    // A fresh name for a temporary file, hidden where a leading "." hides files.
    [[nodiscard]] static QString temporaryName();

    QString m_path;
    // Empty while the temporary file has no name of its own (Linux's O_TMPFILE).
    QString m_tempPath;
    // A file descriptor on POSIX, a HANDLE on Windows; -1 when closed.
    qintptr m_handle = -1;
};
