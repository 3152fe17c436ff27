#include "browser/FilePane.h"
#include "browser/FolderPane.h"
#include "mergelist/MergeListModel.h"
#include "mergelist/MergeListView.h"
#include "support/TestPaths.h"
#include "support/WindowFixture.h"

#include <QDir>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

// The merge list as the window drives it: the add buttons, the double-click in the
// file pane, drops from a file manager, the list's limit and the long-name view.
class MergeListWindowTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void addButtons();
    void doubleClickAddsOnlyThatFile();
    void filesFromTwoFolders();
    void limitShowsOneBox();
    void dropOfMixedFiles();
    void longNameViewRestoresGeometry();
    void doubleClickOnToggleSwitchesOnce();

private:
    [[nodiscard]] QStringList entries() const { return displayTexts(model()->entries()); }
    [[nodiscard]] MergeListModel* model() const { return static_cast<MergeListModel*>(list()->model()); }
    [[nodiscard]] MergeListView* list() const
    {
        return m_fixture->control<MergeListView>(QStringLiteral("lstUnite"));
    }
    [[nodiscard]] FilePane* files() const
    {
        return m_fixture->control<FilePane>(QStringLiteral("filOperate"));
    }
    void click(const char* button) const;
    [[nodiscard]] QString path(const QString& relative) const;
    void selectFiles(const QList<int>& rows) const;

    std::unique_ptr<WindowFixture> m_fixture;
    MainWindow* m_window = nullptr;
};

void MergeListWindowTest::init()
{
    m_fixture = std::make_unique<WindowFixture>();
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"})
        m_fixture->touch(QStringLiteral("C/One/") + QString::fromLatin1(name));
    m_fixture->touch(QStringLiteral("C/Two/x.txt"));
    m_window =
        &m_fixture->start(m_fixture->folder(QStringLiteral("C")), m_fixture->folder(QStringLiteral("C/One")));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void MergeListWindowTest::click(const char* button) const
{
    QTest::mouseClick(m_fixture->control<QPushButton>(QString::fromLatin1(button)), Qt::LeftButton);
}

QString MergeListWindowTest::path(const QString& relative) const
{
    return QDir::toNativeSeparators(m_fixture->temp.path() + QLatin1Char('/') + relative);
}

void MergeListWindowTest::selectFiles(const QList<int>& rows) const
{
    files()->clearSelection();
    for (int row : rows)
        files()->item(row)->setSelected(true);
}

void MergeListWindowTest::addButtons()
{
    selectFiles({1, 3});
    click("cmdAdd");
    QCOMPARE(entries(),
             (QStringList{path(QStringLiteral("C/One/b.txt")), path(QStringLiteral("C/One/d.txt"))}));
    QCOMPARE(list()->selectedRow(), 1);

    // After the selected entry, and nothing listed twice.
    list()->selectRow(0);
    click("cmdAddAll");
    QCOMPARE(entries(),
             (QStringList{path(QStringLiteral("C/One/b.txt")), path(QStringLiteral("C/One/a.txt")),
                          path(QStringLiteral("C/One/c.txt")), path(QStringLiteral("C/One/d.txt"))}));
    QCOMPARE(list()->selectedRow(), 2);
    click("cmdAddAll");
    QCOMPARE(entries().size(), 4);
    QCOMPARE(list()->selectedRow(), 2);

    click("cmdUp");
    QCOMPARE(entries().at(1), path(QStringLiteral("C/One/c.txt")));
    QCOMPARE(list()->selectedRow(), 1);
    click("cmdDel");
    QCOMPARE(entries().size(), 3);
    QCOMPARE(list()->selectedRow(), 0);
    click("cmdDelAll");
    QVERIFY(entries().isEmpty());
    QCOMPARE(list()->selectedRow(), -1);
    QVERIFY(m_fixture->prompter.prompts.isEmpty());
}

void MergeListWindowTest::doubleClickAddsOnlyThatFile()
{
    selectFiles({0, 1});
    const QRect cRect = files()->visualItemRect(files()->item(2));
    QTest::mouseDClick(files()->viewport(), Qt::LeftButton, {}, cRect.center());
    QCOMPARE(entries(), QStringList{path(QStringLiteral("C/One/c.txt"))});
    QTest::mouseDClick(files()->viewport(), Qt::LeftButton, {}, cRect.center());
    QCOMPARE(entries().size(), 1);
}

void MergeListWindowTest::filesFromTwoFolders()
{
    selectFiles({0});
    click("cmdAdd");
    m_fixture->control<FolderPane>(QStringLiteral("dirOperate"))
        ->setPath(NativePath::fromText(m_fixture->folder(QStringLiteral("C/Two"))));
    click("cmdAddAll");
    QCOMPARE(entries(),
             (QStringList{path(QStringLiteral("C/One/a.txt")), path(QStringLiteral("C/Two/x.txt"))}));
    QCOMPARE(list()->selectedRow(), 1);
}

void MergeListWindowTest::limitShowsOneBox()
{
    QStringList filler;
    for (int i = 0; i < MergeListModel::maxEntries - 2; ++i)
        filler << QStringLiteral("/filler/%1.txt").arg(i);
    QList<NativePath> fillerPaths;
    for (const QString& text : filler)
        fillerPaths << NativePath::fromText(text);
    model()->insertBlock(0, fillerPaths);
    list()->selectRow(0);

    click("cmdAddAll");
    QCOMPARE(model()->count(), MergeListModel::maxEntries);
    QCOMPARE(entries().mid(1, 2),
             (QStringList{path(QStringLiteral("C/One/a.txt")), path(QStringLiteral("C/One/b.txt"))}));
    QCOMPARE(entries().last(), filler.last());
    QCOMPARE(list()->selectedRow(), 2);
    QCOMPARE(m_fixture->prompter.prompts.size(), 1);
    QCOMPARE(m_fixture->prompter.prompts.first().style, BoxStyle::Information);
    QVERIFY(m_fixture->prompter.prompts.first().text.contains(QStringLiteral("32767")));
}

void MergeListWindowTest::dropOfMixedFiles()
{
    const QString two = m_fixture->folder(QStringLiteral("C/Two"));
    const QString upper = m_fixture->touch(QStringLiteral("C/Two/UP.TXT"));
    const QString other = m_fixture->touch(QStringLiteral("C/Two/image.png"));
    const QString dotted = m_fixture->folder(QStringLiteral("C/Two/dir.txt"));
    QList<QUrl> urls{QUrl::fromLocalFile(path(QStringLiteral("C/Two/x.txt"))), QUrl::fromLocalFile(other),
                     QUrl::fromLocalFile(dotted), QUrl::fromLocalFile(two), QUrl::fromLocalFile(upper)};
#ifdef Q_OS_UNIX
    const QString fifo = two + QStringLiteral("/pipe.txt");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    urls << QUrl::fromLocalFile(fifo);
#endif
    selectFiles({0});
    click("cmdAdd");

    QMimeData data;
    data.setUrls(urls);
    const QPoint at = list()->viewport()->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(list()->viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(list()->viewport(), &drop);

    QCOMPARE(entries(),
             (QStringList{path(QStringLiteral("C/One/a.txt")), path(QStringLiteral("C/Two/x.txt")), upper}));
    QCOMPARE(list()->selectedRow(), 2);
}

void MergeListWindowTest::longNameViewRestoresGeometry()
{
    auto* toggle = m_fixture->control<QLabel>(QStringLiteral("labElongate"));
    auto* help = m_fixture->control<QPlainTextEdit>(QStringLiteral("txtHelp"));
    const QRect listStart = list()->geometry();
    const QRect toggleStart = toggle->geometry();
    QCOMPARE(listStart.width(), 217);

    QTest::mouseClick(toggle, Qt::LeftButton);
    QCOMPARE(toggle->text(), QStringLiteral("<<"));
    QVERIFY(!help->isVisible());
    QCOMPARE(list()->geometry(), listStart.adjusted(0, 0, 166, 0));
    QCOMPARE(toggle->pos(), toggleStart.topLeft() + QPoint(166, 0));
    // The hidden help text leaves the keyboard order.
    list()->setFocus();
    for (int i = 0; i < 14; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != help);
    }

    QTest::mouseClick(toggle, Qt::LeftButton);
    QCOMPARE(toggle->text(), QStringLiteral(">>"));
    QVERIFY(help->isVisible());
    QCOMPARE(list()->geometry(), listStart);
    QCOMPARE(toggle->geometry(), toggleStart);

    m_window->setEnabled(false);
    QTest::mouseClick(toggle, Qt::LeftButton);
    QCOMPARE(toggle->text(), QStringLiteral(">>"));
}

void MergeListWindowTest::doubleClickOnToggleSwitchesOnce()
{
    auto* toggle = m_fixture->control<QLabel>(QStringLiteral("labElongate"));
    const QRect listStart = list()->geometry();
    // A double-click arrives as a click followed by a press that is a double-click.
    QTest::mouseClick(toggle, Qt::LeftButton);
    QTest::mouseDClick(toggle, Qt::LeftButton);
    QCOMPARE(toggle->text(), QStringLiteral("<<"));
    QCOMPARE(list()->width(), listStart.width() + 166);
}

QTEST_MAIN(MergeListWindowTest)
#include "tst_mergelistwindow.moc"
