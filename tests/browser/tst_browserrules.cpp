#include "base/FileSystemAsker.h"
#include "base/NativePath.h"
#include "browser/DriveFolders.h"
#include "browser/SystemDriveSource.h"
#include "browser/VolumeProbe.h"
#include "support/TestDrives.h"
#include "support/TestFiles.h"
#include "support/TestPaths.h"

#ifdef Q_OS_UNIX
#include "browser/MountTable.h"
#endif

#ifdef Q_OS_LINUX
#include <QScopeGuard>

#include <cstring>
#include <optional>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <future>
#include <tuple>

using namespace Qt::StringLiterals;

// The path and name rules of the browser, without any widget.
class BrowserRulesTest final : public QObject
{
    Q_OBJECT

private slots:
    void driveOf_data();
    void driveOf();
    void currentFolder_data();
    void currentFolder();
    void systemDrivesAreBrowsable();
    void silentVolumes();
    void volumes_data();
    void volumes();
    void mountInfo();
    void mountInfoEscapes_data();
    void mountInfoEscapes();
    void volumeUnmountedLazily();
};

namespace {

// A native path below the test's base folder, from a '/'-separated relative path.
NativePath under(const QTemporaryDir& base, const QString& relative)
{
    return path(relative.isEmpty() ? base.path() : base.filePath(relative)).absolute();
}

} // namespace

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
        source.add(base.filePath(root));
    const DriveFolders folders(source, ::path(base.path()));

    QCOMPARE(folders.driveOf(::path(base.path() + u'/' + path)),
             drive.isEmpty() ? NativePath() : under(base, drive));
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
        source.add(base.filePath(root));
    DriveFolders folders(source, under(base, working));
    for (const QString& folder : shown)
        folders.remember(under(base, folder));

    QCOMPARE(folders.currentFolder(under(base, drive)), under(base, expected));
}

void BrowserRulesTest::systemDrivesAreBrowsable()
{
#ifdef Q_OS_WIN
    constexpr bool isWindows = true;
#else
    constexpr bool isWindows = false;
#endif
    FileSystemAsker asker;
    const SystemDriveSource source(asker);
    const QList<Drive> drives = source.drives();
    QVERIFY(!drives.isEmpty());
    for (const Drive& drive : drives) {
        const QString root = drive.root.display();
        // A volume of the machine that does not answer (a stopped driver of a file
        // system in user space) is listed all the same, and browsed by nobody.
        const bool answered = drive.volume != 0 || drive.root == path(QDir::rootPath()) || isWindows;
        // Asked again while a loaded machine keeps a drive from answering in time.
        if (answered)
            QTRY_VERIFY2(source.isStillMounted(drive), qPrintable(root));
#ifdef Q_OS_WIN
        // "C:\\" shown as "c:", or "c: [System]" with the volume's name.
        QVERIFY2(QRegularExpression(u"^[A-Z]:\\\\$"_s).match(root).hasMatch(), qPrintable(root));
        QVERIFY2(drive.label == root.left(2).toLower() ||
                     drive.label.startsWith(root.left(2).toLower() + u" ["_s),
                 qPrintable(drive.label));
#else
        QVERIFY2(drive.label == root || drive.label.endsWith(u" ("_s + root + u')'), qPrintable(drive.label));
        for (const QString& pseudo : {u"/proc"_s, u"/sys"_s, u"/dev"_s})
            QVERIFY2(!drive.root.liesUnder(path(pseudo)), qPrintable(root));
#endif
    }
#ifdef Q_OS_WIN
    QStringList letters;
    for (const Drive& drive : drives)
        letters << drive.root.display();
    QVERIFY2(std::is_sorted(letters.cbegin(), letters.cend()), qPrintable(letters.join(u' ')));
    QVERIFY2(letters.contains(QDir::toNativeSeparators(QDir::rootPath()).toUpper()),
             qPrintable(letters.join(u' ')));
#else
    QCOMPARE(drives.first().root, path(u"/"_s));
#endif
}

// Volumes that never answer: asked all at once, waited for one short while together,
// and not asked again while their first question is open.
void BrowserRulesTest::silentVolumes()
{
    FileSystemAsker asker;
    auto answer = std::make_shared<std::promise<void>>();
    auto asked = std::make_shared<std::atomic<int>>(0);
    VolumeProbe probe(asker, [asked, until = answer->get_future().share()](const NativePath&) {
        ++*asked;
        until.wait();
        return VolumeAnswer{};
    });
    const QList<NativePath> roots = paths({u"/a"_s, u"/b"_s, u"/c"_s, u"/d"_s, u"/e"_s, u"/f"_s});
    QElapsedTimer held;
    held.start();
    for (int round = 0; round < 2; ++round) {
        for (const VolumeAnswer& volume : probe.ask(roots, std::chrono::milliseconds(300)))
            QVERIFY(!volume.answered);
    }
    // One wait for all six, each round; one after the other they would take 3.6 s.
    QVERIFY2(held.elapsed() < 1800, qPrintable(QString::number(held.elapsed())));
    QCOMPARE(asked->load(), 6);
    answer->set_value();
}

void BrowserRulesTest::volumes_data()
{
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QString>("mountPoint");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("shown"); // empty: not offered

    QTest::newRow("root") << QByteArray("overlay") << u"/"_s << QString() << u"/"_s;
    QTest::newRow("stick with a label")
        << QByteArray("vfat") << u"/media/alice/STICK1"_s << u"备份"_s << u"备份 (/media/alice/STICK1)"_s;
    QTest::newRow("stick without a label")
        << QByteArray("exfat") << u"/media/alice/STICK2"_s << QString() << u"STICK2 (/media/alice/STICK2)"_s;
    QTest::newRow("network share") << QByteArray("cifs") << u"/mnt/share"_s << QString()
                                   << u"share (/mnt/share)"_s;
    QTest::newRow("RAM disk /tmp") << QByteArray("tmpfs") << u"/tmp"_s << QString() << u"tmp (/tmp)"_s;
    QTest::newRow("system's tmpfs under /run")
        << QByteArray("tmpfs") << u"/run/user/1000"_s << QString() << QString();
    QTest::newRow("stick under /run/media")
        << QByteArray("vfat") << u"/run/media/bob/KEY"_s << QString() << u"KEY (/run/media/bob/KEY)"_s;
    QTest::newRow("shared memory") << QByteArray("tmpfs") << u"/dev/shm"_s << QString() << QString();
    QTest::newRow("proc") << QByteArray("proc") << u"/proc"_s << QString() << QString();
    QTest::newRow("cgroup") << QByteArray("cgroup2") << u"/sys/fs/cgroup"_s << QString() << QString();
    QTest::newRow("snap package") << QByteArray("squashfs") << u"/snap/core/1"_s << QString() << QString();
}

void BrowserRulesTest::volumes()
{
#ifdef Q_OS_WIN
    QSKIP("Windows offers its drive letters");
#else
    QFETCH(QByteArray, type);
    QFETCH(QString, mountPoint);
    QFETCH(QString, label);
    QFETCH(QString, shown);
    const bool offered = isUserVolume(type, path(mountPoint));
    QCOMPARE(offered ? driveLabel(label, path(mountPoint)) : QString(), shown);
#endif
}

void BrowserRulesTest::mountInfo()
{
#ifdef Q_OS_WIN
    QSKIP("Windows offers its drive letters");
#else
    const QByteArray text = "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
                            "90 22 8:17 / /media/a\\040b\\134c rw - vfat /dev/sdb1 rw\n"
                            "91 22 0:50 / /mnt/\xba\xcf rw shared:5 master:2 - tmpfs tmpfs rw\n"
                            "broken line\n";
    const QList<MountEntry> entries = parseMountInfo(text);
    QCOMPARE(entries.size(), 3);
    QCOMPARE(entries.at(1).mountPoint, NativePath::fromNative("/media/a b\\c"));
    QCOMPARE(entries.at(1).type, QByteArray("vfat"));
    QCOMPARE(entries.at(1).source, QByteArray("/dev/sdb1"));
    QCOMPARE(entries.at(2).mountPoint, NativePath::fromNative("/mnt/\xba\xcf"));
    QCOMPARE(entries.at(2).type, QByteArray("tmpfs"));
#endif
}

// Escapes that end a field, and escapes cut short, which the kernel never writes
// (it writes a backslash as \134): those stay the bytes they are.
void BrowserRulesTest::mountInfoEscapes_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("mountPoint");
    QTest::addColumn<QByteArray>("source");

    // The source ends the line when no super options follow it.
    const auto line = [](const QByteArray& mountPoint, const QByteArray& source) {
        return "90 22 8:17 / " + mountPoint + " rw shared:1 - vfat " + source;
    };
    const QList<std::tuple<const char*, QByteArray, QByteArray, QByteArray, QByteArray>> rows = {
        {"escape ends the mount point", "/media/usb\\040", "/dev/sdb1", "/media/usb ", "/dev/sdb1"},
        {"escape ends the line", "/mnt/share", "//srv/a\\040", "/mnt/share", "//srv/a "},
        {"escapes only", "/\\134\\040", "x", "/\\ ", "x"},
        {"cut short at the end of the mount point", "/media/usb\\04", "x", "/media/usb\\04", "x"},
        {"cut short at the end of the line", "/mnt/share", "/dev/b\\04", "/mnt/share", "/dev/b\\04"},
        {"backslash alone at the end", "/media/usb\\", "/dev/b\\", "/media/usb\\", "/dev/b\\"},
        {"not octal", "/media/a\\038", "x", "/media/a\\038", "x"},
    };
    for (const auto& [name, mountPoint, source, expectedPoint, expectedSource] : rows)
        QTest::newRow(name) << line(mountPoint, source) << expectedPoint << expectedSource;
}

void BrowserRulesTest::mountInfoEscapes()
{
#ifdef Q_OS_WIN
    QSKIP("Windows offers its drive letters");
#else
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, mountPoint);
    QFETCH(QByteArray, source);
    const QList<MountEntry> entries = parseMountInfo(line);
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.at(0).mountPoint, NativePath::fromNative(mountPoint));
    QCOMPARE(entries.at(0).source, source);
#endif
}

// A real RAM disk, then `umount -l`: listed while mounted, and afterwards no longer
// the drive it was, although its mount point stays a readable folder.
void BrowserRulesTest::volumeUnmountedLazily()
{
#ifdef Q_OS_LINUX
    if (::geteuid() != 0)
        QSKIP("Mounting a volume needs root");
    const QTemporaryDir base;
    const QByteArray point = QFile::encodeName(base.filePath(u"ram"_s));
    QCOMPARE(::mkdir(point.constData(), 0700), 0);
    if (::mount("tmpfs", point.constData(), "tmpfs", 0, "size=1m") != 0)
        QSKIP(qPrintable(u"Cannot mount here: "_s + QString::fromLocal8Bit(std::strerror(errno))));
    const auto unmount = qScopeGuard([&point] { ::umount2(point.constData(), MNT_DETACH); });
    FileSystemAsker asker;
    const SystemDriveSource source(asker);
    const auto find = [&source, &point]() -> std::optional<Drive> {
        const QList<Drive> drives = source.drives();
        for (const Drive& drive : drives)
            if (drive.root.native() == point)
                return drive;
        return std::nullopt;
    };

    const std::optional<Drive> drive = find();
    QVERIFY(drive.has_value());
    QCOMPARE(drive->label, u"ram ("_s + QFile::decodeName(point) + u')');
    QVERIFY(source.isStillMounted(*drive));
    QCOMPARE(::umount2(point.constData(), MNT_DETACH), 0);
    QVERIFY(!source.isStillMounted(*drive));
    QVERIFY(!find().has_value());
#else
    QSKIP("Mounting is tried on Linux only");
#endif
}

QTEST_GUILESS_MAIN(BrowserRulesTest)
#include "tst_browserrules.moc"
