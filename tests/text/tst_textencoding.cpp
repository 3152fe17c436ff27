#include "text/CpuFeatures.h"
#include "text/EncodingDetector.h"
#include "text/EncodingRule.h"
#include "text/Gb18030Codec.h"
#include "text/TextTranscoder.h"

#include <QRandomGenerator>
#include <QTest>

// Which encoding an input's bytes are in, and GB18030 through the platform's own
// converter.
class TestTextEncoding final : public QObject
{
    Q_OBJECT

private slots:
    void detection_data();
    void detection();
    void utf8Methods();
    void gb18030Methods();
    void gb18030Samples_data();
    void gb18030Samples();
    void gb18030WholeRange();
    void gb18030Refused();
    void rule_data();
    void rule();
    void transcoding_data();
    void transcoding();
};

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TextEncoding)

namespace {

std::optional<QByteArray> encode(Gb18030Codec& codec, QStringView text)
{
    QByteArray bytes;
    if (!codec.encodeAppend(text, bytes))
        return std::nullopt;
    return bytes;
}

} // namespace

void TestTextEncoding::detection_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<TextEncoding>("encoding");
    QTest::addColumn<qsizetype>("markSize");
    QTest::addColumn<bool>("validText");

    const auto row = [](const char* name, const QByteArray& bytes, TextEncoding encoding, qsizetype mark = 0,
                        bool valid = true) { QTest::newRow(name) << bytes << encoding << mark << valid; };
    row("empty", {}, TextEncoding::Ascii);
    row("ASCII", "a\r\nb\n", TextEncoding::Ascii);
    row("UTF-8", "\xE4\xB8\xAD\xE6\x96\x87\r\n", TextEncoding::Utf8);
    row("UTF-8, four bytes, U+10FFFF", "\xF4\x8F\xBF\xBF", TextEncoding::Utf8);
    row("UTF-8 mark",
        "\xEF\xBB\xBF"
        "a",
        TextEncoding::Utf8, 3);
    row("UTF-8 mark alone", "\xEF\xBB\xBF", TextEncoding::Utf8, 3);
    row("UTF-8 mark, then GBK", "\xEF\xBB\xBF\xD6\xD0", TextEncoding::Utf8, 3, false);
    row("UTF-8 mark, then UTF-8 cut short", "\xEF\xBB\xBF\xE4\xB8", TextEncoding::Utf8, 3, false);
    row("UTF-8 after 64 ASCII bytes", QByteArray(64, 'a') + QByteArray("\xE4\xB8\xAD").repeated(10),
        TextEncoding::Utf8);
    row("UTF-16LE mark, 名 holds 0D", QByteArray("\xFF\xFE\x0D\x54", 4), TextEncoding::Utf16Le, 2);
    row("UTF-16BE mark", QByteArray("\xFE\xFF\x54\x0D", 4), TextEncoding::Utf16Be, 2);
    row("GBK", "\xD6\xD0\xCE\xC4\r\n", TextEncoding::Gb18030);
    row("GB18030, four bytes", "\x98\x35\xEE\x37", TextEncoding::Gb18030);
    row("GB18030, two bytes ending in ASCII range", "\x81\x40", TextEncoding::Gb18030);
    row("UTF-8 cut short at the end", "a\xE4\xB8", TextEncoding::Gb18030);
    row("UTF-8 overlong form", "\xC0\x80", TextEncoding::Gb18030);
    row("UTF-8 surrogate", "\xED\xA0\x80", TextEncoding::Unknown);
    row("past U+10FFFF", "\xF4\x90\x80\x80", TextEncoding::Unknown);
    row("GB18030 four bytes past the plane", "\x84\x31\xA5\x30", TextEncoding::Unknown);
    row("GB18030 four bytes past U+10FFFF", "\xE3\x32\x9A\x36", TextEncoding::Unknown);
    row("GB18030 cut short at the end", "\xD6\xD0\xCE", TextEncoding::Unknown);
    row("byte FF", "a\xFF", TextEncoding::Unknown);
    const QByteArray run(13, 'a');
    row("UTF-8 between ASCII runs", run + "\xE4\xB8\xAD" + run, TextEncoding::Utf8);
    row("ASCII words inside a UTF-8 character", run + "\xE4" + QByteArray(16, 'a') + "\xB8\xAD",
        TextEncoding::Gb18030);
    row("GBK after an ASCII run", run + run + "\xD6\xD0", TextEncoding::Gb18030);
}

// Fed whole and byte by byte: a block may end inside a character.
void TestTextEncoding::detection()
{
    QFETCH(QByteArray, bytes);
    QFETCH(TextEncoding, encoding);
    QFETCH(qsizetype, markSize);
    QFETCH(bool, validText);

    for (const auto method :
         {Utf8Validator::Method::Avx2, Utf8Validator::Method::Ssse3, Utf8Validator::Method::ByteByByte}) {
        EncodingDetector whole(EncodingDetector::Gb18030Check::Checked, method);
        whole.feed(bytes.constData(), bytes.size());
        EncodingDetector byBytes(EncodingDetector::Gb18030Check::Checked, method);
        for (const char byte : bytes)
            byBytes.feed(&byte, 1);
        for (const EncodingDetector* detector : {&whole, &byBytes}) {
            QCOMPARE(detector->result().encoding, encoding);
            QCOMPARE(detector->result().markSize, markSize);
            QCOMPARE(detector->result().validText, validText);
        }
    }
}

// The validators of thirty-two and sixteen bytes against the byte-by-byte one, on
// seeded random text made of valid and broken sequences at every place of a chunk,
// fed in random blocks.
void TestTextEncoding::utf8Methods()
{
    const QList<QByteArray> pieces = {"a",
                                      "\r\n",
                                      "\xC2\x80",
                                      "\xDF\xBF",
                                      "\xE4\xB8\xAD",
                                      "\xE0\xA0\x80",
                                      "\xED\x9F\xBF",
                                      "\xEF\xBF\xBF",
                                      "\xF0\x90\x80\x80",
                                      "\xF4\x8F\xBF\xBF",
                                      "\xE0\x80",
                                      "\xED\xA0\x80",
                                      "\xF4\x90\x80\x80",
                                      "\xF5\x80",
                                      "\xC1\xBF",
                                      "\x80",
                                      "\xE4\xB8",
                                      "\xF0\x90\x80",
                                      "\xFF",
                                      QByteArray(16, 'b')};
    QList<QByteArray> texts;
    // Each piece at every place of a chunk, at the end and before ASCII chunks.
    for (int place = 0; place < 64; ++place) {
        for (const QByteArray& piece : pieces) {
            texts.append(QByteArray(place, 'a') + piece);
            texts.append(texts.last() + QByteArray(16, 'b'));
            texts.append(texts.last() + QByteArray(48, 'b'));
            texts.append(texts.last() + QByteArray(160, 'b'));
        }
    }
    QRandomGenerator random(16);
    for (int round = 0; round < 4000; ++round) {
        QByteArray text;
        const int count = random.bounded(1, 24);
        // Mostly valid, so that a broken piece is often alone.
        for (int i = 0; i < count; ++i)
            text += pieces.at(random.bounded(2) == 0 ? random.bounded(10) : random.bounded(pieces.size()));
        texts.append(text);
    }
    for (const QByteArray& text : texts) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(text.constData());
        Utf8Validator slow(Utf8Validator::Method::ByteByByte);
        slow.feed(bytes, text.size());
        for (const auto method : {Utf8Validator::Method::Avx2, Utf8Validator::Method::Ssse3}) {
            if (!Utf8Validator::isAvailable(method))
                continue;
            Utf8Validator whole(method);
            whole.feed(bytes, text.size());
            Utf8Validator inBlocks(method);
            for (qsizetype at = 0; at < text.size();) {
                const qsizetype block = std::min<qsizetype>(random.bounded(1, 80), text.size() - at);
                inBlocks.feed(bytes + at, block);
                at += block;
            }
            for (const Utf8Validator* fast : {&whole, &inBlocks}) {
                QVERIFY2(fast->valid() == slow.valid(), text.toHex(' ').constData());
                QCOMPARE(fast->sawNonAscii(), slow.sawNonAscii());
            }
        }
    }
}

// The vector GB18030 check finds what the byte rule finds: each piece at every place
// of a chunk and across chunks, fed whole and in blocks that cut characters anywhere.
void TestTextEncoding::gb18030Methods()
{
    const QList<QByteArray> valid = {
        "a",        "\r\n",     "\xD6\xD0",         "\xA1\xA1",         "\x81\x40",        "\xFE\xFE",
        "\x81\x7E", "\x81\x80", "\x81\x30\x81\x30", "\x84\x31\xA4\x39", "\x90\x30\x81\x30"};
    const QList<QByteArray> invalid = {"\x80",         "\xFF",     "\x81\x7F",         "\x81\xFF",
                                       "\x81\x20",     "\x81\x3A", "\x84\x31\xA5\x30", "\x81\x30\x20\x30",
                                       "\x81\x30\x81", "\x81"};
    const QByteArray chinese = QByteArray("\xD6\xD0\xCE\xC4").repeated(40);
    QList<QByteArray> texts;
    for (int place = 0; place < 130; ++place) {
        for (const QByteArray& piece : valid + invalid) {
            texts.append(chinese.left(place) + piece + chinese);
            texts.append(QByteArray(place, 'a') + piece + chinese + piece);
        }
    }
    QRandomGenerator random(18030);
    for (int round = 0; round < 3000; ++round) {
        QByteArray text;
        for (int count = random.bounded(1, 120); count > 0; --count)
            text += random.bounded(40) != 0 ? valid.at(random.bounded(valid.size()))
                                            : invalid.at(random.bounded(invalid.size()));
        texts.append(text);
    }
    const auto detect = [&random](const QByteArray& text, VectorMethod method, bool inBlocks) {
        EncodingDetector detector(EncodingDetector::Gb18030Check::Checked, method);
        for (qsizetype at = 0; at < text.size();) {
            const qsizetype block =
                inBlocks ? std::min<qsizetype>(random.bounded(1, 200), text.size() - at) : text.size();
            detector.feed(text.constData() + at, block);
            at += block;
        }
        return detector.result().encoding;
    };
    for (const QByteArray& text : texts) {
        const TextEncoding expected = detect(text, VectorMethod::ByteByByte, false);
        for (const VectorMethod method : {VectorMethod::Avx2, VectorMethod::Ssse3}) {
            if (!cpu::isAvailable(method))
                continue;
            for (const bool inBlocks : {false, true})
                QVERIFY2(detect(text, method, inBlocks) == expected, text.toHex(' ').constData());
        }
    }
}

void TestTextEncoding::gb18030Samples_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("ASCII") << u"a\r\n"_s << QByteArray("a\r\n");
    QTest::newRow("中") << u"中"_s << QByteArray("\xD6\xD0");
    QTest::newRow("€") << u"€"_s << QByteArray("\xA2\xE3");
    QTest::newRow("U+0080, first four-byte") << u"\u0080"_s << QByteArray("\x81\x30\x81\x30");
    QTest::newRow("U+FFFF") << u"\uFFFF"_s << QByteArray("\x84\x31\xA4\x39");
    QTest::newRow("U+10000") << QChar::fromUcs4(0x10000).operator QStringView().toString()
                             << QByteArray("\x90\x30\x81\x30");
    QTest::newRow("𪚥 U+2A6A5") << QChar::fromUcs4(0x2A6A5).operator QStringView().toString()
                                << QByteArray("\x98\x35\xEE\x37");
    QTest::newRow("U+10FFFF") << QChar::fromUcs4(0x10FFFF).operator QStringView().toString()
                              << QByteArray("\xE3\x32\x9A\x35");
}

void TestTextEncoding::gb18030Samples()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);

    Gb18030Codec codec;
    QCOMPARE(encode(codec, text), std::optional<QByteArray>(bytes));
    QCOMPARE(Gb18030Codec::decode(bytes), std::optional<QString>(text));
}

// Every character goes there and back, and the detector takes the converter's bytes
// for GB18030. Left out, beside the surrogates: the 24 private-use characters whose
// bytes GB18030-2022 gave to standard characters, which glibc no longer encodes.
void TestTextEncoding::gb18030WholeRange()
{
    const QList<char32_t> givenUp{0xE78D, 0xE78E, 0xE78F, 0xE790, 0xE791, 0xE792, 0xE793, 0xE794,
                                  0xE795, 0xE796, 0xE816, 0xE817, 0xE818, 0xE81E, 0xE826, 0xE82B,
                                  0xE82C, 0xE831, 0xE832, 0xE83B, 0xE843, 0xE854, 0xE855, 0xE864};
    QString all;
    for (char32_t c = 0x80; c <= 0x10FFFF; ++c) {
        if ((c < 0xD800 || c > 0xDFFF) && !givenUp.contains(c))
            all.append(QChar::fromUcs4(c));
    }
    Gb18030Codec codec;
    const std::optional<QByteArray> bytes = encode(codec, all);
    QVERIFY(bytes.has_value());
    QCOMPARE(Gb18030Codec::decode(*bytes), std::optional<QString>(all));
    EncodingDetector detector;
    detector.feed(bytes->constData(), bytes->size());
    QCOMPARE(detector.result().encoding, TextEncoding::Gb18030);
}

void TestTextEncoding::gb18030Refused()
{
    Gb18030Codec codec;
    QCOMPARE(Gb18030Codec::decode("\xFF"), std::nullopt);
    QCOMPARE(Gb18030Codec::decode("\xD6"), std::nullopt);
    QCOMPARE(encode(codec, u"a\xD800"), std::nullopt);
}

// Inputs and actions written as words: a ASCII, u8 UTF-8, u8m UTF-8 with its mark,
// gb GB18030, le / be UTF-16, ? unknown; copy, strip (the mark), convert, refuse.
void TestTextEncoding::rule_data()
{
    QTest::addColumn<QString>("inputs");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QByteArray>("mark");
    QTest::addColumn<QString>("actions");

    const auto row = [](const char* inputs, const char* output, const QByteArray& mark, const char* actions) {
        QTest::newRow(inputs) << QString::fromLatin1(inputs) << QString::fromLatin1(output) << mark
                              << QString::fromLatin1(actions);
    };
    row("a a", "a", {}, "copy copy");
    row("? a", "a", {}, "copy copy");
    row("u8 u8", "u8", {}, "copy copy");
    row("gb gb", "gb", {}, "copy copy");
    row("a u8 gb", "u8", {}, "copy copy convert");
    row("a gb u8", "gb", {}, "copy copy convert");
    row("a u8m u8m", "u8", "\xEF\xBB\xBF", "copy strip strip");
    row("u8 u8m", "u8", {}, "copy strip");
    row("gb u8m", "gb", {}, "copy convert");
    row("a le u8", "le", "\xFF\xFE", "convert convert convert");
    row("be be", "be", "\xFE\xFF", "convert convert");
    row("u8 le", "u8", {}, "copy convert");
    row("u8 ?", "u8", {}, "copy copy");
    row("? gb", "gb", {}, "copy copy");
    row("le ?", "le", "\xFF\xFE", "convert refuse");
}

void TestTextEncoding::rule()
{
    QFETCH(QString, inputs);
    QFETCH(QString, output);
    QFETCH(QByteArray, mark);
    QFETCH(QString, actions);

    const QHash<QString, DetectedEncoding> encodings{
        {u"a"_s, {TextEncoding::Ascii, 0}},    {u"u8"_s, {TextEncoding::Utf8, 0}},
        {u"u8m"_s, {TextEncoding::Utf8, 3}},   {u"gb"_s, {TextEncoding::Gb18030, 0}},
        {u"le"_s, {TextEncoding::Utf16Le, 2}}, {u"be"_s, {TextEncoding::Utf16Be, 2}},
        {u"?"_s, {TextEncoding::Unknown, 0}},
    };
    const QHash<InputAction, QString> words{{InputAction::Copy, u"copy"_s},
                                            {InputAction::CopyWithoutMark, u"strip"_s},
                                            {InputAction::Convert, u"convert"_s},
                                            {InputAction::Refuse, u"refuse"_s}};
    QList<DetectedEncoding> detected;
    for (const QString& input : inputs.split(u' '))
        detected.append(encodings.value(input));
    EncodingRule rule;
    for (const DetectedEncoding& input : detected)
        rule.add(input);
    QCOMPARE(rule.output(), encodings.value(output).encoding);
    QCOMPARE(rule.mark(), mark);
    QStringList got;
    for (const DetectedEncoding& input : detected)
        got.append(words.value(rule.actionFor(input)));
    QCOMPARE(got.join(u' '), actions);
}

void TestTextEncoding::transcoding_data()
{
    QTest::addColumn<TextEncoding>("from");
    QTest::addColumn<TextEncoding>("to");
    QTest::addColumn<QByteArray>("input");
    // Empty where the input must be refused.
    QTest::addColumn<QByteArray>("output");

    const auto utf8 = TextEncoding::Utf8;
    const auto gb = TextEncoding::Gb18030;
    const auto le = TextEncoding::Utf16Le;
    const auto be = TextEncoding::Utf16Be;
    const auto row = [](const char* name, TextEncoding from, TextEncoding to, const QByteArray& input,
                        const QByteArray& output) { QTest::newRow(name) << from << to << input << output; };
    const QByteArray zhongWen("\xD6\xD0\r\n\xCE\xC4\r\n");
    row("UTF-8 to GB18030", utf8, gb, "\xE4\xB8\xAD\r\n\xE6\x96\x87", zhongWen);
    row("GB18030, lone CR, to UTF-8", gb, utf8, "\xD6\xD0\r\xCE\xC4", "\xE4\xB8\xAD\r\n\xE6\x96\x87\r\n");
    row("four bytes to four bytes", utf8, gb, "\xF0\xAA\x9A\xA5\r\n", "\x98\x35\xEE\x37\r\n");
    row("GB18030 four bytes to UTF-8", gb, utf8, "\x98\x35\xEE\x37", "\xF0\xAA\x9A\xA5\r\n");
    row("GB18030 characters cut by blocks", gb, utf8, "a\xD6\xD0\xCE\xC4\x98\x35\xEE\x37",
        "a\xE4\xB8\xAD\xE6\x96\x87\xF0\xAA\x9A\xA5\r\n");
    row("ASCII to UTF-16LE, LF alone kept", TextEncoding::Ascii, le, "a\nb",
        QByteArray("a\0\n\0b\0\r\0\n\0", 10));
    row("UTF-16LE, 名 holds 0D, to UTF-8, mark dropped", le, utf8, QByteArray("\xFF\xFE\x0D\x54\r\0\n\0", 8),
        "\xE5\x90\x8D\r\n");
    row("UTF-16LE lone CR, to itself", le, le,
        QByteArray("\xFF\xFE"
                   "a\0\r\0b\0",
                   8),
        QByteArray("a\0\r\0\n\0b\0\r\0\n\0", 12));
    row("UTF-16BE surrogate pair to GB18030", be, gb, QByteArray("\xFE\xFF\xD8\x69\xDE\xA5", 6),
        "\x98\x35\xEE\x37\r\n");
    row("UTF-8 mark dropped", utf8, gb,
        "\xEF\xBB\xBF"
        "a\r\n",
        "a\r\n");
    row("empty input stays empty", utf8, gb, {}, {});
    row("refused: not UTF-8", utf8, gb, "a\xFF", {});
    row("refused: UTF-8 cut short", utf8, gb, "a\xE4\xB8", {});
    row("refused: GB18030 cut short", gb, utf8, "\xD6\xD0\xCE", {});
    row("refused: lone surrogate", be, utf8, QByteArray("\xFE\xFF\xD8\x69", 4), {});
    row("refused: lone low surrogate at the end", le, utf8, QByteArray("\xFF\xFE\x61\x00\x00\xDC", 6), {});
    row("refused: lone low surrogate first", le, gb, QByteArray("\xFF\xFE\x00\xDC\x61\x00", 6), {});
    row("refused: high surrogate before a letter", le, utf8, QByteArray("\xFF\xFE\x00\xD8\x61\x00", 6), {});
    row("GBK ending in a lone CR, to UTF-8", gb, utf8, "\xD6\xD0\r", "\xE4\xB8\xAD\r\n");
    row("UTF-16LE ending in a lone CR, to UTF-8", le, utf8, QByteArray("\xFF\xFEx\0\r\0", 6), "x\r\n");
}

// Whole, and a byte at a time, so that blocks cut characters and CR LF pairs.
void TestTextEncoding::transcoding()
{
    QFETCH(TextEncoding, from);
    QFETCH(TextEncoding, to);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, output);

    Gb18030Codec codec;
    for (const qsizetype block : {input.size(), qsizetype(1), qsizetype(2), qsizetype(3)}) {
        TextTranscoder transcoder(from, to, codec);
        QByteArray out;
        bool ok = true;
        for (qsizetype at = 0; at < input.size() && ok; at += block)
            ok = transcoder.feed(QByteArrayView(input).sliced(at, std::min(block, input.size() - at)), out);
        ok = ok && transcoder.finish(out);
        QCOMPARE(ok, !output.isEmpty() || input.isEmpty());
        if (ok)
            QCOMPARE(out, output);
        // Every refusal here is of text that is not valid, never of a character the
        // output cannot hold.
        QVERIFY(ok || !transcoder.cannotEncode());
    }
}

QTEST_GUILESS_MAIN(TestTextEncoding)
#include "tst_textencoding.moc"
