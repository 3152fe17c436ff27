#include "mergelist/MergeListModel.h"
#include "mergelist/MergeListOps.h"
#include "support/TestPaths.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

enum class Operation
{
    RemoveRow,
    RemoveAll,
    MoveUp,
    MoveDown
};
Q_DECLARE_METATYPE(Operation)

class TestMergeListOps final : public QObject
{
    Q_OBJECT

private slots:
    void placement_data();
    void placement();
    void rowOperations_data();
    void rowOperations();
    void addingContinuesAfterMovedEntry();
};

namespace {

QStringList split(const char* entries)
{
    return QString::fromUtf8(entries).split(u' ', Qt::SkipEmptyParts);
}

void fill(MergeListModel& model, const QStringList& texts)
{
    model.insertBlock(model.count(), paths(texts));
}

QStringList entries(const MergeListModel& model)
{
    return displayTexts(model.entries());
}

int run(Operation operation, MergeListModel& model, int selected)
{
    switch (operation) {
    case Operation::RemoveRow:
        return mergelist::removeRow(model, selected);
    case Operation::RemoveAll:
        return mergelist::removeAll(model);
    case Operation::MoveUp:
        return mergelist::moveUp(model, selected);
    case Operation::MoveDown:
        return mergelist::moveDown(model, selected);
    }
    return selected;
}

} // namespace

void TestMergeListOps::placement_data()
{
    QTest::addColumn<QStringList>("initial");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QList<QStringList>>("batches");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("expectedSelected");

    using Batches = QList<QStringList>;
    const QStringList abc = split("/d/A /d/B /d/C");
    QTest::newRow("empty list: appended in pane order")
        << QStringList() << -1 << Batches{split("/d/x /d/y /d/z")} << split("/d/x /d/y /d/z") << 2;
    QTest::newRow("first selected: right after it")
        << abc << 0 << Batches{split("/d/x /d/y")} << split("/d/A /d/x /d/y /d/B /d/C") << 2;
    QTest::newRow("middle selected: right after it")
        << abc << 1 << Batches{split("/d/x /d/y")} << split("/d/A /d/B /d/x /d/y /d/C") << 3;
    QTest::newRow("last selected: at the end")
        << abc << 2 << Batches{split("/d/x /d/y")} << split("/d/A /d/B /d/C /d/x /d/y") << 4;
    QTest::newRow("nothing selected: at the end")
        << abc << -1 << Batches{split("/d/x /d/y")} << split("/d/A /d/B /d/C /d/x /d/y") << 4;
    QTest::newRow("two folders one after the other")
        << QStringList() << -1 << Batches{split("/one/a /one/b"), split("/two/a")}
        << split("/one/a /one/b /two/a") << 2;
    QTest::newRow("second batch goes on behind the first")
        << abc << 0 << Batches{split("/one/x"), split("/two/y")} << split("/d/A /one/x /two/y /d/B /d/C")
        << 2;
    QTest::newRow("duplicate inside one batch")
        << QStringList() << -1 << Batches{split("/d/a /d/b /d/a")} << split("/d/a /d/b") << 1;
    QTest::newRow("duplicate across batches")
        << QStringList() << -1 << Batches{split("/d/a /d/b"), split("/d/b /d/c")} << split("/d/a /d/b /d/c")
        << 2;
    QTest::newRow("listed entry skipped, rest kept together")
        << abc << 0 << Batches{split("/d/x /d/B /d/y")} << split("/d/A /d/x /d/y /d/B /d/C") << 2;
    QTest::newRow("last candidate a duplicate: last added selected")
        << abc << 0 << Batches{split("/d/x /d/C")} << split("/d/A /d/x /d/B /d/C") << 1;
    QTest::newRow("every candidate listed keeps selection")
        << abc << 1 << Batches{split("/d/C /d/A")} << abc << 1;
    QTest::newRow("add all twice adds nothing the second time")
        << abc << 0 << Batches{split("/d/x /d/y"), split("/d/x /d/y")} << split("/d/A /d/x /d/y /d/B /d/C")
        << 2;
    QTest::newRow("no candidates keeps selection") << abc << 1 << Batches{QStringList()} << abc << 1;
    QTest::newRow("no candidates, empty list")
        << QStringList() << -1 << Batches{QStringList()} << QStringList() << -1;
}

void TestMergeListOps::placement()
{
    QFETCH(QStringList, initial);
    QFETCH(int, selected);
    QFETCH(QList<QStringList>, batches);
    QFETCH(QStringList, expected);
    QFETCH(int, expectedSelected);

    MergeListModel model;
    fill(model, initial);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    int expectedInsertions = 0;
    for (const QStringList& batch : batches) {
        const int countBefore = model.count();
        const mergelist::AddResult result = mergelist::addPaths(model, paths(batch), selected);
        QCOMPARE(result.added, model.count() - countBefore);
        QVERIFY(!result.limitReached);
        expectedInsertions += result.added > 0 ? 1 : 0;
        selected = result.selectedRow;
    }

    QCOMPARE(entries(model), expected);
    QCOMPARE(selected, expectedSelected);
    // Thousands of files go in at once; the view must not be told one by one.
    QCOMPARE(inserted.count(), expectedInsertions);
}

void TestMergeListOps::rowOperations_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<QStringList>("initial");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("expectedSelected");

    const QStringList abc = split("A B C");
    const QStringList none;
    QTest::newRow("remove middle selects the one before")
        << Operation::RemoveRow << abc << 1 << split("A C") << 0;
    QTest::newRow("remove first selects the new first")
        << Operation::RemoveRow << abc << 0 << split("B C") << 0;
    QTest::newRow("remove last selects the new last")
        << Operation::RemoveRow << abc << 2 << split("A B") << 1;
    QTest::newRow("remove only entry") << Operation::RemoveRow << split("A") << 0 << none << -1;
    QTest::newRow("remove on empty list") << Operation::RemoveRow << none << -1 << none << -1;
    QTest::newRow("remove with nothing selected") << Operation::RemoveRow << abc << -1 << abc << -1;

    QTest::newRow("remove all") << Operation::RemoveAll << abc << 1 << none << -1;
    QTest::newRow("remove all with nothing selected") << Operation::RemoveAll << abc << -1 << none << -1;
    QTest::newRow("remove all on empty list") << Operation::RemoveAll << none << -1 << none << -1;

    QTest::newRow("move up from last") << Operation::MoveUp << abc << 2 << split("A C B") << 1;
    QTest::newRow("move up from middle") << Operation::MoveUp << abc << 1 << split("B A C") << 0;
    QTest::newRow("move up on first does nothing") << Operation::MoveUp << abc << 0 << abc << 0;
    QTest::newRow("move up with nothing selected") << Operation::MoveUp << abc << -1 << abc << -1;
    QTest::newRow("move up on empty list") << Operation::MoveUp << none << -1 << none << -1;

    QTest::newRow("move down from first") << Operation::MoveDown << abc << 0 << split("B A C") << 1;
    QTest::newRow("move down from middle to the end")
        << Operation::MoveDown << abc << 1 << split("A C B") << 2;
    QTest::newRow("move down in two entries")
        << Operation::MoveDown << split("A B") << 0 << split("B A") << 1;
    QTest::newRow("move down on last does nothing") << Operation::MoveDown << abc << 2 << abc << 2;
    QTest::newRow("move down with nothing selected") << Operation::MoveDown << abc << -1 << abc << -1;
    QTest::newRow("move down on empty list") << Operation::MoveDown << none << -1 << none << -1;

    // A move must carry the text exactly, and the duplicate test must still know
    // both entries afterwards.
    const QStringList mixed{u"C:\\Data\\A.TXT"_s, u"c:\\data\\b.txt"_s};
    QTest::newRow("move up keeps letter case")
        << Operation::MoveUp << mixed << 1 << QStringList{mixed[1], mixed[0]} << 0;
    QTest::newRow("move down keeps letter case")
        << Operation::MoveDown << mixed << 0 << QStringList{mixed[1], mixed[0]} << 1;
}

void TestMergeListOps::rowOperations()
{
    QFETCH(Operation, operation);
    QFETCH(QStringList, initial);
    QFETCH(int, selected);
    QFETCH(QStringList, expected);
    QFETCH(int, expectedSelected);

    MergeListModel model;
    fill(model, initial);

    QCOMPARE(run(operation, model, selected), expectedSelected);
    QCOMPARE(entries(model), expected);
    for (const QString& text : initial) {
        QCOMPARE(model.isInMergeList(path(text)), expected.contains(text));
    }
}

void TestMergeListOps::addingContinuesAfterMovedEntry()
{
    MergeListModel model;
    fill(model, split("A B C D"));

    int selected = mergelist::moveUp(model, 2);
    selected = mergelist::addPaths(model, paths(split("x")), selected).selectedRow;
    QCOMPARE(entries(model), split("A C x B D"));
    QCOMPARE(selected, 2);

    selected = mergelist::moveDown(model, 0);
    selected = mergelist::addPaths(model, paths(split("y")), selected).selectedRow;
    QCOMPARE(entries(model), split("C A y x B D"));
    QCOMPARE(selected, 2);
}

QTEST_GUILESS_MAIN(TestMergeListOps)
#include "tst_mergelistops.moc"
