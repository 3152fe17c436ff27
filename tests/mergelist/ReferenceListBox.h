#pragma once

#include <QStringList>

// A step-by-step model of the original list box and its button handlers, one item
// inserted or removed at a time and every duplicate test a full scan. The tests
// hold the bulk operations of the merge list against it.
class ReferenceListBox final
{
public:
    explicit ReferenceListBox(Qt::CaseSensitivity caseSensitivity);

    [[nodiscard]] const QStringList& items() const;
    [[nodiscard]] int selectedRow() const;
    void setSelectedRow(int row);

    [[nodiscard]] bool scanFor(const QString& path) const;

    void add(const QStringList& paths);
    void removeSelected();
    void removeAll();
    void moveUp();
    void moveDown();

private:
    // An insertion at or before the selected item keeps that item selected.
    void addItem(const QString& text, int position);
    void removeItem(int position);

    Qt::CaseSensitivity m_caseSensitivity;
    QStringList m_items;
    int m_selectedRow = -1;
};
