#include "merge/output/MergeOutput.h"
#include "merge/output/OutputCalls_linux.h"
#include "merge/output/SignalCleanup.h"
#include "support/TestFiles.h"
#include "support/TestPaths.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

// The order in which the merged file reaches the disk and gets its name, and the
// answers of file systems the tests cannot mount, seen through the output's calls.
class TestOutputSteps final : public QObject
{
    Q_OBJECT

private slots:
    void publishSteps_data();
    void publishSteps();
    void publishWithoutLinks_data();
    void publishWithoutLinks();
    void terminationWhileRenamingOverReservation();
    void systemCallsReplaceNothing();
    void discardRetriesInterruptedRemoval();
    void directWriteAlignment_data();
    void directWriteAlignment();
    void guardArmedOnceNamed();
};

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(MergeOutput::Temporary)
Q_DECLARE_METATYPE(MergeStatus)

namespace {

// What the fake calls answer and what they saw. The calls are plain functions, so
// this is where they find it.
struct Script
{
    QStringList steps;
    int unnamedError = 0;
    int unlinkFailures = 0;
    int unlinkError = EIO;
    int fdatasyncError = 0;
    int linkError = 0;
    int renameFlagsError = 0;
    int renameError = 0;
    int folderFlushError = 0;
    // Raised in the rename over a reserved name, as a logout would come then.
    int signalAtRename = 0;
    quint32 offsetAlignment = 0;
    quint32 memoryAlignment = 0;
};
Script script;

bool isTemporaryName(const char* name)
{
    return QByteArray(name).startsWith(".tamborel-");
}

const OutputCalls fakeCalls{
    [](int folder, int flags, mode_t mode) {
        script.steps << u"open unnamed"_s;
        if (script.unnamedError == 0)
            return ::openat(folder, ".", flags, mode);
        errno = script.unnamedError;
        return -1;
    },
    [](int fd) {
        script.steps << u"flush data"_s;
        if (script.fdatasyncError == 0)
            return ::fdatasync(fd);
        errno = script.fdatasyncError;
        return -1;
    },
    [](int fd) {
        script.steps << u"flush folder"_s;
        if (script.folderFlushError == 0)
            return ::fsync(fd);
        errno = script.folderFlushError;
        return -1;
    },
    [](int fromFolder, const char* from, int toFolder, const char* to, int flags) {
        script.steps << u"link"_s;
        if (script.linkError == 0)
            return ::linkat(fromFolder, from, toFolder, to, flags);
        errno = script.linkError;
        return -1;
    },
    [](int folder, const char* from, const char* to) {
        script.steps << u"rename, not replacing"_s;
        if (script.renameFlagsError == 0)
            return ::renameat2(folder, from, folder, to, RENAME_NOREPLACE);
        errno = script.renameFlagsError;
        return -1;
    },
    [](int folder, const char* name) {
        script.steps << u"reserve name"_s;
        return ::openat(folder, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    },
    [](int folder, const char* from, const char* to) {
        script.steps << u"rename"_s;
        if (script.signalAtRename != 0)
            ::raise(script.signalAtRename);
        if (script.renameError == 0)
            return ::renameat(folder, from, folder, to);
        errno = script.renameError;
        return -1;
    },
    [](int folder, const char* name, int flags) {
        const bool temporary = isTemporaryName(name);
        script.steps << (temporary ? u"unlink temporary"_s : u"unlink output"_s);
        if (temporary && script.unlinkFailures > 0) {
            --script.unlinkFailures;
            errno = script.unlinkError;
            return -1;
        }
        return ::unlinkat(folder, name, flags);
    },
    [](int, int) { return 0; },
    [](int, const char*, int, unsigned int, struct statx* info) {
        *info = {};
        info->stx_mask = STATX_DIOALIGN;
        info->stx_dio_offset_align = script.offsetAlignment;
        info->stx_dio_mem_align = script.memoryAlignment;
        return 0;
    },
};

// The folder's entries, with the random part of temporary names left out.
QStringList entriesOf(const QString& folder)
{
    return allEntries(folder).replaceInStrings(QRegularExpression(u"^\\.tamborel-.*"_s), u".tamborel-*"_s);
}

} // namespace

void TestOutputSteps::publishSteps_data()
{
    QTest::addColumn<MergeOutput::Temporary>("temporary");
    QTest::addColumn<int>("unnamedError");
    QTest::addColumn<int>("unlinkFailures");
    QTest::addColumn<int>("folderFlushError");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<MergeStatus>("status");
    QTest::addColumn<QStringList>("entries");

    const auto unnamed = MergeOutput::Temporary::Unnamed;
    const auto named = MergeOutput::Temporary::Named;
    const QStringList published{u"merged.txt"_s};
    QTest::newRow("unnamed: flush, name, flush folder")
        << unnamed << 0 << 0 << 0
        << QStringList{u"open unnamed"_s, u"flush data"_s, u"link"_s, u"flush folder"_s} << MergeStatus::Ok
        << published;
    QTest::newRow("named: flush, name, drop temporary name, flush folder")
        << named << 0 << 0 << 0
        << QStringList{u"flush data"_s, u"link"_s, u"unlink temporary"_s, u"flush folder"_s}
        << MergeStatus::Ok << published;
    const QStringList namedInstead{u"open unnamed"_s, u"flush data"_s, u"link"_s, u"unlink temporary"_s,
                                   u"flush folder"_s};
    QTest::newRow("no O_TMPFILE (FAT): a named temporary instead")
        << unnamed << int(EOPNOTSUPP) << 0 << 0 << namedInstead << MergeStatus::Ok << published;
    QTest::newRow("no O_TMPFILE (old kernel): a named temporary instead")
        << unnamed << int(EISDIR) << 0 << 0 << namedInstead << MergeStatus::Ok << published;
    QTest::newRow("the folder's flush fails: the name taken back")
        << unnamed << 0 << 0 << int(EIO)
        << QStringList{u"open unnamed"_s, u"flush data"_s, u"link"_s, u"flush folder"_s, u"unlink output"_s}
        << MergeStatus::OutputFailed << QStringList();
    QTest::newRow("temporary name removed at the second try")
        << named << 0 << 1 << 0
        << QStringList{u"flush data"_s, u"link"_s, u"unlink temporary"_s, u"unlink temporary"_s,
                       u"flush folder"_s}
        << MergeStatus::Ok << published;
    QTest::newRow("temporary name stays: output name taken back")
        << named << 0 << 1000 << 0
        << QStringList{u"flush data"_s,       u"link"_s,          u"unlink temporary"_s,
                       u"unlink temporary"_s, u"unlink output"_s, u"unlink temporary"_s}
        << MergeStatus::OutputFailed << QStringList{u".tamborel-*"_s};
}

void TestOutputSteps::publishSteps()
{
    QFETCH(MergeOutput::Temporary, temporary);
    QFETCH(int, unnamedError);
    QFETCH(int, unlinkFailures);
    QFETCH(int, folderFlushError);
    QFETCH(QStringList, steps);
    QFETCH(MergeStatus, status);
    QFETCH(QStringList, entries);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    script = {};
    script.unnamedError = unnamedError;
    script.unlinkFailures = unlinkFailures;
    script.folderFlushError = folderFlushError;
    MergeOutput output(path(dir.filePath(u"merged.txt"_s)), temporary, &fakeCalls);
    QVERIFY(output.open().ok());
    QVERIFY(output.write("line\r\n", 6).ok());
    const bool guarded = temporary == MergeOutput::Temporary::Named || unnamedError != 0;
    QCOMPARE(signalcleanup::armedCount(), guarded ? 1 : 0);

    const MergeResult result = output.publish();
    QCOMPARE(result.status, status);
    QCOMPARE(result.error, status == MergeStatus::Ok ? 0 : EIO);
    QCOMPARE(script.steps, steps);
    QCOMPARE(signalcleanup::armedCount(), 0);
    QCOMPARE(entriesOf(dir.path()), entries);
    if (status == MergeStatus::Ok)
        QCOMPARE(readBytes(dir.filePath(u"merged.txt"_s)), QByteArray("line\r\n"));
}

// File systems without hard links (FAT, exFAT, some network ones), and through FUSE
// without rename flags either: a file someone else made at the name is never
// replaced, and nothing but the merged file is left.
void TestOutputSteps::publishWithoutLinks_data()
{
    QTest::addColumn<int>("renameFlagsError");
    QTest::addColumn<bool>("nameTaken");
    QTest::addColumn<int>("renameError");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("error");
    QTest::addColumn<QStringList>("entries");

    const QStringList published{u"merged.txt"_s};
    const QStringList start{u"flush data"_s, u"link"_s, u"rename, not replacing"_s};
    QTest::newRow("rename that refuses to replace (FAT)")
        << 0 << false << 0 << start + QStringList{u"flush folder"_s} << 0 << published;
    QTest::newRow("no rename flags (exFAT through FUSE): the name reserved, then renamed over")
        << int(EINVAL) << false << 0 << start + QStringList{u"reserve name"_s, u"rename"_s, u"flush folder"_s}
        << 0 << published;
    QTest::newRow("no rename flags, the name taken meanwhile: kept")
        << int(EINVAL) << true << 0 << start + QStringList{u"reserve name"_s, u"unlink temporary"_s}
        << int(EEXIST) << published;
    QTest::newRow("no rename flags, the rename fails: the reservation goes too")
        << int(ENOSYS) << false << int(EIO)
        << start + QStringList{u"reserve name"_s, u"rename"_s, u"unlink output"_s, u"unlink temporary"_s}
        << int(EIO) << QStringList();
}

void TestOutputSteps::publishWithoutLinks()
{
    QFETCH(int, renameFlagsError);
    QFETCH(bool, nameTaken);
    QFETCH(int, renameError);
    QFETCH(QStringList, steps);
    QFETCH(int, error);
    QFETCH(QStringList, entries);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    script = {};
    script.linkError = EPERM;
    script.renameFlagsError = renameFlagsError;
    script.renameError = renameError;
    // Nothing to flush on a file system in user space: not a failure.
    script.fdatasyncError = EINVAL;
    MergeOutput output(path(dir.filePath(u"merged.txt"_s)), MergeOutput::Temporary::Named, &fakeCalls);
    QVERIFY(output.open().ok());
    QVERIFY(output.write("line\r\n", 6).ok());
    if (nameTaken)
        QVERIFY(writeBytes(dir.filePath(u"merged.txt"_s), "theirs"));

    const MergeResult result = output.publish();
    QCOMPARE(result.error, error);
    QCOMPARE(result.status, error == 0        ? MergeStatus::Ok
                            : error == EEXIST ? MergeStatus::AlreadyExists
                                              : MergeStatus::OutputFailed);
    QCOMPARE(script.steps, steps);
    QCOMPARE(signalcleanup::armedCount(), 0);
    QCOMPARE(entriesOf(dir.path()), entries);
    if (!entries.isEmpty())
        QCOMPARE(readBytes(dir.filePath(u"merged.txt"_s)),
                 nameTaken ? QByteArray("theirs") : QByteArray("line\r\n"));
}

// A termination signal between reserving the name and renaming over it (a logout,
// Ctrl+C) removes both the reservation and the temporary file. In a child process,
// which the signal ends.
void TestOutputSteps::terminationWhileRenamingOverReservation()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        // Qt Test handles some termination signals itself; this one is left to the guards.
        ::signal(SIGUSR1, SIG_DFL);
        script = {};
        script.linkError = EPERM;
        script.renameFlagsError = EINVAL;
        script.signalAtRename = SIGUSR1;
        MergeOutput output(path(dir.filePath(u"merged.txt"_s)), MergeOutput::Temporary::Named, &fakeCalls);
        if (output.open().ok() && output.write("line\r\n", 6).ok())
            (void)output.publish();
        ::_exit(0);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFSIGNALED(status));
    QCOMPARE(WTERMSIG(status), SIGUSR1);
    QCOMPARE(allEntries(dir.path()), QStringList());
}

// The system's own calls, for which the fakes above stand in, on a real file system:
// those that must not replace a file do not.
void TestOutputSteps::systemCallsReplaceNothing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeBytes(dir.filePath(u"theirs.txt"_s), "theirs"));
    QVERIFY(writeBytes(dir.filePath(u"mine.tmp"_s), "mine"));
    const OutputCalls& calls = systemOutputCalls();
    const int folder = ::open(QFile::encodeName(dir.path()).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    QVERIFY(folder >= 0);
    const auto failsWith = [](int result) { return result < 0 ? errno : 0; };

    QCOMPARE(failsWith(calls.createNew(folder, "theirs.txt")), EEXIST);
    QCOMPARE(failsWith(calls.renameNoReplace(folder, "mine.tmp", "theirs.txt")), EEXIST);
    QCOMPARE(failsWith(calls.linkat(folder, "mine.tmp", folder, "theirs.txt", 0)), EEXIST);
    QCOMPARE(readBytes(dir.filePath(u"theirs.txt"_s)), QByteArray("theirs"));

    // A reservation is created empty, and only it is renamed over.
    const int reserved = calls.createNew(folder, "merged.txt");
    QVERIFY(reserved >= 0);
    QCOMPARE(calls.fsync(reserved), 0);
    QCOMPARE(calls.fdatasync(reserved), 0);
    ::close(reserved);
    QCOMPARE(calls.rename(folder, "mine.tmp", "merged.txt"), 0);
    QCOMPARE(readBytes(dir.filePath(u"merged.txt"_s)), QByteArray("mine"));
    QCOMPARE(calls.unlinkat(folder, "merged.txt", 0), 0);
    const int unnamed = calls.openUnnamed(folder, O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    QVERIFY2(unnamed >= 0 || errno == EOPNOTSUPP, std::strerror(errno));
    if (unnamed >= 0)
        ::close(unnamed);
    ::close(folder);
    QCOMPARE(allEntries(dir.path()), QStringList{u"theirs.txt"_s});
}

// A merge that fails removes its temporary name, also where the removal is
// interrupted by a signal at first.
void TestOutputSteps::discardRetriesInterruptedRemoval()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    script = {};
    script.unlinkFailures = 3;
    script.unlinkError = EINTR;
    MergeOutput output(path(dir.filePath(u"merged.txt"_s)), MergeOutput::Temporary::Named, &fakeCalls);
    QVERIFY(output.open().ok());
    output.discard();
    QCOMPARE(script.steps.count(u"unlink temporary"_s), 4);
    QCOMPARE(allEntries(dir.path()), QStringList());
}

void TestOutputSteps::directWriteAlignment_data()
{
    QTest::addColumn<quint32>("offsetAlignment");
    QTest::addColumn<quint32>("memoryAlignment");
    QTest::addColumn<qsizetype>("alignment");

    QTest::newRow("same") << 512u << 512u << qsizetype(512);
    QTest::newRow("memory stricter") << 512u << 4096u << qsizetype(4096);
    QTest::newRow("offset stricter") << 4096u << 512u << qsizetype(4096);
    QTest::newRow("no alignment stated") << 0u << 4096u << qsizetype(0);
}

void TestOutputSteps::directWriteAlignment()
{
    QFETCH(quint32, offsetAlignment);
    QFETCH(quint32, memoryAlignment);
    QFETCH(qsizetype, alignment);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    script = {};
    script.offsetAlignment = offsetAlignment;
    script.memoryAlignment = memoryAlignment;
    MergeOutput output(path(dir.filePath(u"merged.txt"_s)), MergeOutput::Temporary::Unnamed, &fakeCalls);
    QVERIFY(output.open().ok());
    QCOMPARE(output.beginDirectWrites(), alignment);
}

namespace {

char* protectedPage = nullptr;
int armedWhileNaming = -1;

// Runs in the middle of copying the guard's name, which reaches into a page that
// cannot be read; makes the page readable and lets the copy go on.
void onReadingProtectedName(int, siginfo_t*, void*)
{
    armedWhileNaming = signalcleanup::armedCount();
    ::mprotect(protectedPage, size_t(::getpagesize()), PROT_READ | PROT_WRITE);
}

} // namespace

// A signal that arrives while a guard's name is being copied must find the guard
// not yet armed: armed, it would remove whatever file the name's old bytes name.
void TestOutputSteps::guardArmedOnceNamed()
{
    const size_t page = size_t(::getpagesize());
    void* const memory =
        ::mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    QVERIFY(memory != MAP_FAILED);
    char* const name = static_cast<char*>(memory) + page - 8;
    std::memcpy(name, ".tamborel-guarded.tmp", 16);
    protectedPage = static_cast<char*>(memory) + page;
    QCOMPARE(::mprotect(protectedPage, page, PROT_NONE), 0);

    struct sigaction action = {};
    action.sa_sigaction = onReadingProtectedName;
    action.sa_flags = SA_SIGINFO;
    struct sigaction previous = {};
    QCOMPARE(::sigaction(SIGSEGV, &action, &previous), 0);
    armedWhileNaming = -1;
    const int guard = signalcleanup::arm(STDIN_FILENO, QByteArray::fromRawData(name, 16));
    ::sigaction(SIGSEGV, &previous, nullptr);
    const int armedAfter = signalcleanup::armedCount();
    signalcleanup::disarm(guard);
    ::munmap(memory, 2 * page);

    QCOMPARE(armedWhileNaming, 0);
    QCOMPARE(armedAfter, 1);
}

QTEST_GUILESS_MAIN(TestOutputSteps)
#include "tst_outputsteps_linux.moc"
