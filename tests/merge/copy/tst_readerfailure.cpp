#include "merge/copy/ReadAheadCopy.h"
#include "merge/output/MergeOutput.h"
#include "merge/result/SystemError.h"
#include "support/TestFiles.h"
#include "support/TestPaths.h"

#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <cstdlib>
#include <new>

// Memory running out on the thread that reads the inputs: the merge fails with its
// reason, and the program goes on. This executable replaces the allocator to
// refuse every allocation of the threads other than the one running the test.
namespace {

std::atomic<bool> refuseOtherThreads{false};
// A flag of each thread's own rather than thread ids, which MinGW's runtime reuses
// for threads it did not start.
thread_local bool isTestThread = false;

} // namespace

void* operator new(std::size_t size)
{
    if (refuseOtherThreads.load() && !isTestThread)
        throw std::bad_alloc();
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t /*size*/) noexcept
{
    std::free(memory);
}

class TestReaderFailure final : public QObject
{
    Q_OBJECT

private slots:
    void outOfMemoryWhileReading();
};

using namespace Qt::StringLiterals;

void TestReaderFailure::outOfMemoryWhileReading()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString input = dir.filePath(u"a.txt"_s);
    QVERIFY(writeBytes(input, "a\r\n"));
    MergeOutput output(path(dir.filePath(u"merged.txt"_s)));
    QVERIFY(output.open().ok());

    isTestThread = true;
    refuseOtherThreads = true;
    const QList<NativePath> inputs{path(input)};
    const MergeResult result = copyReadingAhead({.inputs = inputs, .output = output, .blockSize = 4096});
    refuseOtherThreads = false;

    QCOMPARE(int(result.status), int(MergeStatus::InputFailed));
    QCOMPARE(result.path, path(input));
    QCOMPARE(int(errorKind(result.error)), int(ErrorKind::OutOfMemory));
}

QTEST_GUILESS_MAIN(TestReaderFailure)
#include "tst_readerfailure.moc"
