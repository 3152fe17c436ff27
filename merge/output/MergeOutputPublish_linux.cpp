// Giving the merged file its name. An unnamed O_TMPFILE file gets it from linkat();
// a named temporary file from link() and the removal of the temporary name, or from
// a rename that refuses to replace, or from a rename over a name reserved for it.
// Each fails with EEXIST instead of replacing a file. The content is flushed before
// the name is given, and the folder after.
#include "merge/output/MergeOutput.h"
#include "merge/output/OutputCalls_linux.h"
#include "merge/output/OutputFlush_linux.h"
#include "merge/output/SignalCleanup.h"
#include "outputname/OutputPath.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace {

// Returns 0 or the errno value of the failure.
int linkUnnamed(const OutputCalls& calls, int fd, int folder, const QByteArray& name)
{
    const QByteArray procPath = "/proc/self/fd/" + QByteArray::number(fd);
    if (calls.linkat(AT_FDCWD, procPath.constData(), folder, name.constData(), AT_SYMLINK_FOLLOW) == 0)
        return 0;
    int error = errno;
    // Without /proc only AT_EMPTY_PATH can name the file, and older kernels allow
    // that to privileged processes alone.
    if (error == ENOENT && ::access("/proc/self/fd", F_OK) != 0) {
        if (calls.linkat(fd, "", folder, name.constData(), AT_EMPTY_PATH) == 0)
            return 0;
        error = errno;
    }
    return error;
}

// Reserves the name with a file created for this merge alone, then renames the
// temporary file over that reservation: a file that someone else made there is
// never replaced, and the name never stands for part of the content. A crash between
// the two steps leaves an empty file at the name, beside the temporary file; a
// termination signal removes the reservation with it. Returns 0 or the errno value
// of the failure; the temporary name is gone on success.
int renameOverReservation(const OutputCalls& calls, int folder, const QByteArray& temp,
                          const QByteArray& name)
{
    const int fd = calls.createNew(folder, name.constData());
    if (fd < 0)
        return errno;
    ::close(fd);
    // Guarded only once it is ours: guarded before, a signal would remove a file
    // that someone else made there.
    const int guard = signalcleanup::arm(folder, name);
    int error = 0;
    if (calls.rename(folder, temp.constData(), name.constData()) != 0) {
        error = errno;
        (void)removeName(calls, folder, name);
    }
    signalcleanup::disarm(guard);
    return error;
}

// Returns 0 or the errno value of the failure; the temporary name is gone on
// success. Should the temporary name stay, the output name is taken back: the
// file must not be left with a hidden second name that nobody knows of.
int linkNamed(const OutputCalls& calls, int folder, const QByteArray& temp, const QByteArray& name)
{
    if (calls.linkat(folder, temp.constData(), folder, name.constData(), 0) == 0) {
        const int error = removeName(calls, folder, temp);
        if (error != 0)
            (void)removeName(calls, folder, name);
        return error;
    }
    const int error = errno;
    if (error == EEXIST)
        return error;
    // File systems without hard links (FAT, some network ones) may still offer a
    // rename that refuses to replace; those that take no rename flags either (FAT and
    // exFAT through FUSE) get the name reserved first.
    if (calls.renameNoReplace(folder, temp.constData(), name.constData()) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    return renameOverReservation(calls, folder, temp, name);
}

} // namespace

MergeResult MergeOutput::publish()
{
    if (!isOpen())
        return abandon(MergeStatus::OutputFailed, EBADF);
    if (MergeResult written = finishWrites(); !written.ok())
        return written;
    const int fd = static_cast<int>(m_handle);
    // The content reaches the disk before the name does: a name must never stand
    // for an empty or partial file after a crash.
    if (const int error = flushData(calls(), fd); error != 0)
        return abandon(MergeStatus::OutputFailed, error);
    const QByteArray name = splitOutputPath(m_path).fileName.native();
    const int linkError = m_tempName.isEmpty() ? linkUnnamed(calls(), fd, m_folder, name)
                                               : linkNamed(calls(), m_folder, m_tempName.native(), name);
    if (linkError != 0)
        return abandon(linkError == EEXIST ? MergeStatus::AlreadyExists : MergeStatus::OutputFailed,
                       linkError);
    m_tempName = {};
    signalcleanup::disarm(std::exchange(m_guard, -1));
    const int flushError = flushFolder(calls(), m_folder, fd);
    const int closeError = closeHandle();
    if (flushError != 0 || closeError != 0) {
        // A name that may not survive, or late write errors that network file
        // systems report at close: take the name back rather than claim success.
        (void)removeName(calls(), m_folder, name);
        return abandon(MergeStatus::OutputFailed, flushError != 0 ? flushError : closeError);
    }
    discard();
    return MergeResult::success();
}
