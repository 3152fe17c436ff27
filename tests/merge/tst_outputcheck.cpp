#include "MergeTestFiles.h"
#include "merge/NamePattern.h"
#include "merge/OutputCheck.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

// The checks before a merge: the existence test with its patterns and exclusions,
// the names the platform cannot search, and creating the missing output folder.
class TestOutputCheck final : public QObject
{
    Q_OBJECT

private slots:
    void namePattern_data();
    void namePattern();
    void existence_data();
    void existence();
    void linksAndPipesNeverMatch_data();
    void linksAndPipesNeverMatch();
    void createFolder_data();
    void createFolder();
};

Q_DECLARE_METATYPE(ExistenceStatus)

using namespace Qt::StringLiterals;

namespace {

#ifdef Q_OS_WIN
constexpr auto platformCase = ExistenceStatus::Exists;
#else
constexpr auto platformCase = ExistenceStatus::NoMatch;
#endif

const QString overlong = QString(300, u'x');

} // namespace

void TestOutputCheck::namePattern_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("caseInsensitive");
    QTest::addColumn<bool>("matches");

    QTest::newRow("literal") << "r1.txt"
                             << "r1.txt" << false << true;
    QTest::newRow("literal differs") << "r1.txt"
                                     << "r2.txt" << false << false;
    QTest::newRow("? one character") << "r?.txt"
                                     << "r1.txt" << false << true;
    QTest::newRow("? not zero characters") << "r?.txt"
                                           << "r.txt" << false << false;
    QTest::newRow("? not two characters") << "r?.txt"
                                          << "r12.txt" << false << false;
    QTest::newRow("* empty run") << "r*.txt"
                                 << "r.txt" << false << true;
    QTest::newRow("* long run") << "r*.txt"
                                << "report-2024.txt" << false << true;
    QTest::newRow("* alone") << "*"
                             << "anything" << false << true;
    QTest::newRow("* needs backtracking") << "*a*b"
                                          << "xaxxbab" << false << true;
    QTest::newRow("* no match") << "*a*b"
                                << "xaxxbx" << false << false;
    QTest::newRow("pattern longer") << "abc*"
                                    << "ab" << false << false;
    QTest::newRow("brackets literal") << "r[1].txt"
                                      << "r[1].txt" << false << true;
    QTest::newRow("brackets not a class") << "r[1].txt"
                                          << "r1.txt" << false << false;
    QTest::newRow("case differs, exact") << "R1.TXT"
                                         << "r1.txt" << false << false;
    QTest::newRow("case differs, folded") << "R1.TXT"
                                          << "r1.txt" << true << true;
    QTest::newRow("? takes a whole surrogate pair") << "a?b" << u"a\U0001F600b"_s << false << true;
    QTest::newRow("CJK literal") << u"合并?.txt"_s << u"合并1.txt"_s << false << true;
    QTest::newRow("empty pattern") << ""
                                   << "a" << false << false;
}

void TestOutputCheck::namePattern()
{
    QFETCH(QString, pattern);
    QFETCH(QString, name);
    QFETCH(bool, caseInsensitive);
    QFETCH(bool, matches);
    QCOMPARE(matchesNamePattern(pattern, name, caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive),
             matches);
}

void TestOutputCheck::existence_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QString>("name");
    QTest::addColumn<ExistenceStatus>("status");

    const QStringList r1 = {u"r1.txt"_s};
    QTest::newRow("exact name") << r1 << QStringList() << "r1.txt" << ExistenceStatus::Exists;
    QTest::newRow("other name") << r1 << QStringList() << "r2.txt" << ExistenceStatus::NoMatch;
    QTest::newRow("? pattern") << r1 << QStringList() << "r?.txt" << ExistenceStatus::Exists;
    QTest::newRow("* pattern") << r1 << QStringList() << "*.txt" << ExistenceStatus::Exists;
    QTest::newRow("pattern matching nothing") << r1 << QStringList() << "q?.txt" << ExistenceStatus::NoMatch;
    QTest::newRow("letter case") << r1 << QStringList() << "R1.TXT" << platformCase;
    QTest::newRow("folder of that name")
        << QStringList() << QStringList{u"r1.txt"_s} << "r1.txt" << ExistenceStatus::NoMatch;
    QTest::newRow("folder matching the pattern")
        << QStringList() << QStringList{u"r1.txt"_s} << "r?.txt" << ExistenceStatus::NoMatch;
    QTest::newRow("file in subfolder")
        << QStringList{u"sub/r1.txt"_s} << QStringList{u"sub"_s} << "sub/r?.txt" << ExistenceStatus::Exists;
    QTest::newRow("pattern in folder part is literal")
        << QStringList{u"sub/r1.txt"_s} << QStringList{u"sub"_s} << "s?b/r1.txt" << ExistenceStatus::NoMatch;
    QTest::newRow("missing folder") << r1 << QStringList() << "missing/r1.txt" << ExistenceStatus::NoMatch;
    QTest::newRow("folder part is a file")
        << r1 << QStringList() << "r1.txt/r1.txt" << ExistenceStatus::NoMatch;
    QTest::newRow("embedded NUL") << r1 << QStringList() << u"r1\0.txt"_s << ExistenceStatus::BadName;
    QTest::newRow("overlong name") << r1 << QStringList() << overlong + u".txt"_s << ExistenceStatus::BadName;
    QTest::newRow("overlong pattern") << r1 << QStringList() << overlong + u"*"_s << ExistenceStatus::BadName;
    QTest::newRow("overlong folder") << r1 << QStringList() << overlong + u"/r1.txt"_s
                                     << ExistenceStatus::BadName;
    QTest::newRow("overlong folder below a missing one")
        << r1 << QStringList() << u"missing/"_s + overlong + u"/r1.txt"_s << ExistenceStatus::BadName;
#ifndef Q_OS_WIN
    QTest::newRow("longest allowed name")
        << r1 << QStringList() << QString(251, u'y') + u".txt"_s << ExistenceStatus::NoMatch;
    QTest::newRow("hidden file") << QStringList{u".r1.txt"_s} << QStringList() << ".r1.txt"
                                 << ExistenceStatus::NoMatch;
    QTest::newRow("hidden file, pattern")
        << QStringList{u".r1.txt"_s} << QStringList() << "*r1.txt" << ExistenceStatus::NoMatch;
#endif
}

void TestOutputCheck::existence()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, folders);
    QFETCH(QString, name);
    QFETCH(ExistenceStatus, status);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const QString& folder : folders)
        QVERIFY(QDir(dir.path()).mkdir(folder));
    for (const QString& file : files)
        QVERIFY(writeBytes(dir.filePath(file), "x"));

    const ExistenceResult result = checkOutputExists(dir.filePath(name));
    QCOMPARE(result.status, status);
    const bool failed = status == ExistenceStatus::BadName || status == ExistenceStatus::OtherFailure;
    QCOMPARE(result.reason.isEmpty(), !failed);
}

// Entries that only a POSIX file system has: links and the "system" kinds of file
// that the file list never shows.
void TestOutputCheck::linksAndPipesNeverMatch_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<ExistenceStatus>("status");

    QTest::newRow("link to a file") << "link" << ExistenceStatus::Exists;
    QTest::newRow("dangling link") << "dangling" << ExistenceStatus::NoMatch;
    QTest::newRow("link to a folder") << "folderlink" << ExistenceStatus::NoMatch;
    QTest::newRow("named pipe") << "fifo" << ExistenceStatus::NoMatch;
}

void TestOutputCheck::linksAndPipesNeverMatch()
{
#ifdef Q_OS_UNIX
    QFETCH(QString, kind);
    QFETCH(ExistenceStatus, status);

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
    else
        QCOMPARE(::mkfifo(QFile::encodeName(entry).constData(), 0600), 0);

    QCOMPARE(checkOutputExists(dir.filePath(u"r?.txt"_s)).status, status);
#else
    QSKIP("Links and pipes of this kind are POSIX file-system entries");
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
    const QString path = folder.isEmpty() ? folder : dir.filePath(folder);

    const MergeResult result = createOutputFolder(path);
    QCOMPARE(result.ok(), created);
    if (created) {
        QVERIFY(QFileInfo(path).isDir());
        return;
    }
    QCOMPARE(result.status, MergeStatus::FolderFailed);
    QCOMPARE(result.path, path);
    QVERIFY(!result.reason.isEmpty());
    QCOMPARE(allEntries(dir.path()), before);
}

QTEST_GUILESS_MAIN(TestOutputCheck)
#include "tst_outputcheck.moc"
