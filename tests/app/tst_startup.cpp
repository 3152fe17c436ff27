#include "app/AppInfo.h"
#include "browser/DrivePane.h"
#include "browser/FilePane.h"
#include "browser/FolderPane.h"
#include "support/TestFiles.h"
#include "support/WindowFixture.h"

#include <QDir>
#include <QLineEdit>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

QString join(const QString& folder, const QString& name)
{
    return folder + sep() + name;
}

} // namespace

// Start-up and the chain from the drive pane through the folder and file panes to the output name.
class StartupTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void applicationDescribed();
    void startFolders_data();
    void startFolders();
    void openingAFolderMovesFilePaneAndOutputName();
    void rootFolderGivesOneSeparator();
    void filePaneListing();
    void unreadableDriveReturnsWithoutMessage_data();
    void unreadableDriveReturnsWithoutMessage();
    void pickingAnotherDriveGoesToItsCurrentFolder();

private:
    [[nodiscard]] DrivePane* drivePane() const
    {
        return m_fixture->control<DrivePane>(QStringLiteral("driOperate"));
    }
    [[nodiscard]] FolderPane* folderPane() const
    {
        return m_fixture->control<FolderPane>(QStringLiteral("dirOperate"));
    }
    [[nodiscard]] FilePane* filePane() const
    {
        return m_fixture->control<FilePane>(QStringLiteral("filOperate"));
    }
    [[nodiscard]] QString outputName() const
    {
        return m_fixture->control<QLineEdit>(QStringLiteral("txtUnite"))->text();
    }
    void selectDrive(const QString& root);

    std::unique_ptr<WindowFixture> m_fixture;
};

void StartupTest::init()
{
    m_fixture = std::make_unique<WindowFixture>();
}

void StartupTest::selectDrive(const QString& root)
{
    // As the user picks it from the drop-down list.
    const int index = drivePane()->findData(NativePath::fromText(root).native());
    QVERIFY2(index >= 0, qPrintable(root));
    drivePane()->setCurrentIndex(index);
}

// Wayland matches the window to its menu entry by the desktop file name; X11 by the
// class, which stays the program's name.
void StartupTest::applicationDescribed()
{
    describeApplication();
    QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("org.tamborel.Tamborel"));
    QCOMPARE(QGuiApplication::applicationName(), QStringLiteral("Tamborel"));
}

void StartupTest::startFolders_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("working");
    QTest::addColumn<QString>("drive");
    QTest::addColumn<QString>("shown");

    QTest::newRow("same drive") << QStringLiteral("D/Tools") << QStringLiteral("D/Work")
                                << QStringLiteral("D") << QStringLiteral("D/Work");
    QTest::newRow("other drive") << QStringLiteral("D/Tools") << QStringLiteral("C/Work")
                                 << QStringLiteral("D") << QStringLiteral("D");
    QTest::newRow("program at a drive's root")
        << QStringLiteral("D") << QStringLiteral("C/Work") << QStringLiteral("D") << QStringLiteral("D");
    QTest::newRow("working folder is a root")
        << QStringLiteral("C/Tools") << QStringLiteral("C") << QStringLiteral("C") << QStringLiteral("C");
}

void StartupTest::startFolders()
{
    QFETCH(QString, program);
    QFETCH(QString, working);
    QFETCH(QString, drive);
    QFETCH(QString, shown);

    MainWindow& window = m_fixture->start(m_fixture->folder(program), m_fixture->folder(working));
    QCOMPARE(window.windowTitle(), QStringLiteral("Tamborel"));
    QCOMPARE(drivePane()->drive().display(), m_fixture->driveRoot(drive));
    QCOMPARE(folderPane()->path().display(), m_fixture->folder(shown));
    QCOMPARE(filePane()->path().display(), m_fixture->folder(shown));
    QCOMPARE(outputName(), join(m_fixture->folder(shown), QStringLiteral("Corvalent.txt")));
    QVERIFY(m_fixture->prompter.prompts.isEmpty());
}

void StartupTest::openingAFolderMovesFilePaneAndOutputName()
{
    m_fixture->touch(QStringLiteral("C/Work/Texts/a.txt"));
    m_fixture->start(m_fixture->folder(QStringLiteral("C/Tools")),
                     m_fixture->folder(QStringLiteral("C/Work")));
    auto* output = m_fixture->control<QLineEdit>(QStringLiteral("txtUnite"));
    output->setText(QStringLiteral("my own name"));

    const QString texts = m_fixture->folder(QStringLiteral("C/Work/Texts"));
    folderPane()->setPath(NativePath::fromText(texts));
    QCOMPARE(filePane()->path().display(), texts);
    QCOMPARE(filePane()->fileCount(), 1);
    QCOMPARE(outputName(), join(texts, QStringLiteral("Corvalent.txt")));
    QCOMPARE(drivePane()->drive().display(), m_fixture->driveRoot(QStringLiteral("C")));
}

void StartupTest::rootFolderGivesOneSeparator()
{
    const QString root = QDir::toNativeSeparators(QDir::rootPath());
    m_fixture->drives.add(root);
    m_fixture->start(m_fixture->folder(QStringLiteral("C")), m_fixture->folder(QStringLiteral("C")));
    folderPane()->setPath(NativePath::fromText(root));
    QCOMPARE(filePane()->path().display(), root);
    QCOMPARE(outputName(), root + QStringLiteral("Corvalent.txt"));
}

void StartupTest::filePaneListing()
{
    for (const char* name : {"file10.txt", "File2.TXT", "file1.txt", "notes.text", "b.txt.bak"})
        m_fixture->touch(QStringLiteral("C/Mixed/") + QString::fromLatin1(name));
    m_fixture->folder(QStringLiteral("C/Mixed/folder.txt"));
#ifdef Q_OS_UNIX
    const QString fifo = m_fixture->folder(QStringLiteral("C/Mixed")) + QStringLiteral("/x.txt");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
#endif
    m_fixture->start(m_fixture->folder(QStringLiteral("C")), m_fixture->folder(QStringLiteral("C/Mixed")));

    QStringList listed;
    for (int i = 0; i < filePane()->fileCount(); ++i)
        listed << filePane()->fileName(i).display();
    QCOMPARE(listed, (QStringList{QStringLiteral("file1.txt"), QStringLiteral("File2.TXT"),
                                  QStringLiteral("file10.txt")}));
}

void StartupTest::unreadableDriveReturnsWithoutMessage_data()
{
    QTest::addColumn<bool>("unmounted");
    QTest::newRow("no medium") << false;
    // Its empty mount point is a readable folder, yet not the drive the user picked.
    QTest::newRow("volume unmounted since listed") << true;
}

void StartupTest::unreadableDriveReturnsWithoutMessage()
{
    QFETCH(bool, unmounted);
    const QString work = m_fixture->folder(QStringLiteral("C/Work"));
    const QString gone = m_fixture->folder(QStringLiteral("U"));
    if (unmounted)
        m_fixture->drives.add(gone);
    m_fixture->start(m_fixture->folder(QStringLiteral("C/Tools")), work);
    if (unmounted)
        m_fixture->drives.unmount(gone);
    selectDrive(unmounted ? gone : m_fixture->driveRoot(QStringLiteral("X")));

    QCOMPARE(drivePane()->drive().display(), m_fixture->driveRoot(QStringLiteral("C")));
    QCOMPARE(folderPane()->path().display(), work);
    QCOMPARE(filePane()->path().display(), work);
    QCOMPARE(outputName(), join(work, QStringLiteral("Corvalent.txt")));
    QVERIFY(m_fixture->prompter.prompts.isEmpty());
    // The list is read anew: the volume that went away no longer stands in it.
    QVERIFY(drivePane()->findData(NativePath::fromText(gone).native()) < 0);
}

void StartupTest::pickingAnotherDriveGoesToItsCurrentFolder()
{
    const QString work = m_fixture->folder(QStringLiteral("C/Work"));
    const QString deep = m_fixture->folder(QStringLiteral("D/Deep/Er"));
    m_fixture->start(m_fixture->folder(QStringLiteral("C/Tools")), work);

    // Before any folder was shown on it, a drive opens at its root...
    selectDrive(m_fixture->driveRoot(QStringLiteral("D")));
    QCOMPARE(folderPane()->path().display(), m_fixture->driveRoot(QStringLiteral("D")));
    folderPane()->setPath(NativePath::fromText(deep));
    // ...afterwards at the folder last shown on it, and each drive keeps its own.
    selectDrive(m_fixture->driveRoot(QStringLiteral("C")));
    QCOMPARE(folderPane()->path().display(), work);
    QCOMPARE(outputName(), join(work, QStringLiteral("Corvalent.txt")));
    selectDrive(m_fixture->driveRoot(QStringLiteral("D")));
    QCOMPARE(folderPane()->path().display(), deep);
    QCOMPARE(filePane()->path().display(), deep);
    QCOMPARE(outputName(), join(deep, QStringLiteral("Corvalent.txt")));
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
