#pragma once

#include <QAbstractListModel>
#include <QHash>
#include <QStringList>

// The merge list: full paths in merge order, stored exactly as given. It is the
// list's only store; the view's selection model holds the selected entry.
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
    [[nodiscard]] QString at(int row) const;
    [[nodiscard]] QStringList entries() const;

    // True when an entry names the same file as path under comparedForm().
    [[nodiscard]] bool IsInMergeList(const QString& path) const;

    // row is 0..count(); count() appends. The caller keeps count() <= maxEntries.
    void insert(int row, const QString& path);
    // Inserts paths so that the first stands at row, in one insertion for the view.
    void insertBlock(int row, const QStringList& paths);
    void removeAt(int row);
    // Moves the entry at from so that it ends at position to.
    void moveEntry(int from, int to);
    void clear();

    [[nodiscard]] int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    void addToIndex(const QString& path);
    void removeFromIndex(const QString& path);

    QStringList m_entries;
    QHash<QString, int> m_countByComparedForm;
};
