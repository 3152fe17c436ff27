// Times the text rules on dense Chinese text with punctuation (“”！：，。), in memory,
// a block of 1 MiB at a time as the merge feeds them: the encoding check of GBK and of
// UTF-8 with each vector method, the line rule's search, and the conversion both ways. Prints seconds of
// processor time per GiB of input, each the best of three runs.
//
// Usage: tamborel-text-bench [MIB]   (default 256)
#include "text/EncodingDetector.h"
#include "text/Gb18030Codec.h"
#include "text/LineEnds.h"
#include "text/TextTranscoder.h"

#include <QString>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <functional>

namespace {

constexpr qsizetype blockSize = qsizetype(1) << 20;

double processorSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Seconds per GiB of `bytes`, the best of three runs of `run`.
double perGiB(qsizetype bytes, const std::function<void()>& run)
{
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        const double start = processorSeconds();
        run();
        best = std::min(best, processorSeconds() - start);
    }
    return best * double(qsizetype(1) << 30) / double(bytes);
}

// Lines of prose as a novel has them: Chinese characters with their punctuation, few
// ASCII bytes but the line ends.
QString denseChinese(qsizetype characters)
{
    const QString line = QStringLiteral("“合并文本文件！”她说：“这一章的文字，要按次序进行合并，不能颠倒。”"
                                        "他点点头，把第一百二十章放在最后，又检查了一遍编码。\r\n");
    QString text;
    text.reserve(characters + line.size());
    while (text.size() < characters)
        text += line;
    return text;
}

void check(const QByteArray& text, VectorMethod method)
{
    EncodingDetector detector(EncodingDetector::Gb18030Check::Checked, method);
    for (qsizetype at = 0; at < text.size(); at += blockSize)
        detector.feed(text.constData() + at, std::min(blockSize, text.size() - at));
    if (detector.result().encoding == TextEncoding::Unknown)
        qFatal("the text was not recognised");
}

void convert(const QByteArray& text, TextEncoding from, TextEncoding to, Gb18030Codec& codec)
{
    TextTranscoder transcoder(from, to, codec);
    QByteArray out;
    for (qsizetype at = 0; at < text.size(); at += blockSize) {
        out.resize(0);
        if (!transcoder.feed(QByteArrayView(text).sliced(at, std::min(blockSize, text.size() - at)), out))
            qFatal("the text did not convert");
    }
}

} // namespace

int main(int argc, char* argv[])
{
    const qsizetype mib = argc > 1 ? QString::fromLocal8Bit(argv[1]).toLongLong() : 256;
    Gb18030Codec codec;
    const QString text = denseChinese(mib << 19);
    QByteArray gbk;
    if (!codec.encodeAppend(text, gbk))
        qFatal("cannot encode");
    // Whole lines, so that no character is cut.
    const auto lines = [mib](QByteArray bytes) {
        return bytes.left(bytes.lastIndexOf("\r\n", std::min(mib << 20, bytes.size() - 2)) + 2);
    };
    gbk = lines(gbk);
    const QByteArray utf8 = lines(text.toUtf8());

    QTextStream out(stdout);
    out << "dense Chinese, " << mib << " MiB: seconds of processor time per GiB\n";
    const struct
    {
        const char* name;
        VectorMethod method;
    } methods[] = {
        {"AVX2", VectorMethod::Avx2}, {"SSSE3", VectorMethod::Ssse3}, {"bytes", VectorMethod::ByteByByte}};
    for (const auto& m : methods) {
        if (!cpu::isAvailable(m.method))
            continue;
        out << "check GBK, " << m.name << ": " << perGiB(gbk.size(), [&] { check(gbk, m.method); })
            << Qt::endl;
        out << "check UTF-8, " << m.name << ": " << perGiB(utf8.size(), [&] { check(utf8, m.method); })
            << Qt::endl;
    }
    out << "search lone CRs, UTF-8: " << perGiB(utf8.size(), [&] {
        if (findLoneCr(utf8.constData(), utf8.constData() + utf8.size()) != utf8.constData() + utf8.size())
            qFatal("a lone CR");
    }) << Qt::endl;
    out << "convert GBK into UTF-8: " << perGiB(gbk.size(), [&] {
        convert(gbk, TextEncoding::Gb18030, TextEncoding::Utf8, codec);
    }) << Qt::endl;
    out << "convert UTF-8 into GBK: " << perGiB(utf8.size(), [&] {
        convert(utf8, TextEncoding::Utf8, TextEncoding::Gb18030, codec);
    }) << Qt::endl;
    return 0;
}
