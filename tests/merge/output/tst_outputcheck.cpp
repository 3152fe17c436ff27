#include "merge/output/NamePattern.h"
#include "merge/output/OutputCheck.h"
#include "outputname/DeviceName.h"
#include "support/TestFiles.h"
#include "support/TestPaths.h"
#include "support/Wine.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#else
#include <windows.h>
#endif

// The checks before a merge: the existence test with its patterns and exclusions,
// the names the platform cannot search, and creating the missing output folder.
class TestOutputCheck final : public QObject
{
    Q_OBJECT

private slots:
    void namePattern_data();
    void namePattern();
    void deviceNames_data();
    void deviceNames();
    void existence_data();
    void existence();
    void hiddenFilesNeverMatch_data();
    void hiddenFilesNeverMatch();
    void linksAndPipesNeverMatch_data();
    void linksAndPipesNeverMatch();
    void foldersOutOfReach_data();
    void foldersOutOfReach();
    void createFolder_data();
    void createFolder();
};

Q_DECLARE_METATYPE(MergeStatus)

using namespace Qt::StringLiterals;

namespace {

#ifdef Q_OS_WIN
constexpr auto platformCase = MergeStatus::AlreadyExists;
// "?" is a wildcard only in the last part; in a folder's name Windows refuses it.
constexpr auto wildcardInFolder = MergeStatus::BadName;
// The search opens the folder part as a folder, which a file is not.
constexpr auto fileAsFolder = MergeStatus::BadName;
#else
constexpr auto platformCase = MergeStatus::Ok;
constexpr auto wildcardInFolder = MergeStatus::Ok;
constexpr auto fileAsFolder = MergeStatus::Ok;
#endif

const QString overlong = QString(300, u'x');

} // namespace

void TestOutputCheck::namePattern_data()
{
    QTest::addColumn<QByteArray>("pattern");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("matches");

    QTest::newRow("literal") << QByteArray("r1.txt") << QByteArray("r1.txt") << true;
    QTest::newRow("literal differs") << QByteArray("r1.txt") << QByteArray("r2.txt") << false;
    QTest::newRow("? one character") << QByteArray("r?.txt") << QByteArray("r1.txt") << true;
    QTest::newRow("? not zero characters") << QByteArray("r?.txt") << QByteArray("r.txt") << false;
    QTest::newRow("? not two characters") << QByteArray("r?.txt") << QByteArray("r12.txt") << false;
    QTest::newRow("* empty run") << QByteArray("r*.txt") << QByteArray("r.txt") << true;
    QTest::newRow("* long run") << QByteArray("r*.txt") << QByteArray("report-2024.txt") << true;
    QTest::newRow("* alone") << QByteArray("*") << QByteArray("anything") << true;
    QTest::newRow("* needs backtracking") << QByteArray("*a*b") << QByteArray("xaxxbab") << true;
    QTest::newRow("* no match") << QByteArray("*a*b") << QByteArray("xaxxbx") << false;
    QTest::newRow("pattern longer") << QByteArray("abc*") << QByteArray("ab") << false;
    QTest::newRow("brackets literal") << QByteArray("r[1].txt") << QByteArray("r[1].txt") << true;
    QTest::newRow("brackets not a class") << QByteArray("r[1].txt") << QByteArray("r1.txt") << false;
    QTest::newRow("case differs") << QByteArray("R1.TXT") << QByteArray("r1.txt") << false;
    QTest::newRow("? takes a whole four-byte character") << QByteArray("a?b")
                                                         << QByteArray("a\xf0\x9f\x98\x80"
                                                                       "b")
                                                         << true;
    QTest::newRow("CJK literal") << QByteArray("\xe5\x90\x88?.txt")
                                 << QByteArray("\xe5\x90\x88"
                                               "1.txt")
                                 << true;
    QTest::newRow("? takes one byte of a GBK name")
        << QByteArray("\xba\xcf\xb2?.txt") << QByteArray("\xba\xcf\xb2\xa2.txt") << true;
    QTest::newRow("GBK name is not its UTF-8 look-alike")
        << QByteArray("\xe5\x90\x88\xe5\xb9\xb6.txt") << QByteArray("\xba\xcf\xb2\xa2.txt") << false;
    QTest::newRow("nor the replacement characters")
        << QByteArray("\xef\xbf\xbd\xef\xbf\xbd.txt") << QByteArray("\xba\xcf\xb2\xa2.txt") << false;
    QTest::newRow("empty pattern") << QByteArray() << QByteArray("a") << false;
}

void TestOutputCheck::namePattern()
{
    QFETCH(QByteArray, pattern);
    QFETCH(QByteArray, name);
    QFETCH(bool, matches);
    QCOMPARE(matchesNamePattern(pattern, name), matches);
}

void TestOutputCheck::deviceNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("device");

    const QStringList devices = {u"CON"_s,         u"con.txt"_s,  u"Prn.TXT"_s,   u"aux.log.txt"_s,
                                 u"NUL"_s,         u"COM1.txt"_s, u"com9.txt"_s,  u"LPT1.txt"_s,
                                 u"lpt9"_s,        u"CON .txt"_s, u"CON  .txt"_s, u"com\u00b9.txt"_s,
                                 u"CONOUT$.txt"_s, u"conin$"_s};
    for (const QString& name : devices)
        QTest::newRow(qPrintable(name)) << name << true;
    const QStringList files = {u"CONS.txt"_s, u"icon.txt"_s,  u"COM0.txt"_s, u"COM10.txt"_s,
                               u"LPT.txt"_s,  u"COM.txt"_s,   u"x.CON"_s,    u" CON.txt"_s,
                               u"NULL.txt"_s, u"CON-1.txt"_s, u""_s};
    for (const QString& name : files)
        QTest::newRow(qPrintable(u"file "_s + name)) << name << false;
}

void TestOutputCheck::deviceNames()
{
    QFETCH(QString, name);
    QFETCH(bool, device);
    QCOMPARE(isWindowsDeviceName(name), device);
}

void TestOutputCheck::existence_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QString>("name");
    QTest::addColumn<MergeStatus>("status");

    const QStringList r1 = {u"r1.txt"_s};
    QTest::newRow("exact name") << r1 << QStringList() << "r1.txt" << MergeStatus::AlreadyExists;
    QTest::newRow("other name") << r1 << QStringList() << "r2.txt" << MergeStatus::Ok;
    QTest::newRow("? pattern") << r1 << QStringList() << "r?.txt" << MergeStatus::AlreadyExists;
    QTest::newRow("* pattern") << r1 << QStringList() << "*.txt" << MergeStatus::AlreadyExists;
    QTest::newRow("pattern matching nothing") << r1 << QStringList() << "q?.txt" << MergeStatus::Ok;
    QTest::newRow("letter case") << r1 << QStringList() << "R1.TXT" << platformCase;
    QTest::newRow("folder of that name")
        << QStringList() << QStringList{u"r1.txt"_s} << "r1.txt" << MergeStatus::AlreadyExists;
    QTest::newRow("folder matching the pattern")
        << QStringList() << QStringList{u"r1.txt"_s} << "r?.txt" << MergeStatus::Ok;
    QTest::newRow("file in subfolder") << QStringList{u"sub/r1.txt"_s} << QStringList{u"sub"_s}
                                       << "sub/r?.txt" << MergeStatus::AlreadyExists;
    QTest::newRow("pattern in folder part is literal")
        << QStringList{u"sub/r1.txt"_s} << QStringList{u"sub"_s} << "s?b/r1.txt" << wildcardInFolder;
    QTest::newRow("missing folder") << r1 << QStringList() << "missing/r1.txt" << MergeStatus::Ok;
    QTest::newRow("folder part is a file") << r1 << QStringList() << "r1.txt/r1.txt" << fileAsFolder;
    QTest::newRow("embedded NUL") << r1 << QStringList() << u"r1\0.txt"_s << MergeStatus::BadName;
    QTest::newRow("overlong name") << r1 << QStringList() << overlong + u".txt"_s << MergeStatus::BadName;
    QTest::newRow("overlong pattern") << r1 << QStringList() << overlong + u"*"_s << MergeStatus::BadName;
    QTest::newRow("overlong folder") << r1 << QStringList() << overlong + u"/r1.txt"_s
                                     << MergeStatus::BadName;
    QTest::newRow("overlong folder below a missing one")
        << r1 << QStringList() << u"missing/"_s + overlong + u"/r1.txt"_s << MergeStatus::BadName;
#ifdef Q_OS_WIN
    QTest::newRow("device name") << r1 << QStringList() << "CON.txt" << MergeStatus::BadName;
    QTest::newRow("device name in a folder")
        << r1 << QStringList{u"sub"_s} << "sub/lpt1.TXT" << MergeStatus::BadName;
    QTest::newRow("forbidden character") << r1 << QStringList() << "r<1>.txt" << MergeStatus::BadName;
    QTest::newRow("colon, as in a file's stream")
        << r1 << QStringList() << "notes:1.txt" << MergeStatus::BadName;
#else
    QTest::newRow("longest allowed name")
        << r1 << QStringList() << QString(251, u'y') + u".txt"_s << MergeStatus::Ok;
#endif
}

void TestOutputCheck::existence()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, folders);
    QFETCH(QString, name);
    QFETCH(MergeStatus, status);

    if (runsUnderWine() && name.contains(overlong))
        QSKIP("Wine answers \"not found\" for a name longer than 255 characters, where Windows answers "
              "\"invalid name\"");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const QString& folder : folders)
        QVERIFY(QDir(dir.path()).mkdir(folder));
    for (const QString& file : files)
        QVERIFY(writeBytes(dir.filePath(file), "x"));

    const MergeResult result = checkOutputExists(path(dir.filePath(name)));
    QCOMPARE(result.status, status);
    const bool failed = status == MergeStatus::BadName || status == MergeStatus::CannotCheck;
    QCOMPARE(result.error != 0, failed);
}

// What the file list never shows never matches a pattern, yet blocks its own name:
// dot files on POSIX, files marked hidden or system on Windows.
void TestOutputCheck::hiddenFilesNeverMatch_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("mark"); // the Windows attribute it is given
    QTest::addColumn<QString>("name");
    QTest::addColumn<MergeStatus>("status");

#ifdef Q_OS_WIN
    QTest::newRow("hidden file, pattern") << "r1.txt"
                                          << "hidden"
                                          << "*r1.txt" << MergeStatus::Ok;
    QTest::newRow("hidden file of that name") << "r1.txt"
                                              << "hidden"
                                              << "r1.txt" << MergeStatus::AlreadyExists;
    QTest::newRow("system file, pattern") << "r1.txt"
                                          << "system"
                                          << "r?.txt" << MergeStatus::Ok;
    QTest::newRow("system file of that name") << "r1.txt"
                                              << "system"
                                              << "R1.txt" << MergeStatus::AlreadyExists;
#else
    QTest::newRow("hidden file, pattern") << ".r1.txt"
                                          << ""
                                          << "*r1.txt" << MergeStatus::Ok;
    QTest::newRow("hidden file of that name") << ".r1.txt"
                                              << ""
                                              << ".r1.txt" << MergeStatus::AlreadyExists;
#endif
}

void TestOutputCheck::hiddenFilesNeverMatch()
{
    QFETCH(QString, file);
    QFETCH(QString, mark);
    QFETCH(QString, name);
    QFETCH(MergeStatus, status);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeBytes(dir.filePath(file), "x"));
#ifdef Q_OS_WIN
    const DWORD attribute = mark == u"system" ? FILE_ATTRIBUTE_SYSTEM : FILE_ATTRIBUTE_HIDDEN;
    QVERIFY(
        SetFileAttributesW(QDir::toNativeSeparators(dir.filePath(file)).toStdWString().c_str(), attribute));
#endif

    const MergeResult result = checkOutputExists(path(dir.filePath(name)));
    QCOMPARE(result.status, status);
    QCOMPARE(result.error, 0);
}

// Entries that only a POSIX file system has: links and the "system" kinds of file
// that the file list never shows. A pattern passes over them, yet each blocks its
// own name, where the merged file could never be published.
void TestOutputCheck::linksAndPipesNeverMatch_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<MergeStatus>("status");

    QTest::newRow("link to a file") << "link"
                                    << "r?.txt" << MergeStatus::AlreadyExists;
    QTest::newRow("dangling link") << "dangling"
                                   << "r?.txt" << MergeStatus::Ok;
    QTest::newRow("link to a folder") << "folderlink"
                                      << "r?.txt" << MergeStatus::Ok;
    QTest::newRow("named pipe") << "fifo"
                                << "r?.txt" << MergeStatus::Ok;
    QTest::newRow("dangling link at the name") << "dangling"
                                               << "r1.txt" << MergeStatus::AlreadyExists;
    QTest::newRow("named pipe at the name") << "fifo"
                                            << "r1.txt" << MergeStatus::AlreadyExists;
    QTest::newRow("folder part a link loop") << "loop"
                                             << "r1.txt/x.txt" << MergeStatus::CannotCheck;
}

void TestOutputCheck::linksAndPipesNeverMatch()
{
#ifdef Q_OS_UNIX
    QFETCH(QString, kind);
    QFETCH(QString, name);
    QFETCH(MergeStatus, status);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeBytes(dir.filePath(u"target"_s), "x"));
    QVERIFY(QDir(dir.path()).mkdir(u"folder"_s));
    const QString entry = dir.filePath(u"r1.txt"_s);
    if (kind == u"link")
        QVERIFY(QFile::link(dir.filePath(u"target"_s), entry));
    else if (kind == u"dangling")
        QVERIFY(QFile::link(dir.filePath(u"gone"_s), entry));
    else if (kind == u"folderlink")
        QVERIFY(QFile::link(dir.filePath(u"folder"_s), entry));
    else if (kind == u"loop")
        QVERIFY(QFile::link(entry, entry));
    else
        QCOMPARE(::mkfifo(QFile::encodeName(entry).constData(), 0600), 0);

    const MergeResult result = checkOutputExists(path(dir.filePath(name)));
    QCOMPARE(result.status, status);
    QCOMPARE(result.error != 0, status == MergeStatus::CannotCheck);
#else
    QSKIP("Links and pipes of this kind are POSIX file-system entries");
#endif
}

void TestOutputCheck::foldersOutOfReach_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("name");
    QTest::addColumn<MergeStatus>("status");

    QTest::newRow("folder that cannot be searched") << 0600 << "r1.txt" << MergeStatus::CannotCheck;
    QTest::newRow("folder that cannot be listed, pattern") << 0333 << "r?.txt" << MergeStatus::CannotCheck;
    // A plain name needs no listing: a folder that may only be written takes the file.
    QTest::newRow("folder that cannot be listed, plain name") << 0333 << "r1.txt" << MergeStatus::Ok;
}

// Permission denied is a failure of the search, never "no such file". Root passes
// every permission check, so as root the check runs in a child as nobody.
void TestOutputCheck::foldersOutOfReach()
{
#ifdef Q_OS_UNIX
    QFETCH(int, mode);
    QFETCH(QString, name);
    QFETCH(MergeStatus, status);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                  QFile::ReadOther | QFile::ExeOther));
    QVERIFY(QDir(dir.path()).mkdir(u"out"_s));
    QCOMPARE(::chmod(QFile::encodeName(dir.filePath(u"out"_s)).constData(), mode_t(mode)), 0);
    const NativePath output = path(dir.filePath(u"out/"_s + name));
    const auto cleanup = qScopeGuard([&dir] {
        QFile::setPermissions(dir.filePath(u"out"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });

    if (::geteuid() != 0) {
        QCOMPARE(checkOutputExists(output).status, status);
        return;
    }
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
        ::_exit(dropped ? static_cast<int>(checkOutputExists(output).status) : 99);
    }
    int exit = 0;
    QCOMPARE(::waitpid(child, &exit, 0), child);
    QVERIFY(WIFEXITED(exit));
    QCOMPARE(static_cast<MergeStatus>(WEXITSTATUS(exit)), status);
#else
    QSKIP("Folder permissions of this kind are POSIX");
#endif
}

void TestOutputCheck::createFolder_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("created");

    QTest::newRow("one missing level") << "new" << true;
    QTest::newRow("already there") << "existing" << true;
    QTest::newRow("two missing levels") << "new/deeper" << false;
    QTest::newRow("a file of that name") << "file" << false;
    QTest::newRow("empty folder part") << "" << false;
}

void TestOutputCheck::createFolder()
{
    QFETCH(QString, folder);
    QFETCH(bool, created);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(u"existing"_s));
    QVERIFY(writeBytes(dir.filePath(u"file"_s), "x"));
    const QStringList before = allEntries(dir.path());
    // An empty folder part stays empty: the name is not made relative to the test folder.
    const QString name = folder.isEmpty() ? folder : dir.filePath(folder);

    const MergeResult result = createOutputFolder(path(name));
    QCOMPARE(result.ok(), created);
    if (created) {
        QVERIFY(QFileInfo(name).isDir());
        return;
    }
    QCOMPARE(result.status, MergeStatus::FolderFailed);
    QCOMPARE(result.path, path(name));
    QVERIFY(result.error != 0);
    QCOMPARE(allEntries(dir.path()), before);
}

QTEST_GUILESS_MAIN(TestOutputCheck)
#include "tst_outputcheck.moc"
