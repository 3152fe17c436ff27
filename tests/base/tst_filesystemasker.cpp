#include "base/FileSystemAsker.h"
#include "base/SystemThread.h"

#include <QElapsedTimer>
#include <QTest>

#include <atomic>
#include <condition_variable>
#include <mutex>

using namespace std::chrono_literals;

namespace {

// A volume that answers when the test lets it.
class Gate
{
public:
    void open()
    {
        const std::lock_guard lock(m_mutex);
        m_open = true;
        m_opened.notify_all();
    }
    void pass()
    {
        std::unique_lock lock(m_mutex);
        m_opened.wait(lock, [this] { return m_open; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_opened;
    bool m_open = false;
};

enum class Volume
{
    InTime,
    Late,
    Never,
};

NativePath volume(const char* name)
{
    return NativePath::fromText(QString::fromLatin1(name));
}

} // namespace

Q_DECLARE_METATYPE(Volume)

// Questions to file systems that answer at once, late, or not at all.
class FileSystemAskerTest final : public QObject
{
    Q_OBJECT

private slots:
    void answer_data();
    void answer();
    void silentVolume();
    void threadsComingAndGoing();
};

void FileSystemAskerTest::answer_data()
{
    QTest::addColumn<Volume>("kind");
    QTest::addColumn<int>("inTime");     // -1: none
    QTest::addColumn<int>("lateAnswer"); // -1: none
    QTest::newRow("answers in time") << Volume::InTime << 7 << -1;
    QTest::newRow("answers late") << Volume::Late << -1 << 7;
    QTest::newRow("never answers") << Volume::Never << -1 << -1;
}

void FileSystemAskerTest::answer()
{
    QFETCH(Volume, kind);
    QFETCH(int, inTime);
    QFETCH(int, lateAnswer);

    FileSystemAsker asker(100ms);
    auto gate = std::make_shared<Gate>();
    if (kind == Volume::InTime)
        gate->open();
    QObject context;
    int late = -1;
    QElapsedTimer held;
    held.start();
    const std::optional<int> answer = asker.ask<int>(
        volume("v"),
        [gate] {
            gate->pass();
            return 7;
        },
        &context, [&late](int value) { late = value; });
    // The window's thread is held for the asker's time at most.
    QVERIFY(held.elapsed() < 2000);
    QCOMPARE(answer.value_or(-1), inTime);
    if (kind == Volume::Late)
        gate->open();
    QTRY_COMPARE_WITH_TIMEOUT(late, lateAnswer, 2000);
    if (lateAnswer < 0) {
        QTest::qWait(200);
        QCOMPARE(late, -1);
    }
    gate->open();
}

// A volume that stays silent holds one thread and keeps the other volumes answering;
// what waits behind it runs once it answers.
void FileSystemAskerTest::silentVolume()
{
    FileSystemAsker asker(100ms);
    auto gate = std::make_shared<Gate>();
    auto runs = std::make_shared<std::atomic<int>>(0);
    const auto question = [gate, runs](int value) {
        return std::function<int()>([gate, runs, value] {
            ++*runs;
            gate->pass();
            return value;
        });
    };
    QObject pane;
    QObject other;
    QList<int> lateFromPane;
    QList<int> lateFromOther;
    const auto record = [](QList<int>& into) { return [&into](int value) { into << value; }; };

    const FileSystemAsker::Ticket first = asker.start(
        volume("dead"), [q = question(1)] { (void)q(); }, &pane);
    asker.whenDone(first, &pane, [&lateFromPane] { lateFromPane << 1; });
    QVERIFY(!asker.ask<int>(volume("dead"), question(2), &pane, record(lateFromPane)));
    QVERIFY(!asker.ask<int>(volume("dead"), question(3), &pane, record(lateFromPane)));
    {
        QObject gone;
        QVERIFY(!asker.ask<int>(volume("dead"), question(4), &gone, record(lateFromOther)));
    }
    QVERIFY(!asker.ask<int>(volume("dead"), question(5), &other, record(lateFromOther)));
    // No second thread is asked.
    QCOMPARE(runs->load(), 1);
    QCOMPARE(asker.ask<int>(
                 volume("live"), [] { return 9; }, &pane, record(lateFromPane)),
             std::optional<int>(9));

    gate->open();
    // The first answer, then the newest question of each asker; the one replaced (2)
    // never runs, and nobody hears for a context that is gone (4).
    QTRY_COMPARE(lateFromPane, QList<int>({1, 3}));
    QTRY_COMPARE(lateFromOther, QList<int>({5}));
    QCOMPARE(runs->load(), 4);
}

// Many short questions, half of them starting and waiting for a thread of their own
// as a merge does, all end: the runtime's records of threads must not get mixed up
// as threads come and go.
void FileSystemAskerTest::threadsComingAndGoing()
{
    constexpr int questions = 20000;
    FileSystemAsker asker;
    auto ended = std::make_shared<std::atomic<int>>(0);
    QList<FileSystemAsker::Ticket> tickets;
    for (int i = 0; i < questions; ++i)
        tickets << asker.start(
            NativePath::fromText(QString::number(i)),
            [ended, i] {
                if (i % 2 == 0) {
                    const SystemThread inner([ended] { ++*ended; });
                } else {
                    ++*ended;
                }
            },
            this);
    for (const FileSystemAsker::Ticket& ticket : tickets)
        QVERIFY(asker.waitUntil(ticket, std::chrono::steady_clock::now() + 60s));
    QCOMPARE(ended->load(), questions);
}

QTEST_GUILESS_MAIN(FileSystemAskerTest)
#include "tst_filesystemasker.moc"
