#include "PlatformCase.h"
#include "ReferenceListBox.h"
#include "mergelist/MergeListModel.h"
#include "mergelist/MergeListOps.h"
#include "mergelist/PathRules.h"
#include "support/TestPaths.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

// The bulk operations against what one-at-a-time insertion and full scans give:
// at the list's size limit, and over long random runs.
class TestMergeListBulk final : public QObject
{
    Q_OBJECT

private slots:
    void limit_data();
    void limit();
    void agreesWithStepByStepList_data();
    void agreesWithStepByStepList();
};

namespace {

constexpr int maxEntries = MergeListModel::maxEntries;

QString listedPath(int i)
{
    return u"/listed/f%1.txt"_s.arg(i);
}

QString newPath(int i)
{
    return u"/new/g%1.txt"_s.arg(i);
}

} // namespace

void TestMergeListBulk::limit_data()
{
    QTest::addColumn<int>("listed");
    QTest::addColumn<int>("selected");
    // One letter per candidate: 'n' a path not yet listed, 'd' one that is.
    QTest::addColumn<QString>("candidates");
    QTest::addColumn<int>("expectedAdded");
    QTest::addColumn<bool>("limitReached");

    QTest::newRow("empty list, more than fit")
        << 0 << -1 << QString(maxEntries + 5, u'n') << maxEntries << true;
    QTest::newRow("empty list, exactly enough")
        << 0 << -1 << QString(maxEntries, u'n') << maxEntries << false;
    QTest::newRow("nearly full, appending") << maxEntries - 3 << -1 << u"nnnnn"_s << 3 << true;
    QTest::newRow("nearly full, after a middle entry") << maxEntries - 3 << 100 << u"nnnnn"_s << 3 << true;
    QTest::newRow("full list adds nothing") << maxEntries << 5 << u"nn"_s << 0 << true;
    QTest::newRow("full list, only listed paths") << maxEntries << 5 << u"dd"_s << 0 << false;
    QTest::newRow("filled exactly, duplicates around") << maxEntries - 2 << -1 << u"dndndd"_s << 2 << false;
    QTest::newRow("duplicates do not use up room") << maxEntries - 2 << -1 << u"dnddnn"_s << 2 << true;
}

void TestMergeListBulk::limit()
{
    QFETCH(int, listed);
    QFETCH(int, selected);
    QFETCH(QString, candidates);
    QFETCH(int, expectedAdded);
    QFETCH(bool, limitReached);

    MergeListModel model;
    QStringList before;
    for (int i = 0; i < listed; ++i) {
        before.append(listedPath(i));
    }
    model.insertBlock(0, paths(before));
    QStringList texts;
    QStringList newOnes;
    for (int i = 0; i < candidates.size(); ++i) {
        const bool isNew = candidates.at(i) == u'n';
        texts.append(isNew ? newPath(i) : listedPath(i * 7 % listed));
        if (isNew) {
            newOnes.append(texts.last());
        }
    }

    const mergelist::AddResult result = mergelist::addPaths(model, paths(texts), selected);

    QCOMPARE(result.added, expectedAdded);
    QCOMPARE(result.limitReached, limitReached);
    const int insertRow = selected == -1 ? listed : selected + 1;
    QCOMPARE(result.selectedRow, expectedAdded == 0 ? selected : insertRow + expectedAdded - 1);
    QStringList expected = before;
    for (int i = 0; i < expectedAdded; ++i) {
        expected.insert(insertRow + i, newOnes.at(i));
    }
    QCOMPARE(displayTexts(model.entries()), expected);
}

void TestMergeListBulk::agreesWithStepByStepList_data()
{
    QTest::addColumn<quint32>("seed");

    QTest::newRow("seed 1") << 1u;
    QTest::newRow("seed 20240607") << 20240607u;
    QTest::newRow("seed 99991") << 99991u;
}

namespace {

// Paths that differ in letter case, in the folder or the name, beside plain ones.
QStringList pathPool()
{
    QStringList pool;
    for (const char* folder : {"/d1", "/D1", "/d2"}) {
        for (const char* name : {"a.txt", "A.txt", "b.TXT", "c.txt", "Ç.txt", "ç.txt"}) {
            pool.append(
                buildFullPath(path(QString::fromUtf8(folder)), path(QString::fromUtf8(name))).display());
        }
    }
    return pool;
}

// Runs one randomly chosen action on both lists and gives the model's new selection.
int randomStep(QRandomGenerator& random, const QStringList& pool, MergeListModel& model,
               ReferenceListBox& reference, int selected)
{
    const int action = random.bounded(20);
    if (action < 8) {
        QStringList batch;
        const int size = random.bounded(7);
        for (int i = 0; i < size; ++i) {
            batch.append(pool.at(random.bounded(pool.size())));
        }
        reference.add(batch);
        return mergelist::addPaths(model, paths(batch), selected).selectedRow;
    }
    if (action < 11) {
        reference.removeSelected();
        return mergelist::removeRow(model, selected);
    }
    if (action < 14) {
        reference.moveUp();
        return mergelist::moveUp(model, selected);
    }
    if (action < 17) {
        reference.moveDown();
        return mergelist::moveDown(model, selected);
    }
    if (action < 19) {
        // A click in the list, or a view that lost its selection.
        const int clicked = random.bounded(-1, model.count());
        reference.setSelectedRow(clicked);
        return clicked;
    }
    if (random.bounded(5) == 0) {
        reference.removeAll();
        return mergelist::removeAll(model);
    }
    return selected;
}

} // namespace

// Random adds (with repeats and other letter case), removals, moves and clicks in
// the list; after every step the order, the selection and every duplicate answer
// must match the step-by-step list.
void TestMergeListBulk::agreesWithStepByStepList()
{
    QFETCH(quint32, seed);

    const QStringList pool = pathPool();
    const QStringList probes =
        pool + QStringList{buildFullPath(path(u"/d3"_s), path(u"a.txt"_s)).display(), QString(), u"d1"_s};
    MergeListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    ReferenceListBox reference(platformIgnoresCase() ? Qt::CaseInsensitive : Qt::CaseSensitive);
    QRandomGenerator random(seed);
    int selected = -1;

    for (int step = 0; step < 3000; ++step) {
        selected = randomStep(random, pool, model, reference, selected);

        QCOMPARE(displayTexts(model.entries()), reference.items());
        QCOMPARE(selected, reference.selectedRow());
        for (const QString& probe : probes) {
            QCOMPARE(model.isInMergeList(path(probe)), reference.scanFor(probe));
        }
    }
}

QTEST_GUILESS_MAIN(TestMergeListBulk)
#include "tst_mergelistbulk.moc"
