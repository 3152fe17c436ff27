#include "merge/MergeFiles.h"
#include "merge/copy/InPlaceCopy.h"
#include "merge/copy/ReadAheadCopy.h"
#include "merge/output/MergeOutput.h"
#include "merge/output/OutputCheck.h"
#include "support/TestFiles.h"
#include "support/TestPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_WIN
#include "base/Win32Path_win.h"
#endif
#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

// The output's life: nothing at the output name until it is published, never a
// replaced file, nothing left behind after a failure, a missing folder reported as
// such, and the permissions of an ordinary new file.
class TestMergeOutput final : public QObject
{
    Q_OBJECT

private slots:
    void nothingVisibleBeforePublish_data();
    void nothingVisibleBeforePublish();
    void fileAppearingBeforePublishIsKept();
    void missingFolder();
    void cancelledBeforePublish();
    void pathsBeyondTheClassicLimit();
    void longFormOfPaths_data();
    void longFormOfPaths();
    void existingOutputRefused_data();
    void existingOutputRefused();
    void permissionsOfNewFile_data();
    void permissionsOfNewFile();
    void fileSizeLimitMidCopy_data();
    void fileSizeLimitMidCopy();
    void outputIsNeverItsOwnInput_data();
    void outputIsNeverItsOwnInput();
    void terminationSignalLeavesNothing_data();
    void terminationSignalLeavesNothing();
};

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(MergeOutput::Temporary)

void TestMergeOutput::nothingVisibleBeforePublish_data()
{
    QTest::addColumn<MergeOutput::Temporary>("temporary");
    QTest::addColumn<bool>("publish");

    QTest::newRow("published") << MergeOutput::Temporary::Unnamed << true;
    QTest::newRow("dropped unpublished") << MergeOutput::Temporary::Unnamed << false;
    QTest::newRow("named temporary, published") << MergeOutput::Temporary::Named << true;
    QTest::newRow("named temporary, dropped") << MergeOutput::Temporary::Named << false;
}

void TestMergeOutput::nothingVisibleBeforePublish()
{
    QFETCH(MergeOutput::Temporary, temporary);
    QFETCH(bool, publish);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString name = dir.filePath(u"merged.txt"_s);
    {
        MergeOutput output(path(name), temporary);
        QVERIFY(output.open().ok());
        QVERIFY(output.write("line\r\n", 6).ok());
        QVERIFY(!QFileInfo::exists(name));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
        if (publish)
            QVERIFY(output.publish().ok());
    }
    const QStringList expected = publish ? QStringList{u"merged.txt"_s} : QStringList();
    QCOMPARE(allEntries(dir.path()), expected);
    if (publish)
        QCOMPARE(readBytes(name), QByteArray("line\r\n"));
}

void TestMergeOutput::fileAppearingBeforePublishIsKept()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString name = dir.filePath(u"merged.txt"_s);
    MergeOutput output(path(name));
    QVERIFY(output.open().ok());
    QVERIFY(output.write("merged\r\n", 8).ok());
    QVERIFY(writeBytes(name, "someone else's"));

    const MergeResult result = output.publish();
    QCOMPARE(result.status, MergeStatus::AlreadyExists);
    QCOMPARE(result.path, path(name));
    QCOMPARE(readBytes(name), QByteArray("someone else's"));
    QCOMPARE(allEntries(dir.path()), QStringList{u"merged.txt"_s});
}

// The window's sequence for a missing folder: the open says so, the folder is
// created, the second open succeeds.
void TestMergeOutput::missingFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath(u"new"_s);
    const NativePath name = path(folder + u"/merged.txt"_s);
    MergeOutput output(name);

    const MergeResult missing = output.open();
    QCOMPARE(missing.status, MergeStatus::FolderMissing);
    QCOMPARE(missing.path, name);
    QCOMPARE(allEntries(dir.path()), QStringList());

    QVERIFY(createOutputFolder(path(folder)).ok());
    QVERIFY(output.open().ok());
    QVERIFY(output.publish().ok());
    QCOMPARE(allEntries(folder), QStringList{u"merged.txt"_s});
}

namespace {

class CreateFolders final : public MergeHooks
{
public:
    bool createMissingFolder(const NativePath& /*folder*/) override { return true; }
};

// The program ends while the copy runs.
class EndingProgram final : public MergeHooks
{
public:
    MergeReport runCopy(const CopyWork& copy) override
    {
        const std::atomic<bool> cancel{true};
        return copy(cancel, nullptr);
    }
};

} // namespace

// A copy with nothing left to stop (no inputs) still publishes nothing once the
// program ends.
void TestMergeOutput::cancelledBeforePublish()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    EndingProgram hooks;
    QCOMPARE(mergeFiles({}, path(dir.filePath(u"merged.txt"_s)), hooks).status, MergeStatus::Cancelled);
    QCOMPARE(allEntries(dir.path()), QStringList());
}

// Windows' classic limit of 260 characters to a path: below a folder whose path is
// longer, the checks, the new folder, reading and publishing all still work.
void TestMergeOutput::pathsBeyondTheClassicLimit()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString deep = dir.path();
    while (deep.size() <= 300)
        deep += u'/' + QString(40, u'd');
    QVERIFY(QDir().mkpath(deep));
    const QString input = deep + u"/input.txt"_s;
    QVERIFY(writeBytes(input, "one\r\ntwo"));
    QCOMPARE(checkOutputExists(path(deep + u"/in?ut.txt"_s)).status, MergeStatus::AlreadyExists);
    QCOMPARE(checkOutputExists(path(input)).status, MergeStatus::AlreadyExists);

    const QString output = deep + u"/new/merged.txt"_s;
    CreateFolders hooks;
    const MergeResult result = mergeFiles(paths({input, input}), path(output), hooks);
    QVERIFY2(result.ok(), qPrintable(QString::number(result.error)));
    QCOMPARE(readBytes(output), QByteArray("one\r\ntwo\r\n\r\none\r\ntwo\r\n"));
    QCOMPARE(allEntries(deep + u"/new"_s), QStringList{u"merged.txt"_s});
}

// Wine has no limit of 260 characters, so the test above passes there without the
// long form; the form itself is checked here.
void TestMergeOutput::longFormOfPaths_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("form");

    const QString deep = QString(300, u'd');
    QTest::newRow("short") << u"C:\\Texts\\a.txt"_s << u"C:\\Texts\\a.txt"_s;
    QTest::newRow("short, slashes") << u"C:/Texts/a.txt"_s << u"C:\\Texts\\a.txt"_s;
    QTest::newRow("long") << u"C:\\"_s + deep << u"\\\\?\\C:\\"_s + deep;
    QTest::newRow("long, made full first") << u"C:/x/../"_s + deep + u"/."_s << u"\\\\?\\C:\\"_s + deep;
    QTest::newRow("long network path")
        << u"\\\\server\\share\\"_s + deep << u"\\\\?\\UNC\\server\\share\\"_s + deep;
    QTest::newRow("long form already") << u"\\\\?\\C:\\a"_s << u"\\\\?\\C:\\a"_s;
    QTest::newRow("device") << u"\\\\.\\COM1"_s << u"\\\\.\\COM1"_s;
}

void TestMergeOutput::longFormOfPaths()
{
#ifdef Q_OS_WIN
    QFETCH(QString, path);
    QFETCH(QString, form);
    QCOMPARE(QString::fromStdWString(win32Path(NativePath::fromText(path))), form);
#else
    QSKIP("Only Windows has a long form of paths");
#endif
}

void TestMergeOutput::existingOutputRefused_data()
{
    QTest::addColumn<QString>("name");

    QTest::newRow("same name") << "out.txt";
    QTest::newRow("pattern matching it") << "o?t.txt";
    QTest::newRow("star pattern") << "*.txt";
}

// Refused before anything is opened: a pattern name is never created literally.
void TestMergeOutput::existingOutputRefused()
{
    QFETCH(QString, name);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(u"in"_s));
    const QString input = dir.filePath(u"in/in.txt"_s);
    const QString output = dir.filePath(u"out.txt"_s);
    QVERIFY(writeBytes(input, "new\r\n"));
    QVERIFY(writeBytes(output, "old"));

    const MergeResult result = mergeFiles({path(input)}, path(dir.filePath(name)));
    QCOMPARE(result.status, MergeStatus::AlreadyExists);
    QCOMPARE(result.path, path(dir.filePath(name)));
    QCOMPARE(readBytes(output), QByteArray("old"));
    QCOMPARE(allEntries(dir.path()), (QStringList{u"in"_s, u"out.txt"_s}));
}

void TestMergeOutput::permissionsOfNewFile_data()
{
    QTest::addColumn<int>("mask");

    QTest::newRow("umask 022") << 022;
    QTest::newRow("umask 002") << 002;
    QTest::newRow("umask 077") << 077;
    QTest::newRow("umask 000") << 000;
}

void TestMergeOutput::permissionsOfNewFile()
{
#ifdef Q_OS_UNIX
    QFETCH(int, mask);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const NativePath name = path(dir.filePath(u"merged.txt"_s));
    const mode_t saved = ::umask(static_cast<mode_t>(mask));
    MergeOutput output(name);
    const bool published = output.open().ok() && output.publish().ok();
    ::umask(saved);
    QVERIFY(published);

    struct stat info = {};
    QCOMPARE(::stat(name.native().constData(), &info), 0);
    QCOMPARE(int(info.st_mode & 07777), 0666 & ~mask);
#else
    QSKIP("New files take the folder's permissions on this platform");
#endif
}

void TestMergeOutput::fileSizeLimitMidCopy_data()
{
    QTest::addColumn<QByteArray>("second");
    QTest::addColumn<int>("limit");
    QTest::addColumn<bool>("signalIgnored");
    QTest::newRow("copied") << QByteArray(300000, 'x') << 400000 << true;
    // 中 in GBK, which grows by half into the UTF-8 of the first input: its bytes,
    // copied first, fit; converted, they do not.
    QTest::newRow("converted") << QByteArray("\xD6\xD0").repeated(150000) << 700000 << true;
    // Left at its default, SIGXFSZ would end the program.
    QTest::newRow("copied, SIGXFSZ at its default") << QByteArray(300000, 'x') << 400000 << false;
}

// A file-size limit hit mid-copy (EFBIG) must fail the merge, in an input copied as
// it is or converted, whether SIGXFSZ was ignored before (as a shell may do) or not. The limit is set
// in a child process so that nothing else the test runner writes is limited by it.
void TestMergeOutput::fileSizeLimitMidCopy()
{
#ifdef Q_OS_UNIX
    QFETCH(QByteArray, second);
    QFETCH(int, limit);
    QFETCH(bool, signalIgnored);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(u"out"_s));
    const QStringList inputs = {dir.filePath(u"a.txt"_s), dir.filePath(u"b.txt"_s)};
    QVERIFY(writeBytes(inputs.at(0), "\xE4\xB8\xAD" + QByteArray(300000, 'x')));
    QVERIFY(writeBytes(inputs.at(1), second));
    const QString output = dir.filePath(u"out/merged.txt"_s);

    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        ::signal(SIGXFSZ, signalIgnored ? SIG_IGN : SIG_DFL);
        const rlimit fileSize = {rlim_t(limit), rlim_t(limit)};
        ::setrlimit(RLIMIT_FSIZE, &fileSize);
        const MergeResult result = mergeFiles(paths(inputs), path(output));
        const bool expected = result.status == MergeStatus::OutputFailed && result.path == path(output) &&
                              result.error == EFBIG;
        ::_exit(expected ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
    QCOMPARE(allEntries(dir.filePath(u"out"_s)), QStringList());
#else
    QSKIP("RLIMIT_FSIZE is a POSIX limit");
#endif
}

void TestMergeOutput::outputIsNeverItsOwnInput_data()
{
    QTest::addColumn<MergeOutput::Temporary>("temporary");
    QTest::addColumn<bool>("inPlace");

    QTest::newRow("hidden name, reading ahead") << MergeOutput::Temporary::Named << false;
    QTest::newRow("hidden name, in place") << MergeOutput::Temporary::Named << true;
    QTest::newRow("/proc/self/fd, reading ahead") << MergeOutput::Temporary::Unnamed << false;
    QTest::newRow("/proc/self/fd, in place") << MergeOutput::Temporary::Unnamed << true;
}

// The output being written, listed as an input under another name, is refused
// before it is read: read, it would grow without end. A child process limits the
// file size, so that the merge stops should it feed on itself all the same.
void TestMergeOutput::outputIsNeverItsOwnInput()
{
#ifdef Q_OS_LINUX
    QFETCH(MergeOutput::Temporary, temporary);
    QFETCH(bool, inPlace);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit = {1 << 20, 1 << 20};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        MergeOutput output(path(dir.filePath(u"merged.txt"_s)), temporary);
        if (!output.open().ok() || !output.write("x\r\n", 3).ok())
            ::_exit(100);
        QString itself;
        for (const QString& fd : QDir(u"/proc/self/fd"_s).entryList(QDir::AllEntries | QDir::System)) {
            const QString target = QFileInfo(u"/proc/self/fd/"_s + fd).symLinkTarget();
            if (target.startsWith(dir.path() + u'/'))
                itself = temporary == MergeOutput::Temporary::Named ? target : u"/proc/self/fd/"_s + fd;
        }
        const QList<NativePath> inputs{path(itself)};
        const CopyJob job{.inputs = inputs, .output = output, .blockSize = 4096};
        const MergeResult result = inPlace ? copyInPlace(job, 1) : copyReadingAhead(job);
        ::_exit(int(result.status));
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), int(MergeStatus::InputIsOutput));
#else
    QSKIP("Windows opens the output for its own use alone, which refuses every reader");
#endif
}

void TestMergeOutput::terminationSignalLeavesNothing_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("ignored");

#ifdef Q_OS_UNIX
    QTest::newRow("SIGINT (Ctrl+C)") << SIGINT << false;
    QTest::newRow("SIGTERM") << SIGTERM << false;
    QTest::newRow("SIGHUP (logout)") << SIGHUP << false;
    QTest::newRow("SIGHUP ignored, as under nohup") << SIGHUP << true;
#endif
}

// A signal in the middle of a merge to a file system without unnamed temporary
// files: the named temporary file is removed, and the program ends as that signal
// ends it. A signal that was ignored stays ignored.
void TestMergeOutput::terminationSignalLeavesNothing()
{
#ifdef Q_OS_UNIX
    QFETCH(int, signal);
    QFETCH(bool, ignored);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    int ready[2];
    QCOMPARE(::pipe(ready), 0);
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        // As a program starts, not as the test runner left them: the signals at
        // their default action, or the one ignored.
        for (const int each : {SIGHUP, SIGINT, SIGTERM})
            ::signal(each, SIG_DFL);
        if (ignored)
            ::signal(signal, SIG_IGN);
        MergeOutput output(path(dir.filePath(u"merged.txt"_s)), MergeOutput::Temporary::Named);
        const char opened = output.open().ok() && output.write("partial", 7).ok() ? '1' : '0';
        (void)::write(ready[1], &opened, 1);
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    char opened = 0;
    QCOMPARE(::read(ready[0], &opened, 1), ssize_t(1));
    ::close(ready[0]);
    QCOMPARE(opened, '1');
    QCOMPARE(allEntries(dir.path()).size(), 1);
    QVERIFY(allEntries(dir.path()).first().startsWith(u".tamborel-"_s));

    QCOMPARE(::kill(child, signal), 0);
    // Pending signals arrive lowest number first: had SIGHUP not been ignored, it
    // and not SIGTERM would have ended the child.
    if (ignored)
        QCOMPARE(::kill(child, SIGTERM), 0);
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFSIGNALED(status));
    QCOMPARE(WTERMSIG(status), ignored ? SIGTERM : signal);
    QCOMPARE(allEntries(dir.path()), QStringList());
#else
    QSKIP("Termination signals are POSIX");
#endif
}

QTEST_GUILESS_MAIN(TestMergeOutput)
#include "tst_mergeoutput.moc"
