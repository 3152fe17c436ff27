#include "merge/copy/ReadTransform.h"

ReadTransform::~ReadTransform() = default;

TransformOutput::TransformOutput(QList<Span>& spans, QByteArray& made, const char* block)
    : m_spans(spans), m_made(made), m_block(block)
{}

void TransformOutput::keep(const char* from, const char* to)
{
    if (from == to)
        return;
    if (!m_spans.isEmpty() && !m_spans.last().made &&
        m_block + m_spans.last().offset + m_spans.last().size == from)
        m_spans.last().size += to - from;
    else
        m_spans.append({false, from - m_block, to - from});
}

void TransformOutput::add(QByteArrayView bytes)
{
    const qsizetype from = m_made.size();
    m_made.append(bytes);
    made(from);
}

QByteArray& TransformOutput::making()
{
    return m_made;
}

void TransformOutput::made(qsizetype from)
{
    const qsizetype size = m_made.size() - from;
    if (size == 0)
        return;
    if (!m_spans.isEmpty() && m_spans.last().made && m_spans.last().offset + m_spans.last().size == from)
        m_spans.last().size += size;
    else
        m_spans.append({true, from, size});
}
