#include "base/SystemThread.h"
#include "merge/encoding/CopyInputs.h"
#include "merge/encoding/InputRewriter.h"
#include "merge/output/MergeOutput.h"
#include "support/TestFiles.h"
#include "support/TestPaths.h"
#include "text/Gb18030Codec.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <memory>

// Merges of inputs in different encodings, through both copies: the output's bytes,
// which inputs were converted, and the refusals.
class TestMixedEncodings final : public QObject
{
    Q_OBJECT

private slots:
    void merged_data();
    void merged();
    void changedInput_data();
    void changedInput();
    void cancelledWhileConverting();
};

using namespace Qt::StringLiterals;
using Contents = QList<QByteArray>;

namespace {

// The text used in the rows: 中 and 文 in each encoding, 名 and 上 (whose UTF-16
// units hold the bytes 0D and 0A) and 𪚥, a four-byte character in GB18030.
const QByteArray u8Zhong = "\xE4\xB8\xAD";
const QByteArray u8Wen = "\xE6\x96\x87";
const QByteArray u8Mark = "\xEF\xBB\xBF";
const QByteArray gbZhong = "\xD6\xD0";
const QByteArray gbWen = "\xCE\xC4";
const QByteArray u8Rare = "\xF0\xAA\x9A\xA5";
const QByteArray gbRare = "\x98\x35\xEE\x37";
const QByteArray leMark = "\xFF\xFE";
const QByteArray beMark = "\xFE\xFF";
const QByteArray leCrLf("\r\0\n\0", 4);
const QByteArray beCrLf("\0\r\0\n", 4);
const QByteArray leZhong = "\x2D\x4E";
const QByteArray leWen = "\x87\x65";
const QByteArray beZhong = "\x4E\x2D";
const QByteArray beWen = "\x65\x87";
const QByteArray leMingShang = "\x0D\x54\x0A\x4E";
const QByteArray unknown = "\x80\xFF";

QByteArray le(const char* ascii)
{
    QByteArray out;
    for (const char* c = ascii; *c != 0; ++c)
        out += QByteArray(1, *c) + '\0';
    return out;
}

// One letter for each encoding, in the order of TextEncoding.
char letter(TextEncoding encoding)
{
    return "aulbg?"[static_cast<int>(encoding)];
}

// "1g>u": input 1 went from GB18030 into UTF-8.
QByteArrayList describe(const QList<ConvertedInput>& converted)
{
    QByteArrayList out;
    for (const ConvertedInput& input : converted) {
        const QString name = QFileInfo(input.path.display()).completeBaseName().mid(2);
        out.append(name.toLatin1() + letter(input.from) + '>' + letter(input.to));
    }
    return out;
}

QString folderTemplate(bool ram)
{
#ifdef Q_OS_LINUX
    if (ram && QStorageInfo(u"/dev/shm"_s).fileSystemType() == "tmpfs")
        return u"/dev/shm/tst_mixedencodings-XXXXXX"_s;
#endif
    Q_UNUSED(ram);
    return QDir::tempPath() + u"/tst_mixedencodings-XXXXXX"_s;
}

} // namespace

void TestMixedEncodings::merged_data()
{
    QTest::addColumn<Contents>("contents");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QByteArrayList>("converted");
    QTest::addColumn<MergeStatus>("status");
    QTest::addColumn<bool>("ram");
    QTest::addColumn<qsizetype>("blockSize");

    const QByteArray afterFirstMegabyte = QByteArray(1536 * 1024, 'a');
    const QByteArray asciiThenUtf8 = QByteArray(64, 'a') + u8Zhong.repeated(10);
    const QByteArray leLoneLow = leMark + QByteArray("a\0\0\xDC", 4);
    // U+E78D, which GB18030-2022 gave to a standard character: glibc no longer
    // converts it. UTF-8 taken as such 64 KiB in, and not UTF-8 at its end.
    const QByteArray givenUpThenGbk = "\xEE\x9E\x8D" + u8Zhong.repeated(400000) + gbWen;
    const QList<std::tuple<const char*, Contents, QByteArray, QByteArrayList, MergeStatus>> rows = {
        {"UTF-8 alone", {u8Zhong + "\r\n"}, u8Zhong + "\r\n", {}, MergeStatus::Ok},
        {"UTF-8 with mark alone", {u8Mark + u8Zhong}, u8Mark + u8Zhong + "\r\n", {}, MergeStatus::Ok},
        {"GBK alone", {gbZhong + "\r"}, gbZhong + "\r\n", {}, MergeStatus::Ok},
        {"UTF-16LE alone", {leMark + leZhong + leCrLf}, leMark + leZhong + leCrLf, {}, MergeStatus::Ok},
        {"UTF-16BE alone", {beMark + beZhong + beCrLf}, beMark + beZhong + beCrLf, {}, MergeStatus::Ok},
        {"UTF-8, GBK", {u8Zhong, gbWen}, u8Zhong + "\r\n\r\n" + u8Wen + "\r\n", {"1g>u"}, MergeStatus::Ok},
        {"GBK, UTF-8", {gbZhong, u8Wen}, gbZhong + "\r\n\r\n" + gbWen + "\r\n", {"1u>g"}, MergeStatus::Ok},
        {"UTF-8, UTF-16LE",
         {u8Zhong, leMark + leWen},
         u8Zhong + "\r\n\r\n" + u8Wen + "\r\n",
         {"1l>u"},
         MergeStatus::Ok},
        {"UTF-16LE, GBK",
         {leMark + leZhong, gbWen},
         leMark + leZhong + leCrLf + leCrLf + leWen + leCrLf,
         {"1g>l"},
         MergeStatus::Ok},
        {"GBK, UTF-16BE",
         {gbZhong, beMark + beWen},
         gbZhong + "\r\n\r\n" + gbWen + "\r\n",
         {"1b>g"},
         MergeStatus::Ok},
        {"UTF-16BE, UTF-8 with mark",
         {beMark + beZhong, u8Mark + u8Wen},
         beMark + beZhong + beCrLf + beCrLf + beWen + beCrLf,
         {"1u>b"},
         MergeStatus::Ok},
        {"ASCII, UTF-8 with mark",
         {"a\r\n", u8Mark + u8Zhong},
         u8Mark + "a\r\n\r\n" + u8Zhong + "\r\n",
         {},
         MergeStatus::Ok},
        {"ASCII, unknown, UTF-8 with mark",
         {"a", unknown, u8Mark + u8Zhong},
         u8Mark + "a\r\n\r\n" + unknown + "\r\n\r\n" + u8Zhong + "\r\n",
         {},
         MergeStatus::Ok},
        {"ASCII, UTF-16LE",
         {"a\rb", leMark + leZhong},
         leMark + le("a") + leCrLf + le("b") + leCrLf + leCrLf + leZhong + leCrLf,
         {"0a>l"},
         MergeStatus::Ok},
        {"marks on later inputs",
         {u8Mark + u8Zhong, u8Mark + u8Wen, u8Mark + "a"},
         u8Mark + u8Zhong + "\r\n\r\n" + u8Wen + "\r\n\r\na\r\n",
         {},
         MergeStatus::Ok},
        {"UTF-16 units holding 0D and 0A",
         {leMark + leMingShang, "a"},
         leMark + leMingShang + leCrLf + leCrLf + le("a") + leCrLf,
         {"1a>l"},
         MergeStatus::Ok},
        {"lone CR in UTF-16",
         {leMark + le("x\ry")},
         leMark + le("x") + leCrLf + le("y") + leCrLf,
         {},
         MergeStatus::Ok},
        {"four-byte GB18030 from UTF-8",
         {gbZhong, u8Rare},
         gbZhong + "\r\n\r\n" + gbRare + "\r\n",
         {"1u>g"},
         MergeStatus::Ok},
        {"four-byte GB18030 into UTF-8",
         {u8Zhong, gbRare},
         u8Zhong + "\r\n\r\n" + u8Rare + "\r\n",
         {"1g>u"},
         MergeStatus::Ok},
        {"unknown into UTF-8",
         {u8Zhong, unknown},
         u8Zhong + "\r\n\r\n" + unknown + "\r\n",
         {},
         MergeStatus::Ok},
        {"unknown into GBK",
         {gbZhong, unknown},
         gbZhong + "\r\n\r\n" + unknown + "\r\n",
         {},
         MergeStatus::Ok},
        {"unknown before UTF-16", {unknown, leMark + leZhong}, {}, {"0"}, MergeStatus::EncodingUnknown},
        {"unknown after UTF-16", {leMark + leZhong, unknown}, {}, {"1"}, MergeStatus::EncodingUnknown},
        {"UTF-8 taken as such before its end, into GBK",
         {gbZhong, u8Zhong.repeated(30000)},
         gbZhong + "\r\n\r\n" + gbZhong.repeated(30000) + "\r\n",
         {"1u>g"},
         MergeStatus::Ok},
        {"taken for UTF-8, then not, into GBK",
         {gbZhong, u8Zhong.repeated(30000) + gbWen},
         gbZhong + "\r\n\r\n" + u8Zhong.repeated(30000) + gbWen + "\r\n",
         {},
         MergeStatus::Ok},
        {"not UTF-8 after the first megabyte",
         {u8Zhong, afterFirstMegabyte + gbWen},
         u8Zhong + "\r\n\r\n" + afterFirstMegabyte + u8Wen + "\r\n",
         {"1g>u"},
         MergeStatus::Ok},
        {"UTF-8 after 64 ASCII bytes, second",
         {gbZhong, asciiThenUtf8},
         gbZhong + "\r\n\r\n" + QByteArray(64, 'a') + gbZhong.repeated(10) + "\r\n",
         {"1u>g"},
         MergeStatus::Ok},
        {"taken for UTF-8, then UTF-16",
         {gbZhong, u8Zhong.repeated(30000), leMark + leWen},
         gbZhong + "\r\n\r\n" + gbZhong.repeated(30000) + "\r\n\r\n" + gbWen + "\r\n",
         {"1u>g", "2l>g"},
         MergeStatus::Ok},
        {"taken for UTF-8, a character GBK lacks, not UTF-8 after all",
         {gbZhong, givenUpThenGbk},
         gbZhong + "\r\n\r\n" + givenUpThenGbk + "\r\n",
         {},
         MergeStatus::Ok},
        {"taken for GBK, cut short at its end",
         {u8Zhong, gbZhong + "\xCE"},
         u8Zhong + "\r\n\r\n" + gbZhong + "\xCE\r\n",
         {},
         MergeStatus::Ok},
        {"mark alone, first", {u8Mark, "x"}, u8Mark + "\r\nx\r\n", {}, MergeStatus::Ok},
        {"mark alone, second", {"x", u8Mark}, u8Mark + "x\r\n\r\n", {}, MergeStatus::Ok},
        {"UTF-16 mark alone, first",
         {leMark, "x"},
         leMark + leCrLf + le("x") + leCrLf,
         {"1a>l"},
         MergeStatus::Ok},
        {"lone low surrogate last, into UTF-8", {u8Zhong, leLoneLow}, {}, {"1"}, MergeStatus::InputChanged},
        {"lone low surrogate last, into GBK", {gbZhong, leLoneLow}, {}, {"1"}, MergeStatus::InputChanged},
        {"lone high surrogate last",
         {u8Zhong, leMark + QByteArray("a\0\0\xD8", 4)},
         {},
         {"1"},
         MergeStatus::InputChanged},
        {"lone low surrogate in the middle",
         {u8Zhong, leMark + QByteArray("\0\xDC"
                                       "a\0",
                                       4)},
         {},
         {"1"},
         MergeStatus::InputChanged},
        {"GBK after a UTF-8 mark, first", {u8Mark + gbZhong, "x"}, {}, {"0"}, MergeStatus::InputChanged},
        {"GBK after a UTF-8 mark, into UTF-8",
         {u8Zhong, u8Mark + gbWen},
         {},
         {"1"},
         MergeStatus::InputChanged},
        {"GBK after a UTF-8 mark, into GBK", {gbZhong, u8Mark + gbWen}, {}, {"1"}, MergeStatus::InputChanged},
        {"GBK after a UTF-8 mark, past the first megabyte",
         {u8Mark + afterFirstMegabyte + gbWen},
         {},
         {"0"},
         MergeStatus::InputChanged},
    };
    for (const auto& [name, contents, expected, converted, status] : rows) {
        for (const bool ram : {false, true}) {
            for (const qsizetype blockSize : {qsizetype(7), defaultMergeBlockSize})
                QTest::addRow("%s, %s, block %lld", name, ram ? "RAM" : "disk",
                              static_cast<long long>(blockSize))
                    << contents << expected << converted << status << ram << blockSize;
        }
    }
}

void TestMixedEncodings::merged()
{
    QFETCH(Contents, contents);
    QFETCH(QByteArray, expected);
    QFETCH(QByteArrayList, converted);
    QFETCH(MergeStatus, status);
    QFETCH(bool, ram);
    QFETCH(qsizetype, blockSize);
    QTemporaryDir dir(folderTemplate(ram));
    QVERIFY(dir.isValid());
    QStringList inputs;
    for (qsizetype i = 0; i < contents.size(); ++i) {
        inputs.append(dir.filePath(u"in%1.txt"_s.arg(i)));
        QVERIFY(writeBytes(inputs.last(), contents.at(i)));
    }
    const QString outputPath = dir.filePath(u"merged.txt"_s);
    MergeOutput output(path(outputPath));
    QVERIFY(output.open().ok());
    const MergeReport result = copyInputs(paths(inputs), output, blockSize);
    QCOMPARE(result.status, status);
    if (status != MergeStatus::Ok) {
        QCOMPARE(result.path, path(inputs.at(converted.first().toInt())));
        QCOMPARE(allEntries(dir.path()).size(), inputs.size());
        return;
    }
    QCOMPARE(describe(result.converted), converted);
    QVERIFY(output.publish().ok());
    QCOMPARE(readBytes(outputPath), expected);
}

// An input read again to be converted or copied without its mark must still hold
// what its encoding was found from; else the merge fails rather than write half of it.
void TestMixedEncodings::changedInput_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<TextEncoding>("foundAs");
    QTest::addColumn<InputAction>("action");
    QTest::addColumn<TextEncoding>("output");
    QTest::addColumn<MergeStatus>("status");

    QTest::newRow("GBK found, now unknown") << unknown << TextEncoding::Gb18030 << InputAction::Convert
                                            << TextEncoding::Utf8 << MergeStatus::InputChanged;
    QTest::newRow("UTF-8 found, now GBK") << gbZhong << TextEncoding::Utf8 << InputAction::Convert
                                          << TextEncoding::Gb18030 << MergeStatus::InputChanged;
    QTest::newRow("ASCII found, now GBK, copied") << gbZhong << TextEncoding::Ascii << InputAction::Copy
                                                  << TextEncoding::Utf8 << MergeStatus::InputChanged;
    QTest::newRow("marked, mark gone") << u8Zhong << TextEncoding::Utf8 << InputAction::CopyWithoutMark
                                       << TextEncoding::Utf8 << MergeStatus::InputChanged;
    QTest::newRow("marked, text no longer UTF-8")
        << u8Mark + gbZhong << TextEncoding::Utf8 << InputAction::CopyWithoutMark << TextEncoding::Utf8
        << MergeStatus::InputChanged;
    // U+E78D, a private-use character that GB18030-2022 gave up.
    QTest::newRow("private-use character into GBK")
        << QByteArray("\xEE\x9E\x8D") << TextEncoding::Utf8 << InputAction::Convert << TextEncoding::Gb18030
        << MergeStatus::CannotConvert;
    QTest::newRow("removed") << QByteArray() << TextEncoding::Gb18030 << InputAction::Convert
                             << TextEncoding::Utf8 << MergeStatus::InputFailed;
    QTest::newRow("unchanged") << gbZhong << TextEncoding::Gb18030 << InputAction::Convert
                               << TextEncoding::Utf8 << MergeStatus::Ok;
}

void TestMixedEncodings::changedInput()
{
    QFETCH(QByteArray, bytes);
    QFETCH(TextEncoding, foundAs);
    QFETCH(InputAction, action);
    QFETCH(TextEncoding, output);
    QFETCH(MergeStatus, status);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString input = dir.filePath(u"in.txt"_s);
    if (!bytes.isEmpty())
        QVERIFY(writeBytes(input, bytes));
    MergeOutput merged(path(dir.filePath(u"merged.txt"_s)));
    QVERIFY(merged.open().ok());
    const QList<NativePath> inputs{path(input)};
    InputRewriter rewriter(inputs, merged, 4096, nullptr);
    const DetectedEncoding found{foundAs, action == InputAction::CopyWithoutMark ? 3 : 0};
    EncodingRule rule;
    rule.add({output, 0});
    QCOMPARE(rule.actionFor(found), action);
    const MergeResult result = rewriter.writeAsFound(0, found, rule);
    QCOMPARE(result.status, status);
    if (status != MergeStatus::Ok)
        QCOMPARE(result.path, path(input));
}

// The program ends while an input is converted: the conversion stops within a
// block, and nothing is left behind.
void TestMixedEncodings::cancelledWhileConverting()
{
    QTemporaryDir dir(folderTemplate(true));
    QVERIFY(dir.isValid());
    const QString input = dir.filePath(u"in.txt"_s);
    QVERIFY(writeBytes(input, leMark + le("converted one block at a time ").repeated(1024 * 1024)));
    MergeOutput output(path(dir.filePath(u"merged.txt"_s)), MergeOutput::Temporary::Named);
    QVERIFY(output.open().ok());
    const auto written = [&dir] {
        const QFileInfoList entries =
            QDir(dir.path()).entryInfoList({u".tamborel-*"_s}, QDir::Files | QDir::Hidden);
        return entries.isEmpty() ? 0 : entries.first().size();
    };

    std::atomic<bool> cancel{false};
    std::atomic<bool> finished{false};
    MergeResult result;
    auto copy = std::make_unique<SystemThread>([&] {
        result = copyInputs({path(input)}, output, 64 * 1024, &cancel);
        finished = true;
    });
    QTRY_VERIFY_WITH_TIMEOUT(finished || written() > 1024 * 1024, 60000);
    cancel = true;
    copy.reset();
    QCOMPARE(result.status, MergeStatus::Cancelled);
    QCOMPARE(allEntries(dir.path()), QStringList{u"in.txt"_s});
}

QTEST_GUILESS_MAIN(TestMixedEncodings)
#include "tst_mixedencodings.moc"
