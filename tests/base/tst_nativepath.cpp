#include "base/NativePath.h"
#include "support/TestPaths.h"

#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;

// Paths in the system's own form: what the user sees of them, and how they compare.
class NativePathTest final : public QObject
{
    Q_OBJECT

private slots:
    void displayText_data();
    void displayText();
    void droppedUrl_data();
    void droppedUrl();
    void liesUnder_data();
    void liesUnder();
};

// File names are bytes on POSIX systems; what the panes show for them.
void NativePathTest::displayText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");

    QTest::newRow("UTF-8") << QByteArray("/texts/\xe5\x90\x88\xe5\xb9\xb6.txt") << u"/texts/合并.txt"_s;
    QTest::newRow("GBK") << QByteArray("/texts/\xba\xcf\xb2\xa2.txt") << u"/texts/合并.txt"_s;
    QTest::newRow("GBK folder, UTF-8 name")
        << QByteArray("/\xba\xcf\xb2\xa2/\xe6\x96\x87.txt") << u"/合并/文.txt"_s;
    QTest::newRow("GB18030 four-byte form") << QByteArray("\x81\x30\x81\x30") << u"\u0080"_s;
    QTest::newRow("neither: bytes shown") << QByteArray("a\xff\xfe.txt") << u"a\\xFF\\xFE.txt"_s;
    QTest::newRow("UTF-8 with a stray byte")
        << QByteArray("\xe6\x8a\xa5\xe5\x91\x8a\xff.txt") << u"报告\\xFF.txt"_s;
    QTest::newRow("control character") << QByteArray("a\nb.txt") << u"a\\x0Ab.txt"_s;
    // ED A0 80 to ED BF BF would be U+D800 to U+DFFF, which UTF-8 must not carry.
    QTest::newRow("surrogate U+D800") << QByteArray("\xed\xa0\x80.txt") << u"\\xED\\xA0\\x80.txt"_s;
    QTest::newRow("surrogate U+DFFF") << QByteArray("\xed\xbf\xbf.txt") << u"\\xED\\xBF\\xBF.txt"_s;
    QTest::newRow("UTF-8 then a surrogate")
        << QByteArray("\xe6\x8a\xa5\xe5\x91\x8a\xed\xa0\x80.txt") << u"报告\\xED\\xA0\\x80.txt"_s;
    QTest::newRow("last before the surrogates") << QByteArray("\xed\x9f\xbf.txt") << u"\uD7FF.txt"_s;
    QTest::newRow("first after the surrogates") << QByteArray("\xee\x80\x80.txt") << u"\uE000.txt"_s;
}

void NativePathTest::displayText()
{
#ifdef Q_OS_WIN
    QSKIP("File names are UTF-16 on Windows");
#else
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    QCOMPARE(NativePath::fromNative(bytes).display(), shown);
#endif
}

// A file manager hands a dropped file over as a URL whose bytes are percent-encoded.
void NativePathTest::droppedUrl_data()
{
    QTest::addColumn<QByteArray>("url");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("GBK") << QByteArray("file:///d/%BA%CF%B2%A2.txt") << QByteArray("/d/\xba\xcf\xb2\xa2.txt");
    QTest::newRow("UTF-8") << QByteArray("file:///d/%E5%90%88.txt") << QByteArray("/d/\xe5\x90\x88.txt");
    QTest::newRow("space and percent") << QByteArray("file:///d/a%20b%25.txt") << QByteArray("/d/a b%.txt");
}

void NativePathTest::droppedUrl()
{
#ifdef Q_OS_WIN
    QSKIP("File names are UTF-16 on Windows");
#else
    QFETCH(QByteArray, url);
    QFETCH(QByteArray, bytes);
    QCOMPARE(NativePath::fromLocalFile(QUrl::fromEncoded(url)).native(), bytes);
#endif
}

// Whether a path lies on a volume, as the drive list asks of its mount points.
void NativePathTest::liesUnder_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("root");
    QTest::addColumn<bool>("under");

#ifdef Q_OS_WIN
    QTest::newRow("drive itself") << u"C:\\"_s << u"C:\\"_s << true;
    QTest::newRow("folder on the drive") << u"C:\\Texts"_s << u"C:\\"_s << true;
    QTest::newRow("other letter case") << u"c:\\texts\\a"_s << u"C:\\Texts"_s << true;
    QTest::newRow("name that only starts alike") << u"C:\\Texts2"_s << u"C:\\Texts"_s << false;
    QTest::newRow("other drive") << u"D:\\Texts"_s << u"C:\\"_s << false;
#else
    QTest::newRow("root itself") << u"/"_s << u"/"_s << true;
    QTest::newRow("anything under the root") << u"/media/usb"_s << u"/"_s << true;
    QTest::newRow("the volume itself") << u"/media/usb"_s << u"/media/usb"_s << true;
    QTest::newRow("below the volume") << u"/media/usb/a/b"_s << u"/media/usb"_s << true;
    QTest::newRow("name that only starts alike") << u"/media/usb2"_s << u"/media/usb"_s << false;
    QTest::newRow("above the volume") << u"/media"_s << u"/media/usb"_s << false;
    QTest::newRow("letter case") << u"/Media/usb"_s << u"/media"_s << false;
#endif
    QTest::newRow("no root") << u"/x"_s << QString() << false;
}

void NativePathTest::liesUnder()
{
    QFETCH(QString, path);
    QFETCH(QString, root);
    QFETCH(bool, under);
    QCOMPARE(::path(path).liesUnder(::path(root)), under);
}

QTEST_GUILESS_MAIN(NativePathTest)
#include "tst_nativepath.moc"
