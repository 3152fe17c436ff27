#include "base/FileSystemAsker.h"
#include "base/NativePath.h"
#include "browser/DriveFolders.h"
#include "browser/DrivePane.h"
#include "browser/FilePane.h"
#include "browser/FolderListing.h"
#include "browser/FolderPane.h"
#include "support/AccessibleEventRecorder.h"
#include "support/TestDrives.h"
#include "support/TestPaths.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtPlugin>

#include <filesystem>
#include <future>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <windows.h>
#endif

using namespace Qt::StringLiterals;

Q_IMPORT_PLUGIN(AccessibleEventRecorder)

// The drive, folder and file panes on folders of a temporary folder.
class BrowserPanesTest final : public QObject
{
    Q_OBJECT

private slots:
    void fileListing_data();
    void fileListing();
    void fileOrderAndPathChanged();
    void fileDoubleClick();
    void folderTree();
    void folderOpening();
    void namesInAnyEncoding();
    void lateAnswers();
    void moveToDrive_data();
    void moveToDrive();
    void driveSelection();
    void driveReadWhileClosed_data();
    void driveReadWhileClosed();
    void driveListOpenedAndClosed();

private:
    // Answers count as in time however loaded the machine: lateAnswers has its own.
    FileSystemAsker m_asker{std::chrono::seconds(30)};
    // For file panes on their own, which ask their questions all of one volume.
    TestDrives m_noDrives;
    DriveFolders m_noFolders{m_noDrives, NativePath()};
};

namespace {

// Each platform's kinds of entry; a row makes only those of the platform it runs on.
enum class Entry
{
    File,
    Folder,
    Fifo,
    LinkToFifo,
    LinkToFile,
    HiddenFile,
    SystemFile,
};

// How the drive pane came to its selection, before a screen reader reads it.
enum class DriveChange
{
    SetByProgram,
    PickedWithKeyboard,
    ListReadAgain,
    ListOpenedAndClosed,
};

// Makes a file, or with a '/' at the end a folder, below the base folder, with
// the folders above it.
void make(const QTemporaryDir& base, const QString& relative)
{
    if (relative.endsWith(u'/')) {
        QVERIFY(QDir(base.path()).mkpath(relative));
        return;
    }
    QFile file(base.filePath(relative));
    QVERIFY(QDir(base.path()).mkpath(QFileInfo(relative).path()));
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(relative));
}

// A kind the platform cannot make fails the row: a skip here would leave only this
// helper, and the row would go on to pass without its entry.
void create(const QTemporaryDir& base, const QString& name, Entry kind)
{
    if (kind == Entry::File || kind == Entry::Folder) {
        make(base, kind == Entry::Folder ? name + u'/' : name);
        return;
    }
#ifdef Q_OS_UNIX
    if (kind == Entry::HiddenFile || kind == Entry::SystemFile)
        QFAIL("Hidden and system attributes are Windows'");
    const QString target = kind == Entry::Fifo ? name : u"target"_s;
    if (kind == Entry::LinkToFile)
        make(base, target);
    else
        QCOMPARE(::mkfifo(QFile::encodeName(base.filePath(target)).constData(), 0600), 0);
    if (kind != Entry::Fifo)
        QVERIFY(QFile::link(target, base.filePath(name)));
#else
    if (kind != Entry::HiddenFile && kind != Entry::SystemFile)
        QFAIL("FIFOs and symbolic links are made only on Unix");
    make(base, name);
    const DWORD attribute = kind == Entry::HiddenFile ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_SYSTEM;
    const std::wstring native = QDir::toNativeSeparators(base.filePath(name)).toStdWString();
    QVERIFY(SetFileAttributesW(native.c_str(), attribute));
#endif
}

QStringList listed(const FilePane& pane)
{
    QStringList names;
    for (int i = 0; i < pane.fileCount(); ++i)
        names.append(pane.fileName(i).display());
    return names;
}

// The folder tree's texts, each indented by two spaces per level.
QStringList treeLines(const QTreeWidgetItem* item, int depth = 0)
{
    QStringList lines{QString(depth * 2, u' ') + item->text(0)};
    for (int i = 0; i < item->childCount(); ++i)
        lines += treeLines(item->child(i), depth + 1);
    return lines;
}

// What the tree shows above the folder's subfolders: the root, then each folder
// down to the folder itself, one level deeper each.
QStringList ancestorLines(const QString& folder)
{
    QStringList lines;
    for (QDir dir(QDir::cleanPath(folder)); !dir.isRoot(); dir.cdUp())
        lines.prepend(dir.dirName());
    lines.prepend(path(QDir::rootPath()).absolute().display());
    for (int i = 0; i < lines.size(); ++i)
        lines[i].prepend(QString(i * 2, u' '));
    return lines;
}

} // namespace

void BrowserPanesTest::fileListing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Entry>("kind");
    QTest::addColumn<bool>("listed");

    QTest::newRow("small extension") << u"a.txt"_s << Entry::File << true;
    QTest::newRow("capital extension") << u"B.TXT"_s << Entry::File << true;
    QTest::newRow("backup") << u"a.txt.bak"_s << Entry::File << false;
    QTest::newRow("other extension") << u"a.text"_s << Entry::File << false;
    QTest::newRow("folder") << u"dir.txt"_s << Entry::Folder << false;
#ifdef Q_OS_UNIX
    QTest::newRow("hidden") << u".hidden.txt"_s << Entry::File << false;
    QTest::newRow("link to a file") << u"link.txt"_s << Entry::LinkToFile << true;
    QTest::newRow("fifo") << u"x.txt"_s << Entry::Fifo << false;
    QTest::newRow("link to a fifo") << u"y.txt"_s << Entry::LinkToFifo << false;
#else
    QTest::newRow("hidden") << u"hidden.txt"_s << Entry::HiddenFile << false;
    QTest::newRow("system") << u"system.txt"_s << Entry::SystemFile << false;
#endif
}

void BrowserPanesTest::fileListing()
{
    QFETCH(QString, name);
    QFETCH(Entry, kind);
    QFETCH(bool, listed);

    const QTemporaryDir base;
    create(base, name, kind);
    make(base, u"always.txt"_s);
    FilePane pane(m_noFolders, m_asker, nullptr);
    pane.setPath(path(base.path()));

    QCOMPARE(::listed(pane).contains(name), listed);
    // Files added to the merge list later are checked one by one by the same rule.
    QCOMPARE(isListedTextFile(path(base.filePath(name))), listed);
    QVERIFY(::listed(pane).contains(u"always.txt"_s));
}

void BrowserPanesTest::fileOrderAndPathChanged()
{
    const QTemporaryDir base;
    for (const QString& name : {u"one/FILE11.txt"_s, u"one/file10.txt"_s, u"one/File2.TXT"_s, u"two/"_s})
        make(base, name);
    FilePane pane(m_noFolders, m_asker, nullptr);
    QSignalSpy spy(&pane, &FilePane::pathChanged);

    pane.setPath(path(base.filePath(u"one"_s)));
    QCOMPARE(listed(pane), QStringList({u"File2.TXT"_s, u"file10.txt"_s, u"FILE11.txt"_s}));
    QCOMPARE(spy.count(), 1);
    // The same folder again lists anew yet raises nothing.
    make(base, u"one/file1.txt"_s);
    pane.setPath(path(base.filePath(u"one"_s)));
    QCOMPARE(listed(pane).first(), u"file1.txt"_s);
    QCOMPARE(spy.count(), 1);
    pane.setPath(path(base.filePath(u"two"_s)));
    QCOMPARE(spy.count(), 2);
    pane.setPath(path(base.filePath(u"missing"_s)));
    QCOMPARE(spy.count(), 3);
    QCOMPARE(pane.fileCount(), 0);
}

void BrowserPanesTest::fileDoubleClick()
{
    const QTemporaryDir base;
    for (const QString& name : {u"a.txt"_s, u"b.txt"_s, u"c.txt"_s})
        make(base, name);
    FilePane pane(m_noFolders, m_asker, nullptr);
    pane.setPath(path(base.path()));
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    QSignalSpy spy(&pane, &FilePane::entryDoubleClicked);
    const auto centre = [&pane](int row) { return pane.visualItemRect(pane.item(row)).center(); };

    QTest::mouseClick(pane.viewport(), Qt::LeftButton, {}, centre(0));
    QTest::mouseClick(pane.viewport(), Qt::LeftButton, Qt::ShiftModifier, centre(2));
    QVERIFY(pane.isSelected(0) && pane.isSelected(1) && pane.isSelected(2));
    QCOMPARE(pane.currentRow(), 2);
    QCOMPARE(spy.count(), 0);
    QTest::mouseDClick(pane.viewport(), Qt::LeftButton, {}, centre(1));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(pane.currentRow(), 1);
}

void BrowserPanesTest::folderTree()
{
    const QTemporaryDir base;
    for (const QString& name :
         {u"shown/sub10/"_s, u"shown/Sub2/"_s, u"shown/sub1/deeper/"_s, u"shown/f.txt"_s})
        make(base, name);
#ifndef Q_OS_WIN
    make(base, u"shown/.hidden/"_s);
#endif
    TestDrives source;
    DriveFolders drives(source, path(base.path()));
    FolderPane pane(drives, m_asker, nullptr);

    pane.setPath(path(base.filePath(u"shown"_s)));
    QStringList expected = ancestorLines(base.filePath(u"shown"_s));
    const QString indent(expected.size() * 2, u' ');
    for (const QString& sub : {u"sub1"_s, u"Sub2"_s, u"sub10"_s})
        expected.append(indent + sub);
    QCOMPARE(treeLines(pane.topLevelItem(0)), expected);
    QCOMPARE(pane.currentItem()->text(0), u"shown"_s);

    pane.setPath(path(base.filePath(u"shown/missing"_s)));
    QCOMPARE(treeLines(pane.topLevelItem(0)), ancestorLines(base.filePath(u"shown/missing"_s)));
}

void BrowserPanesTest::folderOpening()
{
    const QTemporaryDir base;
    make(base, u"top/a/b/"_s);
    TestDrives source;
    DriveFolders drives(source, path(base.path()));
    FolderPane pane(drives, m_asker, nullptr);
    pane.setPath(path(base.filePath(u"top"_s)));
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    QSignalSpy spy(&pane, &FolderPane::changed);

    pane.setPath(path(base.filePath(u"top"_s)));
    QCOMPARE(spy.count(), 0);
    const QRect sub = pane.visualItemRect(pane.currentItem()->child(0));
    QTest::mouseDClick(pane.viewport(), Qt::LeftButton, {}, sub.center());
    QCOMPARE(pane.path(), path(base.filePath(u"top/a"_s)).absolute());
    QCOMPARE(spy.count(), 1);
    pane.setCurrentItem(pane.currentItem()->parent());
    QTest::keyClick(&pane, Qt::Key_Return);
    QCOMPARE(pane.path(), path(base.filePath(u"top"_s)).absolute());
    QCOMPARE(spy.count(), 2);
}

// Names in bytes that are not UTF-8, as archives from Chinese Windows bring them: each
// is listed, shown readably and keeps its bytes; a folder of such a name opens.
void BrowserPanesTest::namesInAnyEncoding()
{
#ifdef Q_OS_WIN
    QSKIP("File names are UTF-16 on Windows");
#else
    const QTemporaryDir base;
    // Qt cannot name these files to remove them; the standard library takes bytes.
    const auto removeAll =
        qScopeGuard([&base] { std::filesystem::remove_all(QFile::encodeName(base.path()).constData()); });
    const QByteArray root = QFile::encodeName(base.path()) + '/';
    const QByteArray gbkFolder = root + "\xba\xcf\xb2\xa2";
    QCOMPARE(::mkdir(gbkFolder.constData(), 0700), 0);
    // In the order the pane shows them: the GBK name, its look-alike made of
    // replacement characters, and one that is valid in neither encoding.
    const QList<QByteArray> names = {"a\xff.txt", "\xba\xcf\xb2\xa2.txt", "\xef\xbf\xbd\xef\xbf\xbd.txt"};
    for (const QByteArray& name : names + QList<QByteArray>{"\xba\xcf\xb2\xa2/x.txt"})
        QCOMPARE(::close(::creat((root + name).constData(), 0600)), 0);

    FilePane filePane(m_noFolders, m_asker, nullptr);
    filePane.setPath(NativePath::fromNative(root));
    QCOMPARE(listed(filePane), (QStringList{u"a\\xFF.txt"_s, u"合并.txt"_s, u"\uFFFD\uFFFD.txt"_s}));
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(filePane.fileName(i).native(), names.at(i));

    TestDrives source;
    DriveFolders drives(source, path(base.path()));
    FolderPane folderPane(drives, m_asker, nullptr);
    folderPane.setPath(NativePath::fromNative(root));
    folderPane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&folderPane));
    const QTreeWidgetItem* sub = folderPane.currentItem()->child(0);
    QCOMPARE(sub->text(0), u"合并"_s);
    QTest::mouseDClick(folderPane.viewport(), Qt::LeftButton, {}, folderPane.visualItemRect(sub).center());
    QCOMPARE(folderPane.path().native(), gbkFolder);
    filePane.setPath(folderPane.path());
    QCOMPARE(listed(filePane), QStringList{u"x.txt"_s});
#endif
}

// A folder whose volume is busy with a question it has not answered: both panes say
// they wait, offer nothing to pick, and fill when the answer comes; an answer for a
// folder the pane has left by then is dropped.
void BrowserPanesTest::lateAnswers()
{
    const QTemporaryDir base;
    for (const QString& name : {u"slow/a.txt"_s, u"slow/sub/"_s, u"fast/b.txt"_s})
        make(base, name);
    TestDrives source;
    source.add(base.filePath(u"slow"_s));
    source.add(base.filePath(u"fast"_s));
    DriveFolders drives(source, path(base.path()));
    FileSystemAsker asker(std::chrono::milliseconds(100));
    FolderPane folders(drives, asker, nullptr);
    FilePane files(drives, asker, nullptr);
    const NativePath slow = path(base.filePath(u"slow"_s)).absolute();
    const auto holdSlowVolume = [this, &asker, &slow] {
        auto answer = std::make_shared<std::promise<void>>();
        const auto waitForAnswer = [until = answer->get_future().share()] { until.wait(); };
        (void)asker.start(slow, waitForAnswer, this);
        return answer;
    };

    auto held = holdSlowVolume();
    folders.setPath(slow);
    files.setPath(slow);
    QCOMPARE(folders.currentItem()->child(0)->text(0), u"正在读取……"_s);
    QCOMPARE(folders.currentItem()->child(0)->flags(), Qt::NoItemFlags);
    QCOMPARE(files.count(), 1);
    QCOMPARE(files.item(0)->text(), u"正在读取……"_s);
    QCOMPARE(files.fileCount(), 0);
    held->set_value();
    QTRY_COMPARE(listed(files), QStringList{u"a.txt"_s});
    QTRY_COMPARE(folders.currentItem()->child(0)->text(0), u"sub"_s);
    QCOMPARE(folders.currentItem()->childCount(), 1);

    held = holdSlowVolume();
    files.setPath(slow);
    files.setPath(path(base.filePath(u"fast"_s)));
    QCOMPARE(listed(files), QStringList{u"b.txt"_s});
    held->set_value();
    // Asked after the pane, so answered after it.
    bool slowAnswered = false;
    const FileSystemAsker::Ticket marker = asker.start(
        slow, [] {}, this);
    asker.whenDone(marker, this, [&slowAnswered] { slowAnswered = true; });
    QTRY_VERIFY(slowAnswered);
    QCOMPARE(listed(files), QStringList{u"b.txt"_s});
}

void BrowserPanesTest::moveToDrive_data()
{
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("drive");
    QTest::addColumn<bool>("moved");
    QTest::addColumn<QString>("expected");

    const QStringList atWork{u"c/work"_s};
    QTest::newRow("working folder") << atWork << u"c"_s << true << u"c/work"_s;
    QTest::newRow("other drive's root") << atWork << u"d"_s << true << u"d"_s;
    QTest::newRow("last shown") << QStringList{u"d/z"_s, u"c/work"_s} << u"d"_s << true << u"d/z"_s;
    QTest::newRow("drive already shown") << atWork << u"c"_s << true << u"c/work"_s;
    QTest::newRow("no medium") << atWork << u"nomedium"_s << false << u"c/work"_s;
    QTest::newRow("removed folder") << QStringList{u"c/x/gone"_s, u"d"_s} << u"c"_s << true << u"c/x"_s;
    QTest::newRow("volume unmounted since listed") << atWork << u"gone"_s << false << u"c/work"_s;
}

void BrowserPanesTest::moveToDrive()
{
    QFETCH(QStringList, shown);
    QFETCH(QString, drive);
    QFETCH(bool, moved);
    QFETCH(QString, expected);

    const QTemporaryDir base;
    for (const QString& name : {u"c/work/"_s, u"c/x/gone/"_s, u"d/z/"_s, u"gone/"_s})
        make(base, name);
    TestDrives source;
    for (const QString& root : {u"c"_s, u"d"_s, u"nomedium"_s, u"gone"_s})
        source.add(base.filePath(root));
    DriveFolders drives(source, path(base.filePath(u"c/work"_s)));
    source.unmount(base.filePath(u"gone"_s));
    FolderPane pane(drives, m_asker, nullptr);
    for (const QString& folder : shown)
        pane.setPath(path(base.filePath(folder)));
    QVERIFY(QDir(base.filePath(u"c/x"_s)).rmdir(u"gone"_s));
    const NativePath before = pane.path();
    QSignalSpy spy(&pane, &FolderPane::changed);

    QCOMPARE(pane.moveToDrive(path(base.filePath(drive)).absolute()), moved);
    QCOMPARE(pane.path(), path(base.filePath(expected)).absolute());
    QCOMPARE(spy.count(), pane.path() == before ? 0 : 1);
}

void BrowserPanesTest::driveSelection()
{
    const QTemporaryDir base;
    TestDrives source;
    for (const QString& root : {u"c"_s, u"c/mnt"_s, u"d"_s})
        source.add(base.filePath(root));
    DriveFolders drives(source, path(base.path()));
    DrivePane pane(drives, nullptr);
    QSignalSpy spy(&pane, &DrivePane::changed);
    const auto at = [&base](const QString& relative) { return path(base.filePath(relative)).absolute(); };

    pane.setDrive(at(u"d/texts"_s));
    QCOMPARE(spy.count(), 1);
    pane.setDrive(at(u"d"_s));
    pane.setDrive(at(u"elsewhere"_s));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(pane.drive(), at(u"d"_s));
    pane.setDrive(at(u"c/mnt/x"_s));
    QCOMPARE(pane.drive(), at(u"c/mnt"_s));
    QCOMPARE(spy.count(), 2);
    QTest::keyClick(&pane, Qt::Key_Up); // the user picks the drive above
    QCOMPARE(pane.drive(), at(u"c"_s));
    QCOMPARE(spy.count(), 3);

    // Opening the list offers a volume mounted meanwhile, keeping the selection.
    pane.setDrive(at(u"d"_s));
    source.add(base.filePath(u"b"_s));
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    pane.showPopup();
    pane.hidePopup();
    QCOMPARE(pane.count(), 4);
    QCOMPARE(pane.drive(), at(u"d"_s));
    QCOMPARE(spy.count(), 4);
}

void BrowserPanesTest::driveReadWhileClosed_data()
{
    QTest::addColumn<DriveChange>("change");
    QTest::addColumn<QString>("label");

    QTest::newRow("set by the program") << DriveChange::SetByProgram << u"d"_s;
    QTest::newRow("picked with the keyboard") << DriveChange::PickedWithKeyboard << u"e"_s;
    QTest::newRow("list read again") << DriveChange::ListReadAgain << u"d"_s;
    QTest::newRow("list opened and closed") << DriveChange::ListOpenedAndClosed << u"d"_s;
}

// While the list is closed, assistive technology reads the selected drive both as the
// pane's value and as the selected entry of the list.
void BrowserPanesTest::driveReadWhileClosed()
{
    QFETCH(DriveChange, change);
    QFETCH(QString, label);

    const QTemporaryDir base;
    TestDrives source;
    for (const QString& root : {u"c"_s, u"d"_s, u"e"_s})
        source.add(base.filePath(root));
    DriveFolders drives(source, path(base.path()));
    DrivePane pane(drives, nullptr);
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    pane.setDrive(path(base.filePath(u"d/texts"_s)).absolute());
    if (change == DriveChange::PickedWithKeyboard)
        QTest::keyClick(&pane, Qt::Key_Down);
    if (change == DriveChange::ListReadAgain) {
        source.add(base.filePath(u"b"_s));
        pane.refresh();
    }
    if (change == DriveChange::ListOpenedAndClosed) {
        pane.showPopup();
        pane.hidePopup();
    }

    QAccessibleInterface* readable = QAccessible::queryAccessibleInterface(&pane);
    QVERIFY(readable);
    QCOMPARE(readable->text(QAccessible::Value), label);
    QAccessibleInterface* list = readable->child(0);
    QVERIFY(list && list->tableInterface());
    const QList<QAccessibleInterface*> selected = list->tableInterface()->selectedCells();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.first()->text(QAccessible::Name), label);
}

// A screen reader is told each time the list opens and closes, and reads the new state then.
void BrowserPanesTest::driveListOpenedAndClosed()
{
    const QTemporaryDir base;
    TestDrives source;
    for (const QString& root : {u"c"_s, u"d"_s})
        source.add(base.filePath(root));
    DriveFolders drives(source, path(base.path()));
    DrivePane pane(drives, nullptr);
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    const QAccessibleInterface* readable = QAccessible::queryAccessibleInterface(&pane);
    QVERIFY(readable);
    QList<AccessibleEventRecorder::ExpandedChange>& told = AccessibleEventRecorder::expandedChanges();
    told.clear();

    QVERIFY(readable->state().expandable);
    QVERIFY(readable->state().collapsed && !readable->state().expanded);
    pane.showPopup();
    QVERIFY(readable->state().expanded && !readable->state().collapsed);
    pane.hidePopup();
    QVERIFY(readable->state().collapsed && !readable->state().expanded);
    // The system closes the list by itself too, e.g. when the window loses activation.
    pane.showPopup();
    pane.view()->window()->close();
    QVERIFY(readable->state().collapsed);
    QCOMPARE(told.size(), 4);
    for (int i = 0; i < told.size(); ++i) {
        QCOMPARE(told.at(i).object, &pane);
        QCOMPARE(told.at(i).expanded, i % 2 == 0);
    }
}

QTEST_MAIN(BrowserPanesTest)
#include "tst_browserpanes.moc"
