#include "outputname/OutputName.h"
#include "outputname/OutputPath.h"
#include "support/TestFiles.h"
#include "support/TestPaths.h"

#include <QDir>
#include <QTest>

#include <optional>

// The output name's rules: the name proposed in a folder, the extension test, the
// search for the last separator, and the ".txt" rule built on them, including names
// longer than the 16-bit positions the original program could count; and the file an
// output name names.
class TestOutputName final : public QObject
{
    Q_OBJECT

private slots:
    void defaultOutputName_data();
    void defaultOutputName();
    void extensionOf_data();
    void extensionOf();
    void lastIndexOf_data();
    void lastIndexOf();
    void withTxtExtension_data();
    void withTxtExtension();
    void outputPathOf_data();
    void outputPathOf();
};

using namespace Qt::StringLiterals;

using Index = std::optional<qsizetype>;
Q_DECLARE_METATYPE(Index)

namespace {

const QString longName = QString(40000, u'a');

} // namespace

void TestOutputName::defaultOutputName_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("expected");

    const QString root = path(QDir::rootPath()).absolute().display();
    const QString name = u"Corvalent.txt"_s;
    QTest::newRow("root") << root << root + name;
    QTest::newRow("plain folder") << root + u"Texts"_s << root + u"Texts"_s + sep() + name;
    QTest::newRow("empty") << QString() << sep() + name;
#ifdef Q_OS_WIN
    QTest::newRow("other drive root") << u"D:\\"_s << u"D:\\Corvalent.txt"_s;
#endif
}

void TestOutputName::defaultOutputName()
{
    QFETCH(QString, folder);
    QFETCH(QString, expected);
    QCOMPARE(::defaultOutputName(path(folder)), expected);
}

void TestOutputName::extensionOf_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("extension");

    QTest::newRow("txt") << "D:\\out\\a.txt"
                         << ".txt";
    QTest::newRow("upper case kept") << "D:\\out\\a.TXT"
                                     << ".TXT";
    QTest::newRow("no dot: whole name") << "D:\\out\\a"
                                        << ".D:\\out\\a";
    QTest::newRow("trailing dot") << "D:\\out\\a."
                                  << ".";
    QTest::newRow("dot in folder") << "D:\\my.dir\\a"
                                   << ".dir\\a";
    QTest::newRow("empty") << ""
                           << ".";
    QTest::newRow("last of several dots") << "a.tar.gz"
                                          << ".gz";
    QTest::newRow("dot past 32767") << longName + u".log"_s << ".log";
    QTest::newRow("no dot, long") << longName << u'.' + longName;
    QTest::newRow("dot first, long rest") << u'.' + longName << u'.' + longName;
}

void TestOutputName::extensionOf()
{
    QFETCH(QString, name);
    QFETCH(QString, extension);
    QCOMPARE(::extensionOf(name), extension);
}

void TestOutputName::lastIndexOf_data()
{
    QTest::addColumn<QString>("character");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Index>("index");

    QTest::newRow("last separator") << "\\"
                                    << "D:\\out\\a.txt" << Index(6);
    QTest::newRow("first position") << "\\"
                                    << "\\a" << Index(0);
    QTest::newRow("last position") << "\\"
                                   << "D:\\out\\" << Index(6);
    QTest::newRow("not found") << "\\"
                               << "report.txt" << Index();
    QTest::newRow("empty text") << "\\"
                                << "" << Index();
    QTest::newRow("empty character") << ""
                                     << "abc" << Index();
    QTest::newRow("only first character used") << "\\x"
                                               << "a\\bx" << Index(1);
    QTest::newRow("letter case ignored") << "A"
                                         << "banana" << Index(5);
    QTest::newRow("past 32767") << "\\" << longName + u'\\' << Index(40000);
    QTest::newRow("past 65535") << "\\" << QString(70000, u'\\') << Index(69999);
}

void TestOutputName::lastIndexOf()
{
    QFETCH(QString, character);
    QFETCH(QString, text);
    QFETCH(Index, index);
    const Index found = ::lastIndexOf(character, text);
    QCOMPARE(found.has_value(), index.has_value());
    QCOMPARE(found.value_or(-1), index.value_or(-1));
}

void TestOutputName::withTxtExtension_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("result");

    QTest::newRow("no extension") << "D:\\out\\report"
                                  << "D:\\out\\report.txt";
    QTest::newRow("upper-case .TXT kept") << "D:\\out\\report.TXT"
                                          << "D:\\out\\report.TXT";
    QTest::newRow("mixed-case .tXt kept") << "/out/report.tXt"
                                          << "/out/report.tXt";
    QTest::newRow("trailing dot") << "D:\\out\\report."
                                  << "D:\\out\\report..txt";
    QTest::newRow("trailing blank") << "D:\\out\\report.txt "
                                    << "D:\\out\\report.txt .txt";
    QTest::newRow("dot only in folder") << "D:\\my.dir\\report"
                                        << "D:\\my.dir\\report.txt";
    QTest::newRow("ends in separator") << "D:\\out\\"
                                       << "D:\\out\\.txt";
    QTest::newRow("ends in slash") << "/out/"
                                   << "/out/.txt";
    QTest::newRow("empty") << ""
                           << ".txt";
    QTest::newRow("other extension") << "notes.log"
                                     << "notes.log.txt";
    QTest::newRow("txt not last") << "notes.txt.bak"
                                  << "notes.txt.bak.txt";
    QTest::newRow("long name") << longName << longName + u".txt"_s;
}

void TestOutputName::withTxtExtension()
{
    QFETCH(QString, name);
    QFETCH(QString, result);
    QCOMPARE(::withTxtExtension(name), result);
}

void TestOutputName::outputPathOf_data()
{
    QTest::addColumn<QByteArray>("folder");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray gbk("/d/\xba\xcf\xb2\xa2");
    QTest::newRow("proposed name keeps the folder's bytes")
        << gbk << u"/d/合并/Corvalent.txt"_s << gbk + "/Corvalent.txt";
    QTest::newRow("typed name below the folder shown")
        << gbk << u"/d/合并/sub/新.txt"_s << gbk + "/sub/\xe6\x96\xb0.txt";
    QTest::newRow("a folder that only starts alike") << gbk << u"/d/合并2/a.txt"_s
                                                     << QByteArray("/d/\xe5\x90\x88\xe5\xb9\xb6"
                                                                   "2/a.txt");
    QTest::newRow("another folder") << gbk << u"/e/a.txt"_s << QByteArray("/e/a.txt");
    QTest::newRow("relative name") << gbk << u"a.txt"_s << QByteArray("a.txt");
    QTest::newRow("root shown") << QByteArray("/") << u"/a.txt"_s << QByteArray("/a.txt");
}

void TestOutputName::outputPathOf()
{
#ifdef Q_OS_WIN
    QSKIP("File names are UTF-16 on Windows");
#else
    QFETCH(QByteArray, folder);
    QFETCH(QString, typed);
    QFETCH(QByteArray, expected);
    QCOMPARE(::outputPathOf(typed, NativePath::fromNative(folder)), NativePath::fromNative(expected));
#endif
}

QTEST_GUILESS_MAIN(TestOutputName)
#include "tst_outputname.moc"
