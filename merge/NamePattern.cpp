#include "merge/NamePattern.h"

#include <QChar>
#include <QList>

namespace {

bool sameCharacter(char32_t a, char32_t b, Qt::CaseSensitivity cs)
{
    if (a == b)
        return true;
    return cs == Qt::CaseInsensitive && QChar::toCaseFolded(a) == QChar::toCaseFolded(b);
}

} // namespace

bool matchesNamePattern(QStringView pattern, QStringView name, Qt::CaseSensitivity cs)
{
    const QList<uint> p = pattern.toUcs4();
    const QList<uint> n = name.toUcs4();
    // Greedy matching that backtracks only to the latest "*": linear in practice and
    // never exponential, however many stars the pattern holds.
    qsizetype pi = 0;
    qsizetype ni = 0;
    qsizetype starAt = -1;
    qsizetype resumeAt = 0;
    while (ni < n.size()) {
        if (pi < p.size() && p[pi] == '*') {
            starAt = pi++;
            resumeAt = ni;
        } else if (pi < p.size() && (p[pi] == '?' || sameCharacter(p[pi], n[ni], cs))) {
            ++pi;
            ++ni;
        } else if (starAt >= 0) {
            pi = starAt + 1;
            ni = ++resumeAt;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*')
        ++pi;
    return pi == p.size();
}
