#include "merge/copy/CopyProgress.h"

#include "merge/copy/InputFile.h"

#include <algorithm>

CopyProgress::~CopyProgress() = default;

void CopyProgress::start(const QList<NativePath>& inputs)
{
    qint64 total = 0;
    m_starts.clear();
    for (const NativePath& input : inputs) {
        m_starts.append(total);
        total += InputFile::sizeOf(input);
    }
    m_total.store(total, std::memory_order_relaxed);
}

void CopyProgress::enter(qsizetype input)
{
    m_position = input < m_starts.size() ? m_starts.at(input) : m_total.load(std::memory_order_relaxed);
    m_input.store(input, std::memory_order_relaxed);
}

void CopyProgress::advance(qint64 bytes)
{
    m_position += bytes;
    const qint64 shown = std::min(m_position, m_total.load(std::memory_order_relaxed));
    if (shown > m_done.load(std::memory_order_relaxed))
        m_done.store(shown, std::memory_order_relaxed);
}

void CopyProgress::publishing()
{
    m_publishing.store(true, std::memory_order_relaxed);
}

qint64 CopyProgress::total() const
{
    return m_total.load(std::memory_order_relaxed);
}

qint64 CopyProgress::done() const
{
    return m_done.load(std::memory_order_relaxed);
}

qsizetype CopyProgress::input() const
{
    return m_input.load(std::memory_order_relaxed);
}

bool CopyProgress::isPublishing() const
{
    return m_publishing.load(std::memory_order_relaxed);
}
