#include "mergelist/MergeListModel.h"

#include "mergelist/PathRules.h"

MergeListModel::MergeListModel(QObject* parent) : QAbstractListModel(parent) {}

MergeListModel::~MergeListModel() = default;

int MergeListModel::count() const
{
    return static_cast<int>(m_entries.size());
}

NativePath MergeListModel::at(int row) const
{
    Q_ASSERT(row >= 0 && row < count());
    return m_entries.at(row);
}

QList<NativePath> MergeListModel::entries() const
{
    return m_entries;
}

bool MergeListModel::isInMergeList(const NativePath& path) const
{
    return m_countByComparedForm.contains(comparedForm(path));
}

void MergeListModel::insert(int row, const NativePath& path)
{
    insertBlock(row, QList<NativePath>{path});
}

void MergeListModel::insertBlock(int row, const QList<NativePath>& paths)
{
    Q_ASSERT(row >= 0 && row <= count());
    Q_ASSERT(count() + paths.size() <= maxEntries);
    if (paths.isEmpty()) {
        return;
    }
    const int last = row + static_cast<int>(paths.size()) - 1;
    beginInsertRows(QModelIndex(), row, last);
    QList<NativePath> merged;
    merged.reserve(m_entries.size() + paths.size());
    merged << m_entries.first(row) << paths << m_entries.sliced(row);
    m_entries = std::move(merged);
    for (const NativePath& path : paths) {
        addToIndex(path);
    }
    endInsertRows();
}

void MergeListModel::removeAt(int row)
{
    Q_ASSERT(row >= 0 && row < count());
    beginRemoveRows(QModelIndex(), row, row);
    removeFromIndex(m_entries.takeAt(row));
    endRemoveRows();
}

void MergeListModel::moveEntry(int from, int to)
{
    Q_ASSERT(from >= 0 && from < count());
    Q_ASSERT(to >= 0 && to < count());
    if (from == to) {
        return;
    }
    // Qt names the destination as the row the entry is put before, counted in the
    // list before the move; the entry itself is still in that list.
    const int destinationChild = to > from ? to + 1 : to;
    if (!beginMoveRows(QModelIndex(), from, from, QModelIndex(), destinationChild)) {
        return;
    }
    m_entries.move(from, to);
    endMoveRows();
}

void MergeListModel::clear()
{
    if (m_entries.isEmpty()) {
        return;
    }
    beginResetModel();
    m_entries.clear();
    m_countByComparedForm.clear();
    endResetModel();
}

int MergeListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant MergeListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        return m_entries.at(index.row()).display();
    }
    return {};
}

void MergeListModel::addToIndex(const NativePath& path)
{
    ++m_countByComparedForm[comparedForm(path)];
}

void MergeListModel::removeFromIndex(const NativePath& path)
{
    const auto it = m_countByComparedForm.find(comparedForm(path));
    Q_ASSERT(it != m_countByComparedForm.end());
    if (--it.value() == 0) {
        m_countByComparedForm.erase(it);
    }
}
