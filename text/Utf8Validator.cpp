#include "text/Utf8Validator.h"

#include "text/CpuFeatures.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

bool anySet(const unsigned char (&bytes)[32])
{
    return std::any_of(std::begin(bytes), std::end(bytes), [](unsigned char byte) { return byte != 0; });
}

} // namespace

Utf8Validator::Utf8Validator(Method method) : m_chunk(cpu::vectorWidth(method)) {}

bool Utf8Validator::isAvailable(Method method)
{
    return cpu::isAvailable(method);
}

void Utf8Validator::feed(const unsigned char* data, qsizetype size)
{
    if (m_failed || size <= 0)
        return;
    if (m_chunk > 0)
        feedChunks(data, size);
    else
        feedBytes(data, size);
}

void Utf8Validator::validate(const unsigned char* data, qsizetype chunks)
{
#ifdef TAMBOREL_VECTOR_KERNELS
    if (m_chunk == 32)
        validateUtf8Chunks32(data, chunks, m_chunks);
    else
        validateUtf8Chunks16(data, chunks, m_chunks);
#else
    Q_UNUSED(data);
    Q_UNUSED(chunks);
#endif
}

void Utf8Validator::feedChunks(const unsigned char* data, qsizetype size)
{
    if (m_pendingSize > 0) {
        const qsizetype taken = std::min<qsizetype>(m_chunk - m_pendingSize, size);
        std::memcpy(m_pending + m_pendingSize, data, static_cast<size_t>(taken));
        m_pendingSize += taken;
        data += taken;
        size -= taken;
        if (m_pendingSize < m_chunk)
            return;
        validate(m_pending, 1);
        m_pendingSize = 0;
    }
    validate(data, size / m_chunk);
    m_pendingSize = size % m_chunk;
    std::memcpy(m_pending, data + size - m_pendingSize, static_cast<size_t>(m_pendingSize));
    m_failed = anySet(m_chunks.errors);
}

void Utf8Validator::feedBytes(const unsigned char* data, qsizetype size)
{
    for (qsizetype i = 0; i < size && !m_failed; ++i) {
        const unsigned char byte = data[i];
        m_chunks.nonAscii = m_chunks.nonAscii || byte >= 0x80;
        if (m_due > 0) {
            m_failed = byte < m_low || byte > m_high;
            --m_due;
            m_low = 0x80;
            m_high = 0xBF;
            continue;
        }
        const Utf8Lead lead = utf8Lead(byte);
        m_failed = lead.following < 0;
        m_due = lead.following;
        m_low = lead.low;
        m_high = lead.high;
    }
}

bool Utf8Validator::sawNonAscii() const
{
    return m_chunks.nonAscii ||
           std::any_of(m_pending, m_pending + m_pendingSize, [](unsigned char byte) { return byte >= 0x80; });
}

bool Utf8Validator::failed() const
{
    return m_failed;
}

bool Utf8Validator::valid() const
{
    if (m_failed)
        return false;
    if (m_chunk == 0)
        return m_due == 0;
    // The bytes left over are checked as a chunk ending in NULs, which a cut
    // sequence cannot be followed by.
    Utf8Validator last = *this;
    std::memset(last.m_pending + last.m_pendingSize, 0, static_cast<size_t>(m_chunk - last.m_pendingSize));
    last.validate(last.m_pending, 1);
    return !anySet(last.m_chunks.errors) && !anySet(last.m_chunks.incomplete);
}
