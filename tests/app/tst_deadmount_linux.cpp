#include "app/MainWindow.h"
#include "base/FileSystemAsker.h"
#include "browser/DrivePane.h"
#include "browser/FolderPane.h"
#include "browser/SystemDriveSource.h"
#include "support/FakePrompter.h"

#include <QTest>

// The window on the system's own drives while a volume under a folder does not
// answer: its file system's daemon is stopped, as a dead network server looks to its
// clients. Run by dead_mount.sh, which mounts that volume and a live one, stops the
// daemon, and resumes it whatever happens; without it the test is skipped.
class DeadMountTest final : public QObject
{
    Q_OBJECT

private slots:
    void windowShowsAndOtherDrivesWork();
};

void DeadMountTest::windowShowsAndOtherDrivesWork()
{
    const QByteArray dead = qgetenv("TAMBOREL_DEAD_MOUNT");
    const QByteArray live = qgetenv("TAMBOREL_LIVE_MOUNT");
    if (dead.isEmpty() || live.isEmpty())
        QSKIP("Run by dead_mount.sh, which mounts the volumes");
    const NativePath start = NativePath::fromNative(qgetenv("TAMBOREL_START_FOLDER"));

    // Built and shown at all: asked on the window's thread, the stopped volume would
    // hold it up until the daemon ran again, which only the script's end does.
    FileSystemAsker asker;
    SystemDriveSource drives(asker);
    FakePrompter prompter;
    MainWindow window(StartContext{start, start, drives, prompter, asker, [] {}, {}});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* drivePane = window.findChild<DrivePane*>(QStringLiteral("driOperate"));
    auto* folderPane = window.findChild<FolderPane*>(QStringLiteral("dirOperate"));
    QVERIFY(drivePane != nullptr && folderPane != nullptr);

    // Listed, and picked as a drive that cannot be read: the panes stay where they were.
    const NativePath shownDrive = drivePane->drive();
    const int deadIndex = drivePane->findData(dead);
    QVERIFY(deadIndex >= 0);
    drivePane->setCurrentIndex(deadIndex);
    QCOMPARE(folderPane->path(), start);
    QCOMPARE(drivePane->drive(), shownDrive);

    // Another drive still works.
    const int liveIndex = drivePane->findData(live);
    QVERIFY(liveIndex >= 0);
    drivePane->setCurrentIndex(liveIndex);
    QCOMPARE(folderPane->path(), NativePath::fromNative(live));
    QVERIFY(prompter.prompts.isEmpty());
}

QTEST_MAIN(DeadMountTest)
#include "tst_deadmount_linux.moc"
