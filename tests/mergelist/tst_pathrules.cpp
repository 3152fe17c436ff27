#include "mergelist/PathRules.h"
#include "support/TestPaths.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestPathRules final : public QObject
{
    Q_OBJECT

private slots:
    void buildFullPath_data();
    void buildFullPath();
};

void TestPathRules::buildFullPath_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("expected");

    const auto native = [](const char* path) { return QDir::toNativeSeparators(QString::fromUtf8(path)); };
    QTest::newRow("root folder") << native("/") << u"a.txt"_s << native("/a.txt");
    QTest::newRow("plain folder") << native("/texts/2024") << u"a.txt"_s << native("/texts/2024/a.txt");
    QTest::newRow("folder ending in separator") << native("/texts/") << u"a.txt"_s << native("/texts/a.txt");
    QTest::newRow("empty folder") << QString() << u"a.txt"_s << native("/a.txt");
    QTest::newRow("name kept as given")
        << native("/Texts") << u"合并 Notes.TXT"_s << native("/Texts/合并 Notes.TXT");

    if (QDir::separator() == u'\\') {
        QTest::newRow("drive root") << u"C:\\"_s << u"a.txt"_s << u"C:\\a.txt"_s;
        QTest::newRow("drive folder") << u"C:\\Texts"_s << u"a.txt"_s << u"C:\\Texts\\a.txt"_s;
    } else {
        // On Linux a backslash is an ordinary character of a folder's name.
        QTest::newRow("backslash is no separator") << u"/odd\\"_s << u"a.txt"_s << u"/odd\\/a.txt"_s;
    }
}

void TestPathRules::buildFullPath()
{
    QFETCH(QString, folder);
    QFETCH(QString, fileName);
    QFETCH(QString, expected);

    QCOMPARE(::buildFullPath(path(folder), path(fileName)), path(expected));
}

QTEST_GUILESS_MAIN(TestPathRules)
#include "tst_pathrules.moc"
