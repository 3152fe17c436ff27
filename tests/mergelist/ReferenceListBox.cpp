#include "ReferenceListBox.h"

ReferenceListBox::ReferenceListBox(Qt::CaseSensitivity caseSensitivity) : m_caseSensitivity(caseSensitivity)
{}

const QStringList& ReferenceListBox::items() const
{
    return m_items;
}

int ReferenceListBox::selectedRow() const
{
    return m_selectedRow;
}

void ReferenceListBox::setSelectedRow(int row)
{
    m_selectedRow = row;
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
    const bool appendMode = m_selectedRow == -1;
    for (const QString& path : paths) {
        if (scanFor(path)) {
            continue;
        }
        if (appendMode) {
            addItem(path, static_cast<int>(m_items.size()));
            m_selectedRow = static_cast<int>(m_items.size()) - 1;
        } else {
            addItem(path, m_selectedRow + 1);
            m_selectedRow = m_selectedRow + 1;
        }
    }
}

void ReferenceListBox::removeSelected()
{
    if (m_items.isEmpty() || m_selectedRow == -1) {
        return;
    }
    const int k = m_selectedRow;
    removeItem(k);
    m_selectedRow = k - 1;
    if (!m_items.isEmpty() && m_selectedRow == -1) {
        m_selectedRow = 0;
    }
}

void ReferenceListBox::removeAll()
{
    const int n = static_cast<int>(m_items.size());
    for (int i = 0; i < n; ++i) {
        removeItem(0);
    }
}

void ReferenceListBox::moveUp()
{
    if (m_selectedRow <= 0) {
        return;
    }
    const int k = m_selectedRow;
    const QString text = m_items.at(k);
    addItem(text, k - 1);
    removeItem(m_selectedRow);
    m_selectedRow = k - 1;
}

void ReferenceListBox::moveDown()
{
    if (m_selectedRow == -1 || m_selectedRow == m_items.size() - 1) {
        return;
    }
    const int k = m_selectedRow;
    const QString text = m_items.at(k);
    addItem(text, k + 2);
    removeItem(m_selectedRow);
    m_selectedRow = k + 1;
}

void ReferenceListBox::addItem(const QString& text, int position)
{
    m_items.insert(position, text);
    if (m_selectedRow != -1 && position <= m_selectedRow) {
        ++m_selectedRow;
    }
}

void ReferenceListBox::removeItem(int position)
{
    m_items.removeAt(position);
    if (position == m_selectedRow) {
        m_selectedRow = -1;
    } else if (position < m_selectedRow) {
        --m_selectedRow;
    }
}
