#include "merge/output/NamePattern.h"

#include "base/NameBytes.h"

#include <QList>

namespace {

// The name's characters: code points for valid UTF-8 sequences, and for any other
// byte a value above every code point, so that it equals only the same byte.
QList<char32_t> charactersOf(QByteArrayView bytes)
{
    QList<char32_t> characters;
    characters.reserve(bytes.size());
    while (!bytes.isEmpty()) {
        const qsizetype length = utf8SequenceLength(bytes);
        if (length == 0) {
            characters.append(0x110000 + static_cast<unsigned char>(bytes.front()));
            bytes = bytes.sliced(1);
            continue;
        }
        const QString text = QString::fromUtf8(bytes.first(length));
        characters.append(text.toUcs4().constFirst());
        bytes = bytes.sliced(length);
    }
    return characters;
}

} // namespace

bool matchesNamePattern(QByteArrayView pattern, QByteArrayView name)
{
    const QList<char32_t> p = charactersOf(pattern);
    const QList<char32_t> n = charactersOf(name);
    // Greedy matching that backtracks only to the latest "*": linear in practice and
    // never exponential, however many stars the pattern holds.
    qsizetype pi = 0;
    qsizetype ni = 0;
    qsizetype starAt = -1;
    qsizetype resumeAt = 0;
    while (ni < n.size()) {
        if (pi < p.size() && p[pi] == U'*') {
            starAt = pi++;
            resumeAt = ni;
        } else if (pi < p.size() && (p[pi] == U'?' || p[pi] == n[ni])) {
            ++pi;
            ++ni;
        } else if (starAt >= 0) {
            pi = starAt + 1;
            ni = ++resumeAt;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == U'*')
        ++pi;
    return pi == p.size();
}
