#include "browser/NaturalOrder.h"

namespace {

// Works on raw UTF-16 units: the file pane sorts tens of thousands of names, and
// this loop is where the time goes.
struct Cursor
{
    const char16_t* at;
    const char16_t* end;
};

// Only ASCII digits form numbers: other scripts' digits compare as characters,
// which keeps the order consistent.
bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

char16_t folded(char16_t c)
{
    if (c < 0x80)
        return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
    return QChar(c).toCaseFolded().unicode();
}

// Consumes a run of digits and compares it by value with the other side's run,
// without converting, so runs of any length work. Returns <0, 0 or >0.
int compareNumbers(Cursor& a, Cursor& b)
{
    while (a.at < a.end && *a.at == u'0')
        ++a.at;
    while (b.at < b.end && *b.at == u'0')
        ++b.at;
    int firstDifference = 0;
    while (true) {
        const bool moreA = a.at < a.end && isDigit(*a.at);
        const bool moreB = b.at < b.end && isDigit(*b.at);
        if (!moreA || !moreB) {
            // The longer run holds the bigger number.
            if (moreA != moreB)
                return moreA ? 1 : -1;
            return firstDifference;
        }
        if (firstDifference == 0 && *a.at != *b.at)
            firstDifference = *a.at < *b.at ? -1 : 1;
        ++a.at;
        ++b.at;
    }
}

// The order ignoring letter case and leading zeros; 0 when the names are equal
// under it.
int compareLoosely(const QString& left, const QString& right)
{
    const QStringView viewA(left);
    const QStringView viewB(right);
    Cursor a{viewA.utf16(), viewA.utf16() + viewA.size()};
    Cursor b{viewB.utf16(), viewB.utf16() + viewB.size()};
    while (a.at < a.end && b.at < b.end) {
        if (isDigit(*a.at) && isDigit(*b.at)) {
            const int byValue = compareNumbers(a, b);
            if (byValue != 0)
                return byValue;
            continue;
        }
        const char16_t ca = folded(*a.at);
        const char16_t cb = folded(*b.at);
        if (ca != cb)
            return ca < cb ? -1 : 1;
        ++a.at;
        ++b.at;
    }
    return int(a.at < a.end) - int(b.at < b.end);
}

} // namespace

bool naturalLess(const QString& a, const QString& b)
{
    const int loose = compareLoosely(a, b);
    if (loose != 0)
        return loose < 0;
    return a.compare(b, Qt::CaseSensitive) < 0;
}
