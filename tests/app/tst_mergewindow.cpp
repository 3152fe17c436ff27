#include "browser/FolderPane.h"
#include "merge/copy/CopyProgress.h"
#include "mergelist/MergeListModel.h"
#include "support/TestFiles.h"
#include "support/TestPaths.h"
#include "support/WindowFixture.h"
#include "support/Wine.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

#include <filesystem>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

// The merge button in the real window: the checks and their boxes, the missing-folder
// question, the busy window, and failures that must leave no file behind.
class MergeWindowTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void emptyListChangesNothing();
    void extensionRule_data();
    void extensionRule();
    void existingNamesAreRefused_data();
    void existingNamesAreRefused();
    void missingFolder_data();
    void missingFolder();
    void busyWhileCopying_data();
    void busyWhileCopying();
    void encodingsTold_data();
    void encodingsTold();
    void failuresLeaveNoFile_data();
    void failuresLeaveNoFile();
    void fileAppearingDuringCopyIsKept();
    void refusedBeforeCopying_data();
    void refusedBeforeCopying();
    void namesInAnyEncoding();

private:
    void addInputs(const QList<QByteArray>& contents);
    void merge(const QString& outputName);
    [[nodiscard]] QStringList promptTexts() const;
    [[nodiscard]] QString lastPrompt() const;
    [[nodiscard]] QStringList outFolderEntries() const;
    [[nodiscard]] QString outputText() const
    {
        return m_fixture->control<QLineEdit>(QStringLiteral("txtUnite"))->text();
    }

    std::unique_ptr<WindowFixture> m_fixture;
    MainWindow* m_window = nullptr;
    QStringList m_inputs;
    QString m_out;
    QString m_previousCurrent;
};

void MergeWindowTest::init()
{
    m_fixture = std::make_unique<WindowFixture>();
    m_out = m_fixture->folder(QStringLiteral("C/out"));
    m_previousCurrent = QDir::currentPath();
    QDir::setCurrent(m_out);
    m_window =
        &m_fixture->start(m_fixture->folder(QStringLiteral("C")), m_fixture->folder(QStringLiteral("C/in")));
    m_window->show();
    m_inputs.clear();
}

void MergeWindowTest::cleanup()
{
    QDir::setCurrent(m_previousCurrent);
    m_fixture.reset();
}

void MergeWindowTest::addInputs(const QList<QByteArray>& contents)
{
    auto* model = m_window->findChild<MergeListModel*>();
    for (const QByteArray& content : contents) {
        const QString path = m_fixture->touch(QStringLiteral("C/in/f%1.txt").arg(m_inputs.size()));
        QVERIFY(writeBytes(path, content));
        m_inputs << path;
        model->insert(model->count(), NativePath::fromText(path));
    }
}

void MergeWindowTest::merge(const QString& outputName)
{
    m_fixture->control<QLineEdit>(QStringLiteral("txtUnite"))->setText(outputName);
    QTest::mouseClick(m_fixture->control<QPushButton>(QStringLiteral("cmdUnite")), Qt::LeftButton);
}

QStringList MergeWindowTest::promptTexts() const
{
    QStringList texts;
    for (const auto& prompt : m_fixture->prompter.prompts)
        texts << prompt.text;
    return texts;
}

QString MergeWindowTest::lastPrompt() const
{
    return promptTexts().value(promptTexts().size() - 1);
}

QStringList MergeWindowTest::outFolderEntries() const
{
    return QDir(m_out).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

void MergeWindowTest::emptyListChangesNothing()
{
    merge(m_out + sep() + QStringLiteral("report"));
    QCOMPARE(promptTexts(), QStringList{QStringLiteral("合并框内没有文件！")});
    QCOMPARE(outputText(), m_out + sep() + QStringLiteral("report"));
    QVERIFY(outFolderEntries().isEmpty());
}

void MergeWindowTest::extensionRule_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("used");

    QTest::newRow("no extension") << QStringLiteral("report") << QStringLiteral("report.txt");
    QTest::newRow("upper case kept") << QStringLiteral("report.TXT") << QStringLiteral("report.TXT");
    QTest::newRow("trailing dot") << QStringLiteral("report.") << QStringLiteral("report..txt");
    QTest::newRow("trailing blank") << QStringLiteral("report.txt ") << QStringLiteral("report.txt .txt");
    QTest::newRow("dot in folder") << QStringLiteral("my.dir/report") << QStringLiteral("my.dir/report.txt");
    QTest::newRow("ends in separator") << QStringLiteral("sub/") << QStringLiteral("sub/.txt");
    QTest::newRow("empty name") << QString() << QStringLiteral(".txt");
}

void MergeWindowTest::extensionRule()
{
    QFETCH(QString, typed);
    QFETCH(QString, used);
    m_fixture->folder(QStringLiteral("C/out/my.dir"));
    m_fixture->folder(QStringLiteral("C/out/sub"));
    addInputs({"a1\r\na2", "b1\r\n"});

    // Relative names are taken from the current folder, here the output folder.
    merge(QDir::toNativeSeparators(typed));
    const QString name = QDir::toNativeSeparators(used);
    QCOMPARE(outputText(), name);
    QCOMPARE(promptTexts(),
             QStringList{QStringLiteral("所选文件已成功合并，并保存为 ") + name + QStringLiteral("！")});
    QCOMPARE(readBytes(m_out + QLatin1Char('/') + used), QByteArray("a1\r\na2\r\n\r\nb1\r\n"));
}

void MergeWindowTest::existingNamesAreRefused_data()
{
    QTest::addColumn<QString>("existing");
    QTest::addColumn<QString>("typed");

    QTest::newRow("same name") << QStringLiteral("r1.txt") << QStringLiteral("r1.txt");
    QTest::newRow("pattern") << QStringLiteral("r1.txt") << QStringLiteral("r?.txt");
    QTest::newRow("star pattern") << QStringLiteral("report 2.txt") << QStringLiteral("*2");
}

void MergeWindowTest::existingNamesAreRefused()
{
    QFETCH(QString, existing);
    QFETCH(QString, typed);
    addInputs({"x\r\n"});
    QVERIFY(writeBytes(m_out + QLatin1Char('/') + existing, "keep"));

    const QString name = m_out + sep() + typed;
    merge(name);
    const QString used = outputText();
    QVERIFY(used.endsWith(QStringLiteral(".txt")));
    QCOMPARE(promptTexts(), QStringList{used + QStringLiteral(" 已存在，重新输入合并文件名！")});
    QCOMPARE(readBytes(m_out + QLatin1Char('/') + existing), QByteArray("keep"));
    QCOMPARE(outFolderEntries(), QStringList{existing});
}

void MergeWindowTest::missingFolder_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("relative");
    QTest::addColumn<bool>("written");

    QTest::newRow("no") << int(BoxAnswer::No) << QStringLiteral("new/r.txt") << false;
    QTest::newRow("yes") << int(BoxAnswer::Yes) << QStringLiteral("new/r.txt") << true;
    QTest::newRow("yes, two levels missing")
        << int(BoxAnswer::Yes) << QStringLiteral("new/deeper/r.txt") << false;
}

void MergeWindowTest::missingFolder()
{
    QFETCH(int, answer);
    QFETCH(QString, relative);
    QFETCH(bool, written);
    addInputs({"line\r\n"});
    m_fixture->prompter.answers.enqueue(static_cast<BoxAnswer>(answer));

    const QString name = m_out + sep() + QDir::toNativeSeparators(relative);
    const QString folder = name.left(name.lastIndexOf(sep()) + 1);
    merge(name);
    QVERIFY(m_fixture->prompter.prompts.size() >= 1);
    QCOMPARE(m_fixture->prompter.prompts.first().text, folder + QStringLiteral(" 文件夹不存在，是否创建？"));
    QCOMPARE(m_fixture->prompter.prompts.first().style, BoxStyle::Question);
    if (written) {
        QCOMPARE(lastPrompt(), QStringLiteral("所选文件已成功合并，并保存为 ") + name + QStringLiteral("！"));
        QCOMPARE(readBytes(name), QByteArray("line\r\n"));
    } else if (answer == int(BoxAnswer::No)) {
        QCOMPARE(m_fixture->prompter.prompts.size(), 1);
        QVERIFY(outFolderEntries().isEmpty());
    } else {
        // The folder's parent is missing too: one box names it, nothing is created.
        QCOMPARE(m_fixture->prompter.prompts.size(), 2);
        QVERIFY(lastPrompt().startsWith(folder.chopped(1)));
        QVERIFY(lastPrompt().endsWith(QStringLiteral("未生成合并文件！")));
        QVERIFY(outFolderEntries().isEmpty());
    }
}

void MergeWindowTest::busyWhileCopying_data()
{
    QTest::addColumn<bool>("programEnds");
    QTest::newRow("copy runs to its end") << false;
    QTest::newRow("program ends meanwhile") << true;
}

// While the copy runs the window goes on handling events, yet stays disabled with the
// busy pointer, so a click changes nothing; when the program ends meanwhile, the
// copy stops and leaves no file.
void MergeWindowTest::busyWhileCopying()
{
    QFETCH(bool, programEnds);
    // Enough bytes that the copy still runs when the event loop turns.
    addInputs({QByteArray(48 << 20, 'x'), "b\r\n"});
    int samples = 0;
    bool alwaysBusy = true;
    QTimer sampler;
    sampler.setInterval(0);
    connect(&sampler, &QTimer::timeout, m_window, [&] {
        ++samples;
        const QCursor* pointer = QApplication::overrideCursor();
        alwaysBusy = alwaysBusy && !m_window->isEnabled() && pointer && pointer->shape() == Qt::WaitCursor;
        QTest::mouseClick(m_fixture->control<QPushButton>(QStringLiteral("cmdDelAll")), Qt::LeftButton);
        if (programEnds && samples == 1)
            QCoreApplication::exit(0);
    });
    bool enabledAtBox = false;
    bool pointerRestoredAtBox = false;
    m_fixture->prompter.onShow = [&](const FakePrompter::Prompt&) {
        enabledAtBox = m_window->isEnabled();
        pointerRestoredAtBox = QApplication::overrideCursor() == nullptr;
    };
    sampler.start();
    merge(m_out + sep() + QStringLiteral("busy.txt"));
    sampler.stop();
    if (programEnds) {
        // The ending program leaves every event loop; one turn of the application's
        // own loop lets later loops run again.
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
    }

    QVERIFY(samples > 0);
    QVERIFY(alwaysBusy);
    QCOMPARE(m_window->findChild<MergeListModel*>()->count(), 2);
    if (programEnds) {
        QVERIFY(m_fixture->prompter.prompts.isEmpty());
        QCOMPARE(outFolderEntries(), QStringList());
        return;
    }
    QVERIFY(enabledAtBox);
    QVERIFY(pointerRestoredAtBox);
    QVERIFY(lastPrompt().startsWith(QStringLiteral("所选文件已成功合并")));
}

// The success box adds which inputs were converted; an input that cannot be
// converted stops the merge with a box naming it.
void MergeWindowTest::encodingsTold_data()
{
    QTest::addColumn<QList<QByteArray>>("contents");
    QTest::addColumn<QString>("told");
    const QByteArray utf8 = "\xE4\xB8\xAD";
    const QByteArray gbk = "\xD6\xD0";
    const QByteArray utf16 = "\xFF\xFE\x2D\x4E";
    QTest::newRow("GBK into UTF-8, counted past three")
        << QList<QByteArray>{utf8, gbk, gbk, utf8, gbk, gbk}
        << QStringLiteral("所选文件已成功合并，并保存为 {out}！\n以下文件已从 GBK 转换为 "
                          "UTF-8：f1.txt、f2.txt、f4.txt 等 4 "
                          "个文件");
    QTest::newRow("GBK into UTF-8, exactly three named")
        << QList<QByteArray>{utf8, gbk, gbk, gbk}
        << QStringLiteral(
               "所选文件已成功合并，并保存为 {out}！\n以下文件已从 GBK 转换为 UTF-8：f1.txt、f2.txt、f3.txt");
    // U+E78D, which GB18030-2022 gave to a standard character.
    QTest::newRow("a character GBK cannot hold")
        << QList<QByteArray>{gbk, QByteArray("\xEE\x9E\x8D")}
        << QStringLiteral("{f1} 中有字符无法转换为合并文件的编码，未生成合并文件！");
    QTest::newRow("two encodings converted")
        << QList<QByteArray>{gbk, utf16, utf8}
        << QStringLiteral(
               "所选文件已成功合并，并保存为 {out}！\n以下文件已从 UTF-16LE 转换为 GBK：f1.txt\n以下文件已从 "
               "UTF-8 转换为 GBK：f2.txt");
    QTest::newRow("ASCII into UTF-16")
        << QList<QByteArray>{utf16, QByteArray("a")}
        << QStringLiteral("所选文件已成功合并，并保存为 {out}！\n以下文件已从 ASCII 转换为 UTF-16LE：f1.txt");
    QTest::newRow("unknown into UTF-16")
        << QList<QByteArray>{utf16, QByteArray("\x80\xFF")}
        << QStringLiteral("{f1} 的编码无法识别，不能转换为 UTF-16，未生成合并文件！");
}

void MergeWindowTest::encodingsTold()
{
    QFETCH(QList<QByteArray>, contents);
    QFETCH(QString, told);
    addInputs(contents);
    const QString name = m_out + sep() + QStringLiteral("merged.txt");
    merge(name);

    told.replace(QStringLiteral("{out}"), name).replace(QStringLiteral("{f1}"), m_inputs.at(1));
    QCOMPARE(promptTexts(), QStringList{told});
    QCOMPARE(outFolderEntries().size(), told.contains(QStringLiteral("未生成")) ? 0 : 1);
}

void MergeWindowTest::failuresLeaveNoFile_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("reason");
    QTest::newRow("input removed") << QStringLiteral("remove") << QStringLiteral("（文件或文件夹不存在）");
    QTest::newRow("input replaced by a folder")
        << QStringLiteral("folder") << QStringLiteral("（这是一个文件夹）");
    QTest::newRow("over-long name") << QStringLiteral("long name") << QString();
}

void MergeWindowTest::failuresLeaveNoFile()
{
    QFETCH(QString, fault);
    QFETCH(QString, reason);
    if (runsUnderWine() && fault == QStringLiteral("long name"))
        QSKIP("Wine answers \"not found\" for a name longer than 255 characters, where Windows answers "
              "\"invalid name\"");
    addInputs({"first\r\n", "second\r\n", "third\r\n"});
    QString name = m_out + sep() + QStringLiteral("merged.txt");
    if (fault == QStringLiteral("long name")) {
        name = m_out + sep() + QString(300, QLatin1Char('n')) + QStringLiteral(".txt");
    } else {
        QVERIFY(QFile::remove(m_inputs.at(1)));
        if (fault == QStringLiteral("folder"))
            QVERIFY(QDir().mkdir(m_inputs.at(1)));
    }
    merge(name);

    QCOMPARE(m_fixture->prompter.prompts.size(), 1);
    if (fault == QStringLiteral("long name")) {
        QCOMPARE(lastPrompt(), QStringLiteral("合并文件的名称或路径错误!"));
    } else {
        QVERIFY2(lastPrompt().startsWith(m_inputs.at(1)), qPrintable(lastPrompt()));
        QVERIFY2(lastPrompt().endsWith(reason + QStringLiteral("，未生成合并文件！")),
                 qPrintable(lastPrompt()));
    }
    QVERIFY(outFolderEntries().isEmpty());
    QVERIFY(m_window->isEnabled());
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

namespace {

// Writes a file of its own at the output name as publishing begins, on the copy's
// thread: the file appears while the merge runs, whichever thread is quicker.
class RivalAtPublishing final : public CopyProgress
{
public:
    explicit RivalAtPublishing(QString name) : m_name(std::move(name)) {}
    void publishing() override
    {
        CopyProgress::publishing();
        (void)writeBytes(m_name, "theirs");
    }
    Q_DISABLE_COPY_MOVE(RivalAtPublishing)

private:
    QString m_name;
};

} // namespace

void MergeWindowTest::fileAppearingDuringCopyIsKept()
{
    addInputs({"merged\r\n"});
    const QString name = m_out + sep() + QStringLiteral("race.txt");
    m_fixture->makeProgress = [name] { return std::make_unique<RivalAtPublishing>(name); };
    merge(name);

    QCOMPARE(promptTexts(), QStringList{name + QStringLiteral(" 已存在，重新输入合并文件名！")});
    QCOMPARE(readBytes(name), QByteArray("theirs"));
    QCOMPARE(outFolderEntries(), QStringList{QStringLiteral("race.txt")});
}

void MergeWindowTest::refusedBeforeCopying_data()
{
    QTest::addColumn<QString>("occupant");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("box"); // %1 stands for the output name

    const QString exists = QStringLiteral("%1 已存在，重新输入合并文件名！");
    QTest::newRow("a folder of that name") << QStringLiteral("folder") << QStringLiteral("r.txt") << exists;
#ifdef Q_OS_UNIX
    QTest::newRow("a pipe of that name") << QStringLiteral("fifo") << QStringLiteral("r.txt") << exists;
    QTest::newRow("a dangling link of that name")
        << QStringLiteral("dangling") << QStringLiteral("r.txt") << exists;
    QTest::newRow("a folder part that cannot be searched")
        << QStringLiteral("loop") << QStringLiteral("r.txt/x.txt")
        << QStringLiteral("无法确认 %1 是否已存在（") + qt_error_string(ELOOP) +
               QStringLiteral("，错误代码 %2），未生成合并文件！").arg(ELOOP);
#else
    // Device names, in any case and with any extension, name no file in any folder.
    const QString badName = QStringLiteral("合并文件的名称或路径错误!");
    QTest::newRow("the console") << QString() << QStringLiteral("CON.txt") << badName;
    QTest::newRow("the null device, extension added") << QString() << QStringLiteral("nul") << badName;
    QTest::newRow("a port, other case and extension") << QString() << QStringLiteral("Com3.log") << badName;
    QTest::newRow("a printer port") << QString() << QStringLiteral("lpt1.TXT") << badName;
    QTest::newRow("a character Windows rejects") << QString() << QStringLiteral("r|1.txt") << badName;
#endif
}

// What stands in the way is told before anything is copied: the input is gone, so a
// copy would have ended in another box.
void MergeWindowTest::refusedBeforeCopying()
{
    QFETCH(QString, occupant);
    QFETCH(QString, typed);
    QFETCH(QString, box);
    addInputs({"x\r\n"});
    QVERIFY(QFile::remove(m_inputs.at(0)));
    const QString target = m_out + QStringLiteral("/r.txt");
    if (occupant == QStringLiteral("folder"))
        QVERIFY(QDir().mkdir(target));
#ifdef Q_OS_UNIX
    else if (occupant == QStringLiteral("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
    else if (occupant == QStringLiteral("dangling"))
        QVERIFY(QFile::link(m_out + QStringLiteral("/gone"), target));
    else
        QVERIFY(QFile::link(target, target));
#endif

    const QString name = m_out + sep() + QDir::toNativeSeparators(typed);
    merge(name);
    QCOMPARE(promptTexts(), QStringList{box.contains(QStringLiteral("%1")) ? box.arg(name) : box});
    QCOMPARE(outFolderEntries(), occupant.isEmpty() ? QStringList() : QStringList{QStringLiteral("r.txt")});
}

// A folder from an archive made on Chinese Windows, its name in GBK bytes: its files
// are listed readably and merged, and the proposed output lands in that very folder.
void MergeWindowTest::namesInAnyEncoding()
{
#ifdef Q_OS_UNIX
    const QByteArray gbkFolder =
        QFile::encodeName(m_fixture->folder(QStringLiteral("C"))) + "/\xba\xcf\xb2\xa2";
    const auto removeAll = qScopeGuard([&] { std::filesystem::remove_all(gbkFolder.constData()); });
    QCOMPARE(::mkdir(gbkFolder.constData(), 0700), 0);
    const QList<std::pair<QByteArray, QByteArray>> files = {{"/\xd2\xbb\xb6\xfe.txt", "one\r\n"},
                                                            {"/x.txt", "x\r\n"}};
    for (const auto& [name, content] : files) {
        const int fd = ::open((gbkFolder + name).constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, content.constData(), size_t(content.size())), ssize_t(content.size()));
        ::close(fd);
    }

    m_fixture->control<FolderPane>(QStringLiteral("dirOperate"))->setPath(NativePath::fromNative(gbkFolder));
    QTest::mouseClick(m_fixture->control<QPushButton>(QStringLiteral("cmdAddAll")), Qt::LeftButton);
    const QString shown = m_fixture->folder(QStringLiteral("C")) + QStringLiteral("/合并");
    auto* model = m_window->findChild<MergeListModel*>();
    QCOMPARE(displayTexts(model->entries()),
             (QStringList{shown + QStringLiteral("/一二.txt"), shown + QStringLiteral("/x.txt")}));
    QCOMPARE(outputText(), shown + QStringLiteral("/Corvalent.txt"));

    QTest::mouseClick(m_fixture->control<QPushButton>(QStringLiteral("cmdUnite")), Qt::LeftButton);
    QCOMPARE(promptTexts(), QStringList{QStringLiteral("所选文件已成功合并，并保存为 ") + shown +
                                        QStringLiteral("/Corvalent.txt！")});
    const int fd = ::open((gbkFolder + "/Corvalent.txt").constData(), O_RDONLY);
    QVERIFY(fd >= 0);
    char merged[32] = {};
    const ssize_t size = ::read(fd, merged, sizeof merged);
    ::close(fd);
    QCOMPARE(QByteArray(merged, int(size)), QByteArray("one\r\n\r\nx\r\n"));
    // No twin folder named in UTF-8.
    QVERIFY(!QFileInfo::exists(shown));
#else
    QSKIP("File names are UTF-16 on Windows");
#endif
}

QTEST_MAIN(MergeWindowTest)
#include "tst_mergewindow.moc"
