#include "TestDrives.h"
#include "browser/DriveFolders.h"
#include "browser/NativePath.h"
#include "browser/NaturalOrder.h"
#include "browser/OutputName.h"
#include "browser/SystemDriveSource.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The path and name rules of the browser, without any widget.
class BrowserRulesTest final : public QObject
{
    Q_OBJECT

private slots:
    void naturalLess_data();
    void naturalLess();
    void defaultOutputName_data();
    void defaultOutputName();
    void driveOf_data();
    void driveOf();
    void currentFolder_data();
    void currentFolder();
    void systemDrivesAreBrowsable();
};

namespace {

struct OrderCase
{
    const char* name;
    const char* a;
    const char* b;
    bool aFirst;
};

constexpr OrderCase orderCases[] = {
    {"numbers by value", "file2", "file10", true},
    {"case ignored before value", "file10", "File11", true},
    {"bigger number last", "File11", "file2", false},
    {"case ignored, letters", "a", "B", true},
    {"prefix first", "abc", "abcd", true},
    {"number decides before suffix", "x9y", "x10a", true},
    {"later numbers", "a2b3", "a2b10", true},
    {"longer than 64 bits", "v99999999999999999999", "v100000000000000000000", true},
    {"leading zeros tie, exact order decides", "a01", "a1", true},
    {"case tie, exact order decides", "A", "a", true},
    {"tie broken only after the rest", "a01b", "a1a", false},
    {"space before digit", "file 2", "file2", true},
    {"non-ASCII case ignored", "\xC3\xA4pfel", "\xC3\x84quator", true},
    {"equal is not less", "same", "same", false},
};

// A native path below the test's base folder, from a '/'-separated relative path.
QString under(const QTemporaryDir& base, const QString& relative)
{
    return nativeFolder(relative.isEmpty() ? base.path() : base.filePath(relative));
}

} // namespace

void BrowserRulesTest::naturalLess_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("aFirst");
    for (const OrderCase& c : orderCases)
        QTest::newRow(c.name) << QString::fromUtf8(c.a) << QString::fromUtf8(c.b) << c.aFirst;
}

void BrowserRulesTest::naturalLess()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, aFirst);

    QCOMPARE(::naturalLess(a, b), aFirst);
    // A strict total order: of two different names exactly one comes first.
    QCOMPARE(::naturalLess(b, a), a != b && !aFirst);
}

void BrowserRulesTest::defaultOutputName_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("expected");

    const QString sep = QDir::separator();
    const QString root = nativeFolder(QDir::rootPath());
    const QString name = u"Corvalent.txt"_s;
    QTest::newRow("root") << root << root + name;
    QTest::newRow("plain folder") << root + u"Texts"_s << root + u"Texts"_s + sep + name;
    QTest::newRow("empty") << QString() << sep + name;
#ifdef Q_OS_WIN
    QTest::newRow("other drive root") << u"D:\\"_s << u"D:\\Corvalent.txt"_s;
#endif
}

void BrowserRulesTest::defaultOutputName()
{
    QFETCH(QString, folder);
    QFETCH(QString, expected);
    QCOMPARE(::defaultOutputName(folder), expected);
}

void BrowserRulesTest::driveOf_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("drive");

    QTest::newRow("folder on outer drive") << u"outer/texts"_s << u"outer"_s;
    QTest::newRow("the root itself") << u"outer"_s << u"outer"_s;
    QTest::newRow("nested drive wins") << u"outer/inner/deep"_s << u"outer/inner"_s;
    QTest::newRow("sibling named like the nested root") << u"outer/inner2"_s << u"outer"_s;
    QTest::newRow("root that prefixes another name") << u"usb2/x"_s << u"usb2"_s;
    QTest::newRow("trailing separator") << u"usb/x/"_s << u"usb"_s;
    QTest::newRow("dots cleaned away") << u"usb2/x/../../usb/y"_s << u"usb"_s;
    QTest::newRow("on no drive") << u"elsewhere/x"_s << QString();
}

void BrowserRulesTest::driveOf()
{
    QFETCH(QString, path);
    QFETCH(QString, drive);

    const QTemporaryDir base;
    TestDrives source;
    // Nested roots come first, so the longest match must win over list order.
    for (const QString& root : {u"outer/inner"_s, u"outer"_s, u"usb2"_s, u"usb"_s})
        source.add(under(base, root));
    const DriveFolders folders(source, base.path());

    QCOMPARE(folders.driveOf(base.path() + u'/' + path), drive.isEmpty() ? QString() : under(base, drive));
}

void BrowserRulesTest::currentFolder_data()
{
    QTest::addColumn<QString>("working");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("drive");
    QTest::addColumn<QString>("expected");

    const QStringList none;
    QTest::newRow("working folder on the drive") << u"c/work"_s << none << u"c"_s << u"c/work"_s;
    QTest::newRow("working folder on another drive") << u"d/work"_s << none << u"c"_s << u"c"_s;
    QTest::newRow("working folder on the outer drive") << u"c/work"_s << none << u"c/mnt"_s << u"c/mnt"_s;
    QTest::newRow("last shown replaces working")
        << u"c/work"_s << QStringList{u"c/x"_s, u"c/y/z"_s} << u"c"_s << u"c/y/z"_s;
    QTest::newRow("other drive's folder ignored")
        << u"c/work"_s << QStringList{u"d/x"_s} << u"c"_s << u"c/work"_s;
    QTest::newRow("nested drive's folder")
        << u"c/work"_s << QStringList{u"c/mnt/a"_s} << u"c/mnt"_s << u"c/mnt/a"_s;
    QTest::newRow("nested drive's folder not the outer's")
        << u"c/work"_s << QStringList{u"c/mnt/a"_s} << u"c"_s << u"c/work"_s;
    QTest::newRow("root shown again") << u"c/work"_s << QStringList{u"c/x"_s, u"c"_s} << u"c"_s << u"c"_s;
}

void BrowserRulesTest::currentFolder()
{
    QFETCH(QString, working);
    QFETCH(QStringList, shown);
    QFETCH(QString, drive);
    QFETCH(QString, expected);

    const QTemporaryDir base;
    TestDrives source;
    for (const QString& root : {u"c"_s, u"c/mnt"_s, u"d"_s})
        source.add(under(base, root));
    DriveFolders folders(source, under(base, working));
    for (const QString& folder : shown)
        folders.remember(under(base, folder));

    QCOMPARE(folders.currentFolder(under(base, drive)), under(base, expected));
}

void BrowserRulesTest::systemDrivesAreBrowsable()
{
    const QList<Drive> drives = SystemDriveSource().drives();
    QVERIFY(!drives.isEmpty());
    for (const Drive& drive : drives) {
        QVERIFY2(QFileInfo(drive.root).isDir() || !QFileInfo::exists(drive.root), qPrintable(drive.root));
#ifdef Q_OS_WIN
        QVERIFY2(drive.root.endsWith(u'\\'), qPrintable(drive.root));
#else
        QVERIFY2(drive.label.startsWith(drive.root), qPrintable(drive.label));
        for (const QString& pseudo : {u"/proc"_s, u"/sys"_s, u"/dev"_s})
            QVERIFY2(!liesUnder(drive.root, pseudo), qPrintable(drive.root));
#endif
    }
#ifndef Q_OS_WIN
    QCOMPARE(drives.first().root, u"/"_s);
#endif
}

QTEST_GUILESS_MAIN(BrowserRulesTest)
#include "tst_browserrules.moc"
