#include "ReferenceListBox.h"

ReferenceListBox::ReferenceListBox(Qt::CaseSensitivity caseSensitivity) : m_caseSensitivity(caseSensitivity)
{}

const QStringList& ReferenceListBox::items() const
{
    return m_items;
}

int ReferenceListBox::listIndex() const
{
    return m_listIndex;
}

void ReferenceListBox::setListIndex(int index)
{
    m_listIndex = index;
}

bool ReferenceListBox::scanFor(const QString& path) const
{
    bool found = false;
    for (const QString& item : m_items) {
        if (QString::compare(item, path, m_caseSensitivity) == 0) {
            found = true;
        }
    }
    return found;
}

void ReferenceListBox::add(const QStringList& paths)
{
    const bool appendMode = m_listIndex == -1;
    for (const QString& path : paths) {
        if (scanFor(path)) {
            continue;
        }
        if (appendMode) {
            addItem(path, static_cast<int>(m_items.size()));
            m_listIndex = static_cast<int>(m_items.size()) - 1;
        } else {
            addItem(path, m_listIndex + 1);
            m_listIndex = m_listIndex + 1;
        }
    }
}

void ReferenceListBox::del()
{
    if (m_items.isEmpty() || m_listIndex == -1) {
        return;
    }
    const int k = m_listIndex;
    removeItem(k);
    m_listIndex = k - 1;
    if (!m_items.isEmpty() && m_listIndex == -1) {
        m_listIndex = 0;
    }
}

void ReferenceListBox::delAll()
{
    const int n = static_cast<int>(m_items.size());
    for (int i = 0; i < n; ++i) {
        removeItem(0);
    }
}

void ReferenceListBox::up()
{
    if (m_listIndex <= 0) {
        return;
    }
    const int k = m_listIndex;
    const QString text = m_items.at(k);
    addItem(text, k - 1);
    removeItem(m_listIndex);
    m_listIndex = k - 1;
}

void ReferenceListBox::down()
{
    if (m_listIndex == -1 || m_listIndex == m_items.size() - 1) {
        return;
    }
    const int k = m_listIndex;
    const QString text = m_items.at(k);
    addItem(text, k + 2);
    removeItem(m_listIndex);
    m_listIndex = k + 1;
}

void ReferenceListBox::addItem(const QString& text, int position)
{
    m_items.insert(position, text);
    if (m_listIndex != -1 && position <= m_listIndex) {
        ++m_listIndex;
    }
}

void ReferenceListBox::removeItem(int position)
{
    m_items.removeAt(position);
    if (position == m_listIndex) {
        m_listIndex = -1;
    } else if (position < m_listIndex) {
        --m_listIndex;
    }
}
