#pragma once

#include "merge/output/FileIdentity.h"
#include "merge/result/MergeResult.h"

#include <QtGlobal>

#include <cstdlib>
#include <memory>
#include <optional>

struct OutputCalls;
struct OutputPathParts;

// The merged file while it is being written. It lives in a temporary file in the
// output's folder, so nothing appears at the output name until publish() succeeds,
// and publish() never replaces a file. Whatever has not been published is
// discarded, at the latest by the destructor, and on POSIX systems also when a
// termination signal ends the program meanwhile.
//
// Use: open() (FolderMissing means the folder does not exist: create it and open
// again), write() the content, publish() (AlreadyExists means a file of that name
// appeared meanwhile). Every step reports OutputFailed with the system's error code
// otherwise; after a failure the temporary file is already gone.
//
// One thread at a time uses the object, which needs no lock of its own: the merge
// opens it, writes and publishes it in steps, each on a thread of its own, one after
// the other, and whichever step holds it last destroys it, perhaps after the merge
// was given up on. What orders one step against the next (starting a thread, the
// asker's lock) makes each thread see the state the last one left. The signal guard
// it arms is process-wide and may be armed and disarmed from any thread.
class MergeOutput final
{
public:
    // Where the content waits: an unnamed file where the system offers one (Linux's
    // O_TMPFILE, which nothing can leave behind), else a hidden file with a random
    // name. Named forces the second kind, as FAT, exFAT, network and FUSE file
    // systems do.
    enum class Temporary
    {
        Unnamed,
        Named,
    };

    // `calls` (Linux only) replaces the system calls that reach the disk; nullptr
    // makes the system's own.
    explicit MergeOutput(NativePath path, Temporary temporary = Temporary::Unnamed,
                         const OutputCalls* calls = nullptr);
    ~MergeOutput();
    Q_DISABLE_COPY_MOVE(MergeOutput)

    [[nodiscard]] const NativePath& path() const;
    [[nodiscard]] bool isOpen() const;
    // Which file the open output is; nullopt when closed or unknown.
    [[nodiscard]] std::optional<FileIdentity> identity() const;

    [[nodiscard]] MergeResult open();
    // From here on, writes go straight to the disk past the system's cache, where
    // the file system offers that: the content has to reach the disk before it is
    // published anyway, and the processor then copies it once instead of twice.
    // Returns what the address and the length of such writes must be multiples of,
    // or 0 (nothing changes) where there are no such writes. A write that keeps to
    // neither is gathered with the next ones into whole blocks, which go straight to
    // the disk all the same; so does writing on after a cut among bytes still
    // gathered.
    [[nodiscard]] qsizetype beginDirectWrites();
    // Writes all of `data`, continuing short writes.
    [[nodiscard]] MergeResult write(const char* data, qsizetype size);
    // The bytes written so far.
    [[nodiscard]] qint64 size() const;
    // Cuts the content back to its first `size` bytes, where writing goes on, through
    // the system's cache from then on: a copy that finds it wrote an input the wrong
    // way takes it back.
    [[nodiscard]] MergeResult truncate(qint64 size);
    // Flushes the content to the disk, gives the file the output name and the
    // permissions of a normal new file, and flushes the folder that now holds the
    // name: once this succeeds, the file survives a power cut or a pulled stick.
    [[nodiscard]] MergeResult publish();
    void discard();

private:
    // Discards the file and returns the failure of the step that gave up on it.
    [[nodiscard]] MergeResult abandon(MergeStatus status, int error);
    [[nodiscard]] MergeResult openFailure(int error);
    [[nodiscard]] MergeResult openTemporary(const OutputPathParts& parts);
    [[nodiscard]] MergeResult openNamedTemporary(const OutputPathParts& parts);
    // Closes the file, returning 0 or the system's failure code.
    int closeHandle();
    // Writes through the cache from now on, the bytes gathered first.
    [[nodiscard]] MergeResult endDirectWrites();
    // Linux: gathers bytes for direct writes, writing each whole gathering.
    [[nodiscard]] MergeResult gather(const char* data, qsizetype size);
    // Writes at once at the file's position; where the device refuses a direct write
    // that the file system said it takes, through the cache.
    [[nodiscard]] MergeResult writeThrough(const char* data, qsizetype size);
    // Before publishing: the bytes gathered, the last block that they do not fill
    // through the cache.
    [[nodiscard]] MergeResult finishWrites();
    [[nodiscard]] const OutputCalls& calls() const;
    // A fresh name for a temporary file, hidden where a leading "." hides files.
    [[nodiscard]] static QString temporaryName();

    NativePath m_path;
    Temporary m_temporary;
    // The temporary file: a file descriptor on POSIX, a HANDLE on Windows; -1 when closed.
    qintptr m_handle = -1;
    // POSIX only: the output's folder, which every step addresses the files through.
    int m_folder = -1;
    // The temporary file's name, within the folder on POSIX, its whole path on
    // Windows; empty while it has no name of its own.
    NativePath m_tempName;
    // POSIX only: the signal guard of a named temporary file, -1 when none.
    int m_guard = -1;
    // The alignment of direct writes while they last, else 0.
    qsizetype m_directAlignment = 0;
    // Linux, during direct writes: bytes that fill no whole gathering yet, in memory
    // aligned for such writes, and how many; they follow what the file holds.
    std::unique_ptr<char, decltype(&std::free)> m_gathered{nullptr, std::free};
    qsizetype m_gatheredSize = 0;
    qint64 m_size = 0;
    const OutputCalls* m_calls = nullptr;
};
