#include "browser/ChineseNumeral.h"
#include "browser/FolderListing.h"
#include "browser/ReadingOrder.h"
#include "support/TestFiles.h"
#include "support/TestPaths.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;

// The order in which the panes show names, and the Chinese numerals it reads.
class ReadingOrderTest final : public QObject
{
    Q_OBJECT

private slots:
    void order_data();
    void order();
    void numeralValue_data();
    void numeralValue();
    void strictWeakOrder();
    void folderListing();
};

void ReadingOrderTest::order_data()
{
    QTest::addColumn<QString>("names");

    const auto row = [](const char* name, const char* names) {
        QTest::newRow(name) << QString::fromUtf8(names);
    };
    // ASCII names keep the order they always had.
    row("numbers by value", "file2|file10|File11");
    row("case ignored, letters", "a|B");
    row("prefix first", "abc|abcd");
    row("number decides before suffix", "x9y|x10a");
    row("later numbers", "a2b3|a2b10");
    row("longer than 64 bits", "v99999999999999999999|v100000000000000000000");
    row("leading zeros tie, exact order decides", "a01|a1");
    row("case tie, exact order decides", "A|a");
    row("tie broken only after the rest", "a1a|a01b");
    row("space before digit", "file 2|file2");
    row("non-ASCII case ignored", "äpfel|Äquator");

    row("chapters in everyday numerals",
        "第一章|第二章|第三章|第四章|第五章|第六章|第七章|第八章|第九章|第十章|第十一章|"
        "第二十章|第九十九章|第一百章|第一百零五章|第一百一十章|第一百二十章|第两千章");
    row("titles after the number", "第二章 风起.txt|第十章 云涌.txt|第一百二十章.txt");
    row("capital numerals", "第壹章|第贰章|第玖章|第拾章|第拾贰章|第壹佰章|第壹仟零壹章");
    row("scripts mixed",
        "第2章|第三章|第４章|第五章|第10章|第十一章|第１２章|第拾叁章|第１００章|第一百零一章");
    row("same value, exact text decides", "第1章|第一章|第１章");
    row("years digit by digit", "二〇二三年|2024年|二〇二五年");
    row("big units", "九千九百九十九|一万|一万零一十|十万|一百万|一亿|一万亿");
    row("prologue and afterword by their characters", "后记|序章|第一章|第二章");
    row("volumes, then chapters", "第一卷/第二章|第一卷/第十章|第二卷/第一章|第十卷/第一章");
    row("decimal chapters", "第42章|第42.5章|第42.10章|第43章");
    row("full-width digits", "第９章|第１０章|第１１章");
    row("not a number compares as characters", "一万|万里");
    row("ill-formed run compares as characters", "一百零一|a|一百零");
    row("too large for 64 bits compares as characters", "a|一二三四五六七八九〇一二三四五六七八九〇一");
}

void ReadingOrderTest::order()
{
    QFETCH(QString, names);

    const QStringList expected = names.split(u'|');
    for (qsizetype i = 0; i < expected.size(); ++i) {
        for (qsizetype j = 0; j < expected.size(); ++j) {
            QVERIFY2(readingLess(expected[i], expected[j]) == (i < j),
                     qPrintable(expected[i] + (i < j ? u" not before "_s : u" before "_s) + expected[j]));
        }
    }
}

void ReadingOrderTest::numeralValue_data()
{
    QTest::addColumn<QString>("run");
    QTest::addColumn<qint64>("value"); // -1: no number

    const auto row = [](const char* run, qint64 value) {
        QTest::newRow(run) << QString::fromUtf8(run) << value;
    };
    row("十", 10);
    row("十一", 11);
    row("一十五", 15);
    row("一百零五", 105);
    row("一百一十", 110);
    row("一百五", 150);
    row("两千", 2000);
    row("两万三", 23000);
    row("一万零一十", 10010);
    row("壹佰零伍", 105);
    row("一亿零五百万", 105000000);
    row("一万亿", 1000000000000);
    row("二〇二四", 2024);
    row("〇", 0);
    row("两", 2);
    row("九九九九九九九九九九九九九九九九九九", 999999999999999999);
    row("百", -1);
    row("万", -1);
    row("十十", -1);
    row("一百零", -1);
    row("零一百", -1);
    row("一二百", -1);
    row("一百一百", -1);
    row("一千二万", -1);
    row("二两", -1);
    row("一亿亿", -1);
    row("一二三四五六七八九〇一二三四五六七八九〇一", -1);
}

void ReadingOrderTest::numeralValue()
{
    QFETCH(QString, run);
    QFETCH(qint64, value);

    const std::optional<std::uint64_t> read = chineseNumeralValue(run);
    QCOMPARE(read ? qint64(*read) : -1, value);
}

// std::sort needs a strict weak order: checked on names mixing every kind of number.
void ReadingOrderTest::strictWeakOrder()
{
    const QString alphabet = u"0129０１９〇零一二两三五九十百千万亿壹贰拾佰仟第章.aA "_s;
    QRandomGenerator random(29);
    QStringList names;
    for (int i = 0; i < 160; ++i) {
        QString name;
        for (int length = random.bounded(7); length > 0; --length)
            name += alphabet[random.bounded(alphabet.size())];
        names << name;
    }
    const qsizetype n = names.size();
    std::vector<std::vector<bool>> less(n, std::vector<bool>(n));
    for (qsizetype i = 0; i < n; ++i) {
        for (qsizetype j = 0; j < n; ++j)
            less[i][j] = readingLess(names[i], names[j]);
    }
    for (qsizetype i = 0; i < n; ++i) {
        QVERIFY2(!less[i][i], qPrintable(names[i]));
        for (qsizetype j = 0; j < n; ++j) {
            // Total, too: two different names are never left equal.
            QVERIFY2(less[i][j] != less[j][i] || names[i] == names[j],
                     qPrintable(names[i] + u'|' + names[j]));
            for (qsizetype k = 0; k < n; ++k) {
                if (less[i][j] && less[j][k] && !less[i][k])
                    QFAIL(qPrintable(names[i] + u'|' + names[j] + u'|' + names[k]));
            }
        }
    }
}

// The panes read folders through the listing: its order is the one they show.
void ReadingOrderTest::folderListing()
{
    const QTemporaryDir base;
    const QStringList files = {u"第十章.txt"_s, u"第二章 风起.txt"_s, u"第１２章.txt"_s,
                               u"第一百零五章.txt"_s, u"第3章.txt"_s};
    const QStringList folders = {u"第十卷"_s, u"第一卷"_s, u"第二卷"_s};
    for (const QString& name : files)
        QVERIFY(writeBytes(base.filePath(name), {}));
    for (const QString& name : folders)
        QVERIFY(QDir(base.path()).mkdir(name));

    const auto texts = [](const QList<FolderEntry>& entries) {
        QStringList shown;
        for (const FolderEntry& entry : entries)
            shown << entry.text;
        return shown;
    };
    const NativePath folder = path(base.path());
    QCOMPARE(texts(textFiles(folder)), QStringList({u"第二章 风起.txt"_s, u"第3章.txt"_s, u"第十章.txt"_s,
                                                    u"第１２章.txt"_s, u"第一百零五章.txt"_s}));
    QCOMPARE(texts(subfolders(folder)), QStringList({u"第一卷"_s, u"第二卷"_s, u"第十卷"_s}));
}

QTEST_GUILESS_MAIN(ReadingOrderTest)
#include "tst_readingorder.moc"
