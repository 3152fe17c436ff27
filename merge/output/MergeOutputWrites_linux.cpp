// Writing the merged file, straight to the disk past the system's cache where the
// file system states how such writes must be aligned.
#include "merge/output/MergeOutput.h"
#include "merge/output/OutputCalls_linux.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr qsizetype maxWriteChunk = qsizetype(1) << 30;
// Bytes gathered for one direct write: whole blocks of any alignment a file system
// states, and few enough to keep the merge's memory small.
constexpr qsizetype gatheringSize = qsizetype(1) << 20;

bool isAligned(const char* data, qsizetype size, qsizetype alignment)
{
    return size % alignment == 0 && reinterpret_cast<quintptr>(data) % quintptr(alignment) == 0;
}

// Writes all of [data, data + size) at the file's position; 0 or the errno value.
int writeAll(int fd, const char*& data, qsizetype& size)
{
    while (size > 0) {
        const ssize_t count = ::write(fd, data, static_cast<size_t>(std::min(size, maxWriteChunk)));
        if (count > 0) {
            data += count;
            size -= count;
        } else if (count == 0) {
            // A regular file that takes nothing has no room left.
            return ENOSPC;
        } else if (errno != EINTR) {
            return errno;
        }
    }
    return 0;
}

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

MergeResult MergeOutput::endDirectWrites()
{
    const int fd = static_cast<int>(m_handle);
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        (void)calls().setStatusFlags(fd, flags & ~O_DIRECT);
    m_directAlignment = 0;
    const qsizetype gathered = std::exchange(m_gatheredSize, 0);
    return gathered > 0 ? writeThrough(m_gathered.get(), gathered) : MergeResult::success();
}

MergeResult MergeOutput::write(const char* data, qsizetype size)
{
    if (!isOpen())
        return abandon(MergeStatus::OutputFailed, EBADF);
    m_size += size;
    if (m_directAlignment > 0 && (m_gatheredSize > 0 || !isAligned(data, size, m_directAlignment)))
        return gather(data, size);
    return writeThrough(data, size);
}

MergeResult MergeOutput::writeThrough(const char* data, qsizetype size)
{
    int error = writeAll(static_cast<int>(m_handle), data, size);
    if (error == EINVAL && m_directAlignment > 0) {
        // The device wants more than the file system said: write through the cache.
        if (MergeResult ended = endDirectWrites(); !ended.ok())
            return ended;
        error = writeAll(static_cast<int>(m_handle), data, size);
    }
    return error == 0 ? MergeResult::success() : abandon(MergeStatus::OutputFailed, error);
}

MergeResult MergeOutput::gather(const char* data, qsizetype size)
{
    if (!m_gathered && gatheringSize % m_directAlignment == 0)
        m_gathered.reset(static_cast<char*>(std::aligned_alloc(size_t(m_directAlignment), gatheringSize)));
    if (!m_gathered) {
        if (MergeResult ended = endDirectWrites(); !ended.ok())
            return ended;
        return writeThrough(data, size);
    }
    while (size > 0) {
        const qsizetype taken = std::min(size, gatheringSize - m_gatheredSize);
        std::memcpy(m_gathered.get() + m_gatheredSize, data, size_t(taken));
        m_gatheredSize += taken;
        data += taken;
        size -= taken;
        if (m_gatheredSize == gatheringSize) {
            m_gatheredSize = 0;
            if (MergeResult written = writeThrough(m_gathered.get(), gatheringSize); !written.ok())
                return written;
        }
    }
    return MergeResult::success();
}

MergeResult MergeOutput::finishWrites()
{
    if (m_gatheredSize == 0)
        return MergeResult::success();
    const qsizetype whole = m_directAlignment > 0 ? m_gatheredSize - m_gatheredSize % m_directAlignment : 0;
    if (whole > 0) {
        const qsizetype rest = m_gatheredSize - whole;
        m_gatheredSize = 0;
        if (MergeResult written = writeThrough(m_gathered.get(), whole); !written.ok())
            return written;
        std::memmove(m_gathered.get(), m_gathered.get() + whole, size_t(rest));
        m_gatheredSize = rest;
    }
    return endDirectWrites();
}

MergeResult MergeOutput::truncate(qint64 size)
{
    if (!isOpen())
        return abandon(MergeStatus::OutputFailed, EBADF);
    // A cut among the bytes still gathered costs no call, and keeps direct writes.
    const qint64 written = m_size - m_gatheredSize;
    if (m_directAlignment > 0 && size >= written && size <= m_size) {
        m_gatheredSize = qsizetype(size - written);
        m_size = size;
        return MergeResult::success();
    }
    if (m_directAlignment > 0) {
        if (MergeResult ended = endDirectWrites(); !ended.ok())
            return ended;
    }
    const int fd = static_cast<int>(m_handle);
    if (::ftruncate(fd, size) != 0 || ::lseek(fd, size, SEEK_SET) != size)
        return abandon(MergeStatus::OutputFailed, errno);
    m_size = size;
    return MergeResult::success();
}
