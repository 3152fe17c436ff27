#include "merge/ProgressWindow.h"
#include "merge/copy/CopyProgress.h"
#include "mergelist/MergeListModel.h"
#include "support/TestFiles.h"
#include "support/TestPaths.h"
#include "support/WindowFixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

// The pace of a copy the test controls: every block waits a moment, and the copy
// can be held at its first block of an input, or at publishing, until let go.
struct Pace
{
    std::chrono::milliseconds perBlock{0};
    qsizetype holdAtInput = -1;
    bool holdAtPublishing = false;

    std::mutex mutex;
    std::condition_variable changed;
    bool held = false;
    bool letGo = false;
    // Blocks copied once let go.
    int blocksAfter = 0;

    void step(qsizetype input, bool publishing)
    {
        std::this_thread::sleep_for(perBlock);
        std::unique_lock lock(mutex);
        if (letGo && !publishing)
            ++blocksAfter;
        if (letGo || (publishing ? !holdAtPublishing : input != holdAtInput))
            return;
        held = true;
        changed.wait(lock, [this] { return letGo; });
    }
    bool isHeld()
    {
        const std::lock_guard lock(mutex);
        return held;
    }
    void release()
    {
        const std::lock_guard lock(mutex);
        letGo = true;
        changed.notify_all();
    }
};

// The copy's own progress, at the test's pace.
class PacedProgress final : public CopyProgress
{
public:
    explicit PacedProgress(Pace& pace) : m_pace(pace) {}
    void advance(qint64 bytes) override
    {
        CopyProgress::advance(bytes);
        m_pace.step(input(), false);
    }
    void publishing() override
    {
        CopyProgress::publishing();
        m_pace.step(input(), true);
    }

private:
    Pace& m_pace;
};

} // namespace

// A merge that runs for long shows its progress in a window of its own, which can
// cancel it; one that ends at once shows nothing more than before.
class MergeProgressTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void longMergeShowsProgress();
    void shortMergeShowsNone();
    void cancel_data();
    void cancel();

private:
    void addInputs(const QList<QByteArray>& contents);
    void merge();
    [[nodiscard]] ProgressWindow* progressWindow() const;
    [[nodiscard]] QStringList prompts() const;
    [[nodiscard]] QStringList outFolderEntries() const;

    std::unique_ptr<WindowFixture> m_fixture;
    std::unique_ptr<Pace> m_pace;
    MainWindow* m_window = nullptr;
    QString m_out;
    int m_inputs = 0;
};

void MergeProgressTest::init()
{
    m_fixture = std::make_unique<WindowFixture>();
    m_pace = std::make_unique<Pace>();
    m_fixture->makeProgress = [this] { return std::make_unique<PacedProgress>(*m_pace); };
    m_out = m_fixture->folder(u"C/out"_s);
    m_window = &m_fixture->start(m_fixture->folder(u"C"_s), m_fixture->folder(u"C/in"_s));
    m_window->show();
    m_inputs = 0;
}

void MergeProgressTest::cleanup()
{
    m_fixture.reset();
}

void MergeProgressTest::addInputs(const QList<QByteArray>& contents)
{
    auto* model = m_window->findChild<MergeListModel*>();
    for (const QByteArray& content : contents) {
        const QString path = m_fixture->touch(u"C/in/f%1.txt"_s.arg(m_inputs++));
        QVERIFY(writeBytes(path, content));
        model->insert(model->count(), NativePath::fromText(path));
    }
}

void MergeProgressTest::merge()
{
    m_fixture->control<QLineEdit>(u"txtUnite"_s)->setText(m_out + QDir::separator() + u"merged.txt"_s);
    QTest::mouseClick(m_fixture->control<QPushButton>(u"cmdUnite"_s), Qt::LeftButton);
}

ProgressWindow* MergeProgressTest::progressWindow() const
{
    return m_window->findChild<ProgressWindow*>();
}

QStringList MergeProgressTest::prompts() const
{
    QStringList texts;
    for (const auto& prompt : m_fixture->prompter.prompts)
        texts << prompt.text;
    return texts;
}

QStringList MergeProgressTest::outFolderEntries() const
{
    return QDir(m_out).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// Shown after a moment, its bar only rises, to its end, and it is gone before the
// closing box.
void MergeProgressTest::longMergeShowsProgress()
{
    m_pace->perBlock = std::chrono::milliseconds(120);
    // Held at publishing until the bar has shown its end, or long after it should have.
    m_pace->holdAtPublishing = true;
    addInputs(QList<QByteArray>(16, "line\r\n"));
    QList<int> values;
    QElapsedTimer sinceStart;
    qint64 shownAfter = -1;
    QTimer sampler;
    sampler.setInterval(10);
    connect(&sampler, &QTimer::timeout, m_window, [&] {
        if (ProgressWindow* window = progressWindow(); window != nullptr && window->isVisible()) {
            values << window->findChild<QProgressBar*>()->value();
            if (shownAfter < 0)
                shownAfter = sinceStart.elapsed();
        }
        if ((!values.isEmpty() && values.last() == 1000) || values.size() > 2000)
            m_pace->release();
    });
    bool goneAtBox = false;
    m_fixture->prompter.onShow = [&](const FakePrompter::Prompt&) {
        goneAtBox = progressWindow() == nullptr || !progressWindow()->isVisible();
    };
    sampler.start();
    sinceStart.start();
    merge();
    sampler.stop();

    // A second into the merge; the upper bound leaves room for a slow machine.
    QVERIFY2(shownAfter >= 950 && shownAfter < 2500, qPrintable(QString::number(shownAfter)));
    QVERIFY(!values.isEmpty());
    QVERIFY(std::is_sorted(values.cbegin(), values.cend()));
    QVERIFY(std::any_of(values.cbegin(), values.cend(), [](int value) { return value > 0 && value < 1000; }));
    QCOMPARE(values.last(), 1000);
    QVERIFY(goneAtBox);
    QCOMPARE(prompts().size(), 1);
    QVERIFY(prompts().first().startsWith(u"所选文件已成功合并"_s));
}

void MergeProgressTest::shortMergeShowsNone()
{
    addInputs({"a\r\n", "b\r\n"});
    bool shown = false;
    QTimer sampler;
    sampler.setInterval(0);
    connect(&sampler, &QTimer::timeout, m_window, [&] { shown = shown || progressWindow() != nullptr; });
    sampler.start();
    merge();
    sampler.stop();
    QVERIFY(!shown);
    QCOMPARE(prompts(),
             QStringList{u"所选文件已成功合并，并保存为 "_s + m_out + QDir::separator() + u"merged.txt！"_s});
}

void MergeProgressTest::cancel_data()
{
    QTest::addColumn<QList<QByteArray>>("contents");
    QTest::addColumn<int>("holdAtInput");
    QTest::addColumn<bool>("byEscape");
    const QList<QByteArray> four(4, "line\r\n");
    // GBK after UTF-8: converted, a block at a time, while the copy is held.
    const QList<QByteArray> converted{"\xE4\xB8\xAD\r\n", QByteArray("\xD6\xD0\r\n").repeated(1000000)};
    QTest::newRow("at the start") << four << 0 << false;
    QTest::newRow("in the middle") << four << 2 << false;
    QTest::newRow("in the middle, by Esc") << four << 2 << true;
    QTest::newRow("during a conversion") << converted << 1 << false;
    // Into UTF-16 every input after the first is converted once the others are read.
    const QList<QByteArray> intoUtf16{QByteArray("\xFF\xFE"
                                                 "a\0\r\0\n\0",
                                                 8),
                                      "\xD6\xD0\r\n"};
    QTest::newRow("during a conversion into UTF-16") << intoUtf16 << 1 << false;
    QTest::newRow("during publishing: runs to its end") << four << -1 << false;
}

// Cancelled, the merge leaves nothing but one box saying so; once publishing has
// begun, it runs to its end.
void MergeProgressTest::cancel()
{
    QFETCH(QList<QByteArray>, contents);
    QFETCH(int, holdAtInput);
    QFETCH(bool, byEscape);
    m_pace->holdAtInput = holdAtInput;
    m_pace->holdAtPublishing = holdAtInput < 0;
    addInputs(contents);
    const QString outputName = m_out + QDir::separator() + u"merged.txt"_s;
    QTimer canceller;
    canceller.setInterval(10);
    QString shownFile;
    bool cancelEnabled = false;
    connect(&canceller, &QTimer::timeout, m_window, [&] {
        ProgressWindow* window = progressWindow();
        if (window == nullptr || !window->isVisible() || !m_pace->isHeld())
            return;
        canceller.stop();
        shownFile = window->findChild<QLabel*>(u"labProgressFile"_s)->accessibleName();
        cancelEnabled = window->findChild<QPushButton*>(u"cmdCancel"_s)->isEnabled();
        if (byEscape)
            QTest::keyClick(window, Qt::Key_Escape);
        else
            QTest::mouseClick(window->findChild<QPushButton*>(u"cmdCancel"_s), Qt::LeftButton);
        m_pace->release();
    });
    canceller.start();
    merge();

    QVERIFY(m_pace->isHeld());
    QCOMPARE(m_window->findChild<MergeListModel*>()->count(), contents.size());
    QCOMPARE(m_fixture->control<QLineEdit>(u"txtUnite"_s)->text(), outputName);
    // The file being copied is named, and once publishing has begun, nothing cancels.
    QCOMPARE(shownFile, holdAtInput < 0 ? u"正在写入磁盘……"_s
                                        : m_fixture->folder(u"C/in"_s) + QDir::separator() +
                                              u"f%1.txt"_s.arg(holdAtInput));
    QCOMPARE(cancelEnabled, holdAtInput >= 0);
    if (holdAtInput < 0) {
        QCOMPARE(prompts(), QStringList{u"所选文件已成功合并，并保存为 "_s + outputName + u"！"_s});
        QCOMPARE(outFolderEntries(), QStringList{u"merged.txt"_s});
        QCOMPARE(readBytes(outputName), QByteArray("line\r\n\r\n").repeated(4).chopped(2));
        return;
    }
    QCOMPARE(prompts(), QStringList{u"已取消合并，未生成合并文件！"_s});
    QCOMPARE(outFolderEntries(), QStringList());
    // Stopped within a block of being told.
    QVERIFY2(m_pace->blocksAfter <= 1, qPrintable(QString::number(m_pace->blocksAfter)));
}

QTEST_MAIN(MergeProgressTest)
#include "tst_mergeprogress.moc"
