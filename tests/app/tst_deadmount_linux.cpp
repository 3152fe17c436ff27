#include "app/MainWindow.h"
#include "base/FileSystemAsker.h"
#include "browser/DrivePane.h"
#include "browser/FilePane.h"
#include "browser/FolderPane.h"
#include "browser/SystemDriveSource.h"
#include "mergelist/MergeListModel.h"
#include "support/FakePrompter.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidgetItem>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

using Clock = std::chrono::steady_clock;

// Ends the test, failing, when the window's thread takes no event for two seconds:
// held by a file system, it would take none until the file system answered.
class ThreadWatch final
{
public:
    ThreadWatch()
    {
        m_beat.setInterval(50);
        QObject::connect(&m_beat, &QTimer::timeout,
                         [this] { m_lastBeat = Clock::now().time_since_epoch().count(); });
        m_beat.start();
        m_watcher = std::thread([this] { watch(); });
    }
    ~ThreadWatch()
    {
        m_done = true;
        m_watcher.join();
    }
    Q_DISABLE_COPY_MOVE(ThreadWatch)

    // What the window is doing, for the failure's message.
    std::atomic<const char*> step{"starting"};

private:
    void watch()
    {
        while (!m_done) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (Clock::now() - Clock::time_point(Clock::duration(m_lastBeat.load())) >
                std::chrono::seconds(2)) {
                std::fprintf(stderr, "FAIL: the window's thread was held while %s\n", step.load());
                std::_Exit(1);
            }
        }
    }

    QTimer m_beat;
    std::atomic<Clock::rep> m_lastBeat{Clock::now().time_since_epoch().count()};
    std::atomic<bool> m_done{false};
    std::thread m_watcher;
};

QString texts(const FilePane& pane)
{
    QStringList shown;
    for (int i = 0; i < pane.count(); ++i)
        shown << pane.item(i)->text();
    return shown.join(u'|');
}

} // namespace

// The window on the system's own drives while a volume under a folder does not
// answer: its file system's daemon is stopped, as a dead network server looks to its
// clients. Run by dead_mount.sh, which mounts that volume and a live one, stops the
// daemon, and resumes it whatever happens; without it the test is skipped.
class DeadMountTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void windowNeverWaits();

private:
    // Presses 合并 and, once the progress window shows, its 取消.
    void mergeAndCancel(const QString& input, const QString& output);

    NativePath m_dead;
    NativePath m_live;
    NativePath m_start;
    FileSystemAsker m_asker;
    std::unique_ptr<SystemDriveSource> m_drives;
    FakePrompter m_prompter;
    std::unique_ptr<MainWindow> m_window;
};

void DeadMountTest::init()
{
    m_dead = NativePath::fromNative(qgetenv("TAMBOREL_DEAD_MOUNT"));
    m_live = NativePath::fromNative(qgetenv("TAMBOREL_LIVE_MOUNT"));
    m_start = NativePath::fromNative(qgetenv("TAMBOREL_START_FOLDER"));
    if (m_dead.isEmpty() || m_live.isEmpty())
        QSKIP("Run by dead_mount.sh, which mounts the volumes");
    m_drives = std::make_unique<SystemDriveSource>(m_asker);
}

void DeadMountTest::mergeAndCancel(const QString& input, const QString& output)
{
    auto* model = m_window->findChild<MergeListModel*>();
    model->clear();
    model->insert(0, NativePath::fromText(input));
    m_window->findChild<QLineEdit*>(u"txtUnite"_s)->setText(output);
    m_prompter.prompts.clear();
    QTimer canceller;
    canceller.setInterval(50);
    QObject::connect(&canceller, &QTimer::timeout, [&] {
        auto* cancel = m_window->findChild<QPushButton*>(u"cmdCancel"_s);
        if (cancel != nullptr && cancel->isVisible() && cancel->isEnabled()) {
            canceller.stop();
            QTest::mouseClick(cancel, Qt::LeftButton);
        }
    });
    canceller.start();
    QTest::mouseClick(m_window->findChild<QPushButton*>(u"cmdUnite"_s), Qt::LeftButton);
}

void DeadMountTest::windowNeverWaits()
{
    const QString dead = m_dead.display();
    const QString live = m_live.display();
    ThreadWatch watch;

    // Started in a folder of the silent volume, kept there too: the window shows, its
    // panes waiting.
    watch.step = "starting in a folder of the silent volume";
    m_window =
        std::make_unique<MainWindow>(StartContext{m_dead, m_dead, *m_drives, m_prompter, m_asker, [] {}, {}});
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    auto* folderPane = m_window->findChild<FolderPane*>(u"dirOperate"_s);
    auto* filePane = m_window->findChild<FilePane*>(u"filOperate"_s);
    auto* drivePane = m_window->findChild<DrivePane*>(u"driOperate"_s);
    QCOMPARE(folderPane->path(), m_dead);
    QCOMPARE(texts(*filePane), u"正在读取……"_s);

    // Picked as a drive that cannot be read: the panes stay where they were.
    watch.step = "picking the silent drive";
    m_window->findChild<FolderPane*>(u"dirOperate"_s)->setPath(m_start);
    const NativePath shownDrive = drivePane->drive();
    drivePane->setCurrentIndex(drivePane->findData(m_dead.native()));
    QCOMPARE(folderPane->path(), m_start);
    QCOMPARE(drivePane->drive(), shownDrive);
    // Another drive still works.
    drivePane->setCurrentIndex(drivePane->findData(m_live.native()));
    QCOMPARE(folderPane->path(), m_live);

    // Entered from its parent in the folder pane: selected, then Enter.
    watch.step = "entering the silent folder";
    folderPane->setPath(m_dead.parent());
    QTreeWidgetItem* entry =
        folderPane->findItems(m_dead.fileName().display(), Qt::MatchExactly | Qt::MatchRecursive).value(0);
    QVERIFY(entry != nullptr);
    folderPane->setCurrentItem(entry);
    QTest::keyClick(folderPane, Qt::Key_Return);
    QCOMPARE(folderPane->path(), m_dead);
    QCOMPARE(folderPane->currentItem()->child(0)->text(0), u"正在读取……"_s);
    QCOMPARE(texts(*filePane), u"正在读取……"_s);

    // A merge into it waits for its checks with the window answering, and is cancelled.
    watch.step = "merging into the silent folder";
    mergeAndCancel(live + u"/in.txt"_s, dead + u"/out.txt"_s);
    QCOMPARE(m_prompter.prompts.size(), 1);
    QCOMPARE(m_prompter.prompts.first().text, u"已取消合并，未生成合并文件！"_s);

    // A copy held reading an input of it gives the window back when cancelled.
    watch.step = "cancelling a copy held by the silent volume";
    mergeAndCancel(dead + u"/in.txt"_s, live + u"/out.txt"_s);
    QCOMPARE(m_prompter.prompts.size(), 1);
    QCOMPARE(m_prompter.prompts.first().text, u"已取消合并，未生成合并文件！"_s);

    // Answering again, the volume goes on as if nothing had happened.
    watch.step = "after the volume answers again";
    QCOMPARE(::kill(qEnvironmentVariableIntValue("TAMBOREL_DEAD_DAEMON"), SIGCONT), 0);
    QTRY_COMPARE_WITH_TIMEOUT(folderPane->currentItem()->child(0)->text(0), u"book"_s, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(texts(*filePane), u"in.txt"_s, 10000);
    // The held copy ends, and leaves nothing: the cancelled merges wrote nothing.
    QTRY_COMPARE_WITH_TIMEOUT(allEntries(live), QStringList{u"in.txt"_s}, 10000);
    QCOMPARE(allEntries(dead), (QStringList{u"book"_s, u"in.txt"_s}));
    m_prompter.prompts.clear();
    auto* model = m_window->findChild<MergeListModel*>();
    model->clear();
    model->insert(0, NativePath::fromText(live + u"/in.txt"_s));
    m_window->findChild<QLineEdit*>(u"txtUnite"_s)->setText(dead + u"/out.txt"_s);
    QTest::mouseClick(m_window->findChild<QPushButton*>(u"cmdUnite"_s), Qt::LeftButton);
    QCOMPARE(m_prompter.prompts.size(), 1);
    QCOMPARE(m_prompter.prompts.first().text, u"所选文件已成功合并，并保存为 "_s + dead + u"/out.txt！"_s);
    QCOMPARE(readBytes(dead + u"/out.txt"_s), QByteArray("live\r\n"));
    QCOMPARE(allEntries(dead), (QStringList{u"book"_s, u"in.txt"_s, u"out.txt"_s}));
}

QTEST_MAIN(DeadMountTest)
#include "tst_deadmount_linux.moc"
