#include "merge/copy/CopyProgress.h"
#include "merge/copy/InPlaceCopy.h"
#include "merge/copy/ReadAheadCopy.h"
#include "merge/encoding/CopyInputs.h"
#include "merge/output/MergeOutput.h"
#include "support/TestFiles.h"
#include "support/TestPaths.h"

#include <QDir>
#include <QRandomGenerator>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>

#include <numeric>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

// The merged file's bytes: the line-end table, the separators between entries,
// lines and CR LF pairs cut by the copy's block boundaries, a seeded comparison with
// a reference written from the definition of a line, and inputs that stopped being
// readable files after they were listed.
class TestMergeCopy final : public QObject
{
    Q_OBJECT

private slots:
    void outputFormat_data();
    void outputFormat();
    void matchesReference();
    void brokenInput_data();
    void brokenInput();
    void progress_data();
    void progress();
    void cancelHeard_data();
    void cancelHeard();
};

// The two copies, the second also with writes of any length, so that small blocks
// cross its buffer's end often; Chosen is the one copyInputs() picks for the test's
// file system.
enum class Engine
{
    Chosen,
    ReadingAhead,
    InPlace,
    InPlaceAnyLength,
};

Q_DECLARE_METATYPE(MergeStatus)
Q_DECLARE_METATYPE(Engine)

using namespace Qt::StringLiterals;
using Contents = QList<QByteArray>;

namespace {

constexpr std::pair<Engine, const char*> engines[] = {
    {Engine::ReadingAhead, "reading ahead"},
    {Engine::InPlace, "in place"},
    {Engine::InPlaceAnyLength, "in place, any length"},
};

// Where a merge's files lie. The in-place copy takes direct writes only on a disk's
// file system, so its format rows and each copy's first random round run there;
// the rest runs alike in RAM, which spares a flush to the disk for every merge.
enum class Place
{
    Disk,
    Ram,
};

QString folderTemplate(Place place)
{
#ifdef Q_OS_LINUX
    static const bool hasRam = QStorageInfo(u"/dev/shm"_s).fileSystemType() == "tmpfs";
#else
    constexpr bool hasRam = false;
#endif
    return (place == Place::Ram && hasRam ? u"/dev/shm"_s : QDir::tempPath()) + u"/tst_mergecopy-XXXXXX"_s;
}

// Copies with the engine; like copyInputs(), discards the output on failure.
MergeResult copyWith(Engine engine, const QList<NativePath>& inputs, MergeOutput& output, qsizetype blockSize)
{
    MergeResult result;
    const CopyJob job{.inputs = inputs, .output = output, .blockSize = blockSize};
    switch (engine) {
    case Engine::Chosen:
        return copyInputs(inputs, output, blockSize);
    case Engine::ReadingAhead:
        result = copyReadingAhead(job);
        break;
    case Engine::InPlace: {
        const qsizetype direct = output.beginDirectWrites();
        result = copyInPlace(job, direct > 0 ? direct : 512);
        break;
    }
    case Engine::InPlaceAnyLength:
        result = copyInPlace(job, 1);
        break;
    }
    if (!result.ok())
        output.discard();
    return result;
}

// Merges `contents` (one file each) with the given engine and block size; returns
// the output, or fails the test.
QByteArray mergedBytes(const Contents& contents, Engine engine, qsizetype blockSize, const QTemporaryDir& dir)
{
    QStringList inputs;
    for (qsizetype i = 0; i < contents.size(); ++i) {
        inputs.append(dir.filePath(u"in%1.txt"_s.arg(i)));
        if (!writeBytes(inputs.last(), contents.at(i)))
            return "<input not written>";
    }
    const QString outputPath = dir.filePath(u"merged.txt"_s);
    MergeOutput output(path(outputPath));
    MergeResult result = output.open();
    if (result.ok())
        result = copyWith(engine, paths(inputs), output, blockSize);
    if (result.ok())
        result = output.publish();
    if (!result.ok())
        return "<merge failed: " + QByteArray::number(result.error) + '>';
    return readBytes(outputPath);
}

// The output as the line-by-line original wrote it: a line runs up to the next CR,
// CR LF pair or the end of the file, and each is written followed by CR LF.
QByteArray referenceMerge(const Contents& contents)
{
    QByteArray out;
    for (qsizetype i = 0; i < contents.size(); ++i) {
        const QByteArray& file = contents.at(i);
        qsizetype start = 0;
        while (start < file.size()) {
            const qsizetype cr = file.indexOf('\r', start);
            const qsizetype end = cr < 0 ? file.size() : cr;
            out += file.mid(start, end - start) + "\r\n";
            start = end + 1;
            if (cr >= 0 && start < file.size() && file.at(start) == '\n')
                ++start;
        }
        if (i + 1 < contents.size())
            out += "\r\n";
    }
    return out;
}

} // namespace

void TestMergeCopy::outputFormat_data()
{
    QTest::addColumn<Contents>("contents");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<qsizetype>("blockSize");

    QList<std::tuple<const char*, Contents, QByteArray>> rows = {
        {"CR LF lines unchanged", {"a\r\nbb\r\n"}, "a\r\nbb\r\n"},
        {"last line unterminated", {"a\r\nb"}, "a\r\nb\r\n"},
        {"lone CR", {"a\rb\r"}, "a\r\nb\r\n"},
        {"lone CR, last line unterminated", {"a\rb"}, "a\r\nb\r\n"},
        {"LF only is one line", {"x\ny\n"}, "x\ny\n\r\n"},
        {"empty file", {""}, ""},
        {"nothing but CR LF", {"\r\n"}, "\r\n"},
        {"CR CR LF", {"\r\r\n"}, "\r\n\r\n"},
        {"CR CR", {"\r\r"}, "\r\n\r\n"},
        {"LF CR", {"\n\r"}, "\n\r\n"},
        {"CR LF LF", {"a\r\n\n"}, "a\r\n\n\r\n"},
        {"bytes pass through",
         {QByteArray("\0\x1a\xff\xfe\x81\x30", 6)},
         QByteArray("\0\x1a\xff\xfe\x81\x30\r\n", 8)},
        {"GBK text", {"\xba\xcf\xb2\xa2\r\n"}, "\xba\xcf\xb2\xa2\r\n"},
        {"one entry, no separator", {"a"}, "a\r\n"},
        {"two entries", {"a1\r\na2", "b1\r\n"}, "a1\r\na2\r\n\r\nb1\r\n"},
        {"empty middle entry", {"a\r\n", "", "c\r\n"}, "a\r\n\r\n\r\nc\r\n"},
        {"empty last entry", {"a\r\n", ""}, "a\r\n\r\n"},
        {"empty last of three", {"a", "b", ""}, "a\r\n\r\nb\r\n\r\n"},
        {"all empty", {"", "", ""}, "\r\n\r\n"},
        {"CR ending one file, LF starting the next", {"a\r", "\nb"}, "a\r\n\r\n\nb\r\n"},
        {"LF-only file before another", {"x\n", "y"}, "x\n\r\n\r\ny\r\n"},
    };
    // Long runs written both straight from the read buffer and, once a separator has
    // shifted the output, through the writer's buffer.
    const QByteArray longRuns = QByteArray(140000, 'x') + "\r\n" + QByteArray(70001, 'y') + "\rz";
    const QByteArray longRunsOut = QByteArray(140000, 'x') + "\r\n" + QByteArray(70001, 'y') + "\r\nz\r\n";
    rows.append({"long runs", {longRuns, "a", longRuns}, longRunsOut + "\r\na\r\n\r\n" + longRunsOut});
    const QList<qsizetype> blockSizes = {1, 2, 3, defaultMergeBlockSize};
    for (const auto& [name, contents, expected] : rows) {
        for (const auto& [engine, engineName] : engines) {
            for (const qsizetype blockSize : blockSizes)
                QTest::addRow("%s, %s, block %lld", name, engineName, static_cast<long long>(blockSize))
                    << contents << expected << engine << blockSize;
        }
    }
}

void TestMergeCopy::outputFormat()
{
    QFETCH(Contents, contents);
    QFETCH(QByteArray, expected);
    QFETCH(Engine, engine);
    QFETCH(qsizetype, blockSize);

    QTemporaryDir dir(folderTemplate(engine == Engine::InPlace ? Place::Disk : Place::Ram));
    QVERIFY(dir.isValid());
    QCOMPARE(mergedBytes(contents, engine, blockSize, dir), expected);
}

void TestMergeCopy::matchesReference()
{
    // Few distinct bytes, CR and LF frequent, so that every pairing of line ends
    // meets every block boundary.
    static constexpr char alphabet[] = {'\r', '\n', '\r', '\n', 'a', '\0', '\xff'};
    const QList<qsizetype> blockSizes = {1, 2, 3, 5, 7, 16, 64, 4096, defaultMergeBlockSize};
    QRandomGenerator random(20240611);
    for (int round = 0; round < 500; ++round) {
        Contents contents(random.bounded(1, 5));
        for (QByteArray& file : contents) {
            file.resize(random.bounded(0, 1000));
            for (char& byte : file)
                byte = alphabet[random.bounded(int(sizeof alphabet))];
        }
        const qsizetype blockSize = blockSizes.at(random.bounded(int(blockSizes.size())));
        for (const auto& [engine, engineName] : engines) {
            // Each copy's first round on the disk, where the in-place one writes directly.
            QTemporaryDir dir(folderTemplate(round == 0 ? Place::Disk : Place::Ram));
            QVERIFY(dir.isValid());
            const QByteArray merged = mergedBytes(contents, engine, blockSize, dir);
            if (merged != referenceMerge(contents))
                qWarning("round %d, %s, block size %lld", round, engineName,
                         static_cast<long long>(blockSize));
            QCOMPARE(merged, referenceMerge(contents));
        }
    }
}

void TestMergeCopy::brokenInput_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<MergeStatus>("status");
    QTest::addColumn<Engine>("engine");

    QList<std::tuple<const char*, QString, MergeStatus>> rows = {
        {"removed", u"remove"_s, MergeStatus::InputFailed},
        {"replaced by a folder", u"folder"_s, MergeStatus::InputNotAFile},
#ifdef Q_OS_UNIX
        {"replaced by a named pipe", u"fifo"_s, MergeStatus::InputNotAFile},
#endif
    };
    for (const auto& [name, change, status] : rows) {
        QTest::addRow("%s, chosen copy", name) << change << status << Engine::Chosen;
        for (const auto& [engine, engineName] : engines)
            QTest::addRow("%s, %s", name, engineName) << change << status << engine;
    }
}

// The second of three inputs changes after it was listed. Run as the window runs
// it: the copy stops there, names it, and the output is already discarded, so
// nothing can be published and no temporary file is left.
void TestMergeCopy::brokenInput()
{
    QFETCH(QString, change);
    QFETCH(MergeStatus, status);
    QFETCH(Engine, engine);

    QTemporaryDir inputs;
    QTemporaryDir outputs;
    QVERIFY(inputs.isValid() && outputs.isValid());
    const QByteArray content = QByteArray(100000, 'x') + "\r\n";
    const QStringList paths = {inputs.filePath(u"a.txt"_s), inputs.filePath(u"b.txt"_s),
                               inputs.filePath(u"c.txt"_s)};
    for (const QString& path : paths)
        QVERIFY(writeBytes(path, content));

    QVERIFY(QFile::remove(paths.at(1)));
    if (change == u"folder")
        QVERIFY(QDir().mkdir(paths.at(1)));
#ifdef Q_OS_UNIX
    if (change == u"fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(paths.at(1)).constData(), 0600), 0);
#endif

    MergeOutput output(path(outputs.filePath(u"merged.txt"_s)));
    QVERIFY(output.open().ok());
    const MergeResult result = copyWith(engine, ::paths(paths), output, 4096);
    QCOMPARE(result.status, status);
    QCOMPARE(result.path, path(paths.at(1)));
    if (status == MergeStatus::InputFailed || change == u"folder")
        QVERIFY(result.error != 0);
    QVERIFY(!output.isOpen());
    QCOMPARE(output.publish().status, MergeStatus::OutputFailed);
    QCOMPARE(allEntries(outputs.path()), QStringList());
    QCOMPARE(readBytes(paths.at(0)), content);
}

// How far the copy tells it is, from what it tells: "e1" takes up input 1, "a5" copies
// five more bytes of it.
void TestMergeCopy::progress_data()
{
    QTest::addColumn<QList<int>>("sizes");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<qint64>("done");
    QTest::addColumn<qsizetype>("input");

    QTest::newRow("before the first input") << QList<int>{10, 20} << QString() << qint64(0) << qsizetype(-1);
    QTest::newRow("an input starts where those before end")
        << QList<int>{10, 20} << u"e1 a5"_s << qint64(15) << qsizetype(1);
    QTest::newRow("an input written anew takes the bar back never")
        << QList<int>{10, 20} << u"e0 a10 e1 a20 e1 a5"_s << qint64(30) << qsizetype(1);
    QTest::newRow("never past the whole") << QList<int>{10} << u"e0 a15"_s << qint64(10) << qsizetype(0);
}

void TestMergeCopy::progress()
{
    QFETCH(QList<int>, sizes);
    QFETCH(QString, steps);
    QFETCH(qint64, done);
    QFETCH(qsizetype, input);

    const QTemporaryDir dir;
    QList<NativePath> inputs;
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        const QString name = dir.filePath(u"in%1.txt"_s.arg(i));
        QVERIFY(writeBytes(name, QByteArray(sizes.at(i), 'x')));
        inputs << path(name);
    }
    CopyProgress progress;
    progress.start(inputs);
    for (const QString& step : steps.split(u' ', Qt::SkipEmptyParts)) {
        if (step.startsWith(u'e'))
            progress.enter(step.mid(1).toInt());
        else
            progress.advance(step.mid(1).toInt());
    }
    QCOMPARE(progress.total(), std::accumulate(sizes.cbegin(), sizes.cend(), qint64(0)));
    QCOMPARE(progress.done(), done);
    QCOMPARE(progress.input(), input);
}

namespace {

// Cancels the merge once input `at` is being copied.
class CancelAt final : public CopyProgress
{
public:
    CancelAt(qsizetype at, std::atomic<bool>& cancel) : m_at(at), m_cancel(cancel) {}
    void advance(qint64 bytes) override
    {
        CopyProgress::advance(bytes);
        if (input() == m_at)
            m_cancel = true;
    }

private:
    qsizetype m_at;
    std::atomic<bool>& m_cancel;
};

} // namespace

void TestMergeCopy::cancelHeard_data()
{
    QTest::addColumn<Engine>("engine");
    for (const auto& [engine, name] : engines)
        QTest::newRow(name) << engine;
}

// A cancel is heard before the next input, also where small inputs share a block.
void TestMergeCopy::cancelHeard()
{
    QFETCH(Engine, engine);

    const QTemporaryDir dir(folderTemplate(Place::Disk));
    QList<NativePath> inputs;
    for (int i = 0; i < 6; ++i) {
        const QString name = dir.filePath(u"in%1.txt"_s.arg(i));
        QVERIFY(writeBytes(name, "line\r\n"));
        inputs << path(name);
    }
    std::atomic<bool> cancel{false};
    CancelAt progress(2, cancel);
    progress.start(inputs);
    MergeOutput output(path(dir.filePath(u"merged.txt"_s)));
    QVERIFY(output.open().ok());
    const qsizetype direct = engine == Engine::InPlace ? output.beginDirectWrites() : 0;
    const CopyJob job{.inputs = inputs, .output = output, .cancel = &cancel, .progress = &progress};
    const MergeResult result = engine == Engine::ReadingAhead ? copyReadingAhead(job)
                               : engine == Engine::InPlace    ? copyInPlace(job, direct > 0 ? direct : 512)
                                                              : copyInPlace(job, 1);
    QCOMPARE(result.status, MergeStatus::Cancelled);
    QCOMPARE(progress.input(), qsizetype(2));
}

QTEST_GUILESS_MAIN(TestMergeCopy)
#include "tst_mergecopy.moc"
