// Writing the merged file, straight to the disk past the system's cache where the
// file system states how such writes must be aligned.
#include "merge/output/MergeOutput.h"
#include "merge/output/OutputCalls_linux.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr qsizetype maxWriteChunk = qsizetype(1) << 30;

} // namespace

qsizetype MergeOutput::beginDirectWrites()
{
#ifdef STATX_DIOALIGN
    if (!isOpen() || m_directAlignment > 0)
        return m_directAlignment;
    const int fd = static_cast<int>(m_handle);
    // Only file systems that state their alignment are trusted with direct writes:
    // elsewhere (tmpfs, FUSE, older kernels) the flag may be refused, ignored, or
    // accepted with rules that nothing tells.
    struct statx info = {};
    if (calls().statx(fd, "", AT_EMPTY_PATH, STATX_DIOALIGN, &info) != 0 ||
        (info.stx_mask & STATX_DIOALIGN) == 0 || info.stx_dio_offset_align == 0 ||
        info.stx_dio_mem_align == 0)
        return 0;
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || calls().setStatusFlags(fd, flags | O_DIRECT) != 0)
        return 0;
    // Both the position in the file and the address in memory must be aligned.
    m_directAlignment = std::max<qsizetype>(info.stx_dio_offset_align, info.stx_dio_mem_align);
#endif
    return m_directAlignment;
}

void MergeOutput::endDirectWrites()
{
    const int fd = static_cast<int>(m_handle);
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        (void)calls().setStatusFlags(fd, flags & ~O_DIRECT);
    m_directAlignment = 0;
}

MergeResult MergeOutput::write(const char* data, qsizetype size)
{
    if (!isOpen())
        return abandon(MergeStatus::OutputFailed, EBADF);
    while (size > 0) {
        if (m_directAlignment > 0 &&
            (size % m_directAlignment != 0 || reinterpret_cast<quintptr>(data) % m_directAlignment != 0))
            endDirectWrites();
        const ssize_t count =
            ::write(static_cast<int>(m_handle), data, static_cast<size_t>(std::min(size, maxWriteChunk)));
        if (count > 0) {
            m_size += count;
            data += count;
            size -= count;
        } else if (count < 0 && errno == EINVAL && m_directAlignment > 0) {
            // The device wants more than the file system said: write through the cache.
            endDirectWrites();
        } else if (count == 0 || errno != EINTR) {
            // A regular file that takes nothing has no room left.
            return abandon(MergeStatus::OutputFailed, count == 0 ? ENOSPC : errno);
        }
    }
    return MergeResult::success();
}

MergeResult MergeOutput::truncate(qint64 size)
{
    if (!isOpen())
        return abandon(MergeStatus::OutputFailed, EBADF);
    if (m_directAlignment > 0)
        endDirectWrites();
    const int fd = static_cast<int>(m_handle);
    if (::ftruncate(fd, size) != 0 || ::lseek(fd, size, SEEK_SET) != size)
        return abandon(MergeStatus::OutputFailed, errno);
    m_size = size;
    return MergeResult::success();
}
