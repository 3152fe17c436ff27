#pragma once

#include "base/NativePath.h"

#include <QAbstractListModel>
#include <QHash>
#include <QList>

// The merge list: full paths in merge order, stored exactly as given, in their
// native form; the list shows their display texts. It is the list's only store; the
// view's selection model holds the selected entry.
//
// Beside the entries the model keeps, for every compared form of a path, how many
// entries have it, so the duplicate test is a hash look-up rather than a scan of
// up to 32767 entries, and it stays exact even while two entries are equal.
class MergeListModel final : public QAbstractListModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MergeListModel)

public:
    // List positions were 16-bit on the platform the tool was made for.
    static constexpr int maxEntries = 32767;

    explicit MergeListModel(QObject* parent = nullptr);
    ~MergeListModel() override;

    [[nodiscard]] int count() const;
    [[nodiscard]] NativePath at(int row) const;
    [[nodiscard]] QList<NativePath> entries() const;

    // True when an entry names the same file as path under comparedForm().
    [[nodiscard]] bool isInMergeList(const NativePath& path) const;

    // row is 0..count(); count() appends. The caller keeps count() <= maxEntries.
    void insert(int row, const NativePath& path);
    // Inserts paths so that the first stands at row, in one insertion for the view.
    void insertBlock(int row, const QList<NativePath>& paths);
    void removeAt(int row);
    // Moves the entry at from so that it ends at position to.
    void moveEntry(int from, int to);
    void clear();

    [[nodiscard]] int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    void addToIndex(const NativePath& path);
    void removeFromIndex(const NativePath& path);

    QList<NativePath> m_entries;
    QHash<NativePath::Native, int> m_countByComparedForm;
};
