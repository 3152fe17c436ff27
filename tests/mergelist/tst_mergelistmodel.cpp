#include "PlatformCase.h"
#include "mergelist/MergeListModel.h"
#include "support/TestPaths.h"

#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestMergeListModel final : public QObject
{
    Q_OBJECT

private slots:
    void contractHoldsThroughEveryChange();
    void insertBlock_data();
    void insertBlock();
    void moveEntry_data();
    void moveEntry();
    void duplicateTest_data();
    void duplicateTest();
    void equalEntriesCountedSeparately();
    void namesCompareByTheirBytes();
};

namespace {

void fill(MergeListModel& model, const QStringList& texts)
{
    model.insertBlock(model.count(), paths(texts));
}

QStringList entries(const MergeListModel& model)
{
    return displayTexts(model.entries());
}

} // namespace

void TestMergeListModel::contractHoldsThroughEveryChange()
{
    MergeListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

    model.insert(0, path(u"/d/B.txt"_s));
    model.insert(0, path(u"/d/A.txt"_s));
    model.insert(2, path(u"/d/D.txt"_s));
    model.insertBlock(2, paths({u"/d/C1.txt"_s, u"/d/C2.txt"_s}));
    model.insertBlock(0, {});
    model.insertBlock(model.count(), paths({u"/e/x.txt"_s, u"/e/y.txt"_s}));
    model.moveEntry(0, 6);
    model.moveEntry(6, 0);
    model.moveEntry(2, 3);
    model.moveEntry(3, 2);
    model.moveEntry(4, 4);
    model.removeAt(6);
    model.removeAt(0);
    model.removeAt(2);
    QCOMPARE(entries(model), (QStringList{u"/d/B.txt"_s, u"/d/C1.txt"_s, u"/d/D.txt"_s, u"/e/x.txt"_s}));
    QCOMPARE(model.data(model.index(1), Qt::DisplayRole).toString(), u"/d/C1.txt"_s);
    QCOMPARE(model.data(model.index(1), Qt::ToolTipRole).toString(), u"/d/C1.txt"_s);

    model.clear();
    model.clear();
    QCOMPARE(model.count(), 0);
    QVERIFY(!model.isInMergeList(path(u"/d/B.txt"_s)));
    model.insert(0, path(u"/d/B.txt"_s));
    QVERIFY(model.isInMergeList(path(u"/d/B.txt"_s)));
}

void TestMergeListModel::insertBlock_data()
{
    QTest::addColumn<QStringList>("initial");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("block");
    QTest::addColumn<QStringList>("expected");

    const QStringList abc{u"A"_s, u"B"_s, u"C"_s};
    const QStringList xy{u"x"_s, u"y"_s};
    QTest::newRow("into empty list") << QStringList() << -1 << 0 << xy << xy;
    QTest::newRow("before the selected entry")
        << abc << 1 << 0 << xy << QStringList{u"x"_s, u"y"_s, u"A"_s, u"B"_s, u"C"_s};
    QTest::newRow("at the selected entry")
        << abc << 1 << 1 << xy << QStringList{u"A"_s, u"x"_s, u"y"_s, u"B"_s, u"C"_s};
    QTest::newRow("right after the selected entry")
        << abc << 1 << 2 << xy << QStringList{u"A"_s, u"B"_s, u"x"_s, u"y"_s, u"C"_s};
    QTest::newRow("at the end") << abc << 2 << 3 << xy << QStringList{u"A"_s, u"B"_s, u"C"_s, u"x"_s, u"y"_s};
    QTest::newRow("empty block") << abc << 0 << 1 << QStringList() << abc;
}

// One insertion for the whole block, and the view's selection stays on its entry
// wherever the block goes: the adding operations rely on both.
void TestMergeListModel::insertBlock()
{
    QFETCH(QStringList, initial);
    QFETCH(int, selected);
    QFETCH(int, row);
    QFETCH(QStringList, block);
    QFETCH(QStringList, expected);

    MergeListModel model;
    fill(model, initial);
    QItemSelectionModel selection(&model);
    if (selected >= 0) {
        selection.setCurrentIndex(model.index(selected), QItemSelectionModel::ClearAndSelect);
    }
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);

    model.insertBlock(row, paths(block));

    QCOMPARE(entries(model), expected);
    QCOMPARE(inserted.count(), block.isEmpty() ? 0 : 1);
    if (!block.isEmpty()) {
        QCOMPARE(inserted.at(0).at(1).toInt(), row);
        QCOMPARE(inserted.at(0).at(2).toInt(), row + block.size() - 1);
    }
    if (selected >= 0) {
        const QModelIndexList rows = selection.selectedRows();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.at(0).data().toString(), initial.at(selected));
    }
}

void TestMergeListModel::moveEntry_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("up by one") << 2 << 1 << QStringList{u"A"_s, u"C"_s, u"B"_s, u"D"_s};
    QTest::newRow("down by one") << 1 << 2 << QStringList{u"A"_s, u"C"_s, u"B"_s, u"D"_s};
    QTest::newRow("first to last") << 0 << 3 << QStringList{u"B"_s, u"C"_s, u"D"_s, u"A"_s};
    QTest::newRow("last to first") << 3 << 0 << QStringList{u"D"_s, u"A"_s, u"B"_s, u"C"_s};
    QTest::newRow("second-last down") << 2 << 3 << QStringList{u"A"_s, u"B"_s, u"D"_s, u"C"_s};
}

// Persistent indexes follow only when the move is announced with the right rows;
// the view's selection is one of them.
void TestMergeListModel::moveEntry()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QStringList, expected);

    MergeListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const QStringList initial{u"A"_s, u"B"_s, u"C"_s, u"D"_s};
    fill(model, initial);
    QList<QPersistentModelIndex> persistent;
    for (int row = 0; row < model.count(); ++row) {
        persistent.append(QPersistentModelIndex(model.index(row)));
    }

    model.moveEntry(from, to);

    QCOMPARE(entries(model), expected);
    QCOMPARE(persistent.at(from).row(), to);
    for (int row = 0; row < persistent.size(); ++row) {
        QCOMPARE(persistent.at(row).data().toString(), initial.at(row));
    }
}

void TestMergeListModel::duplicateTest_data()
{
    QTest::addColumn<QString>("listed");
    QTest::addColumn<QString>("candidate");
    QTest::addColumn<bool>("sameFile");

    constexpr bool ignoreCase = platformIgnoresCase();
    QTest::newRow("exact") << u"C:\\Data\\a.txt"_s << u"C:\\Data\\a.txt"_s << true;
    QTest::newRow("letter case") << u"C:\\Data\\A.TXT"_s << u"c:\\data\\a.txt"_s << ignoreCase;
    QTest::newRow("letter case of the name")
        << u"/home/u/Notes.txt"_s << u"/home/u/notes.txt"_s << ignoreCase;
    QTest::newRow("letter case beyond ASCII") << u"/d/Ärger.txt"_s << u"/d/ärger.txt"_s << ignoreCase;
    QTest::newRow("same file, other spelling")
        << u"C:\\Data\\..\\Data\\a.txt"_s << u"C:\\Data\\a.txt"_s << false;
    QTest::newRow("trailing space") << u"/d/a.txt "_s << u"/d/a.txt"_s << false;
    QTest::newRow("prefix") << u"/d/a.txt"_s << u"/d/a.tx"_s << false;
}

void TestMergeListModel::duplicateTest()
{
    QFETCH(QString, listed);
    QFETCH(QString, candidate);
    QFETCH(bool, sameFile);

    MergeListModel model;
    fill(model, {u"/other/first.txt"_s, listed, u"/other/last.txt"_s});

    QCOMPARE(model.isInMergeList(path(candidate)), sameFile);
    QVERIFY(model.isInMergeList(path(listed)));
    QCOMPARE(model.at(1), path(listed));
}

// The model itself does not refuse equal entries (a move through insert and
// remove would hold two for a moment), so the duplicate test must not forget a
// path while one copy is still listed.
void TestMergeListModel::equalEntriesCountedSeparately()
{
    MergeListModel model;
    const NativePath a = path(u"/d/a.txt"_s);
    model.insertBlock(0, {a, path(u"/d/b.txt"_s), a});

    model.removeAt(0);
    QVERIFY(model.isInMergeList(a));
    model.removeAt(1);
    QVERIFY(!model.isInMergeList(a));
    QVERIFY(model.isInMergeList(path(u"/d/b.txt"_s)));
}

// A GBK name and the UTF-8 name that shows the same text are two files; so are a
// GBK name and the replacement characters Qt would turn it into.
void TestMergeListModel::namesCompareByTheirBytes()
{
#ifdef Q_OS_WIN
    QSKIP("File names are UTF-16 on Windows");
#else
    const NativePath gbk = NativePath::fromNative("/d/\xba\xcf\xb2\xa2.txt");
    const NativePath utf8 = NativePath::fromNative("/d/\xe5\x90\x88\xe5\xb9\xb6.txt");
    const NativePath replaced = NativePath::fromNative("/d/\xef\xbf\xbd\xef\xbf\xbd.txt");
    MergeListModel model;
    model.insert(0, gbk);

    QVERIFY(model.isInMergeList(NativePath::fromNative("/d/\xba\xcf\xb2\xa2.txt")));
    QVERIFY(!model.isInMergeList(utf8));
    QVERIFY(!model.isInMergeList(replaced));
    QCOMPARE(model.data(model.index(0)).toString(), u"/d/合并.txt"_s);
#endif
}

QTEST_GUILESS_MAIN(TestMergeListModel)
#include "tst_mergelistmodel.moc"
