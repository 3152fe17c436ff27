#include "text/LineEnds.h"

#include <QTest>

#include <vector>

// The line rule against a plain reading of it, at every alignment of the text in
// memory and with the text cut into pieces anywhere, so that each vector step and its
// tail meet every kind of line end.
class TestLineEnds final : public QObject
{
    Q_OBJECT

private slots:
    void againstPlainReading_data();
    void againstPlainReading();
};

namespace {

// A line ends at CR LF, at a CR alone, or at the end of the text; each leaves as CR LF.
QByteArray plainReading(const QByteArray& text)
{
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            out += text[i];
            continue;
        }
        out += "\r\n";
        if (i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
    }
    if (!text.isEmpty() && !text.endsWith('\r') && !text.endsWith("\r\n"))
        out += "\r\n";
    return out;
}

// Through the rule, the text at `offset` in memory and cut at `cut`.
QByteArray throughRule(const QByteArray& text, qsizetype offset, qsizetype cut)
{
    std::vector<char> memory(size_t(offset + text.size() + 1));
    std::copy(text.cbegin(), text.cend(), memory.begin() + offset);
    const char* const data = memory.data() + offset;
    QByteArray out(1 + 2 * text.size() + 2 * lineEndSlack, Qt::Uninitialized);
    LineEndRule<char> rule;
    char* to = rule.write(data, data + cut, out.data());
    to = rule.write(data + cut, data + text.size(), to);
    out.truncate(to - out.constData());
    const std::string_view end = rule.finish();
    return out + QByteArray(end.data(), qsizetype(end.size()));
}

} // namespace

void TestLineEnds::againstPlainReading_data()
{
    QTest::addColumn<QByteArray>("text");

    const QByteArray line("a line of text that runs longer than a vector\r\n");
    QTest::newRow("CR LF") << line.repeated(4);
    QTest::newRow("lone CRs") << QByteArray(line).replace("\r\n", "\r").repeated(4);
    QTest::newRow("LF alone is text") << QByteArray(line).replace("\r\n", "\n").repeated(4);
    QTest::newRow("every kind, dense") << QByteArray("\r\r\n\n\rx\r\n\r\r\rx\n\r\n").repeated(9);
    QTest::newRow("CR last") << QByteArray(100, 'x') + '\r';
    QTest::newRow("line left open") << QByteArray(100, 'x');
}

void TestLineEnds::againstPlainReading()
{
    QFETCH(QByteArray, text);

    const QByteArray expected = plainReading(text);
    for (qsizetype offset = 0; offset <= 64; ++offset) {
        for (const qsizetype cut : {qsizetype(0), offset, text.size() / 2, text.size() - 1}) {
            const QByteArray out = throughRule(text, offset, std::clamp<qsizetype>(cut, 0, text.size()));
            if (out != expected)
                QFAIL(qPrintable(QStringLiteral("at offset %1, cut at %2").arg(offset).arg(cut)));
        }
    }
}

QTEST_GUILESS_MAIN(TestLineEnds)
#include "tst_lineends.moc"
