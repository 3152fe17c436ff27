#include "browser/ReadingOrder.h"

#include "browser/ChineseNumeral.h"

#include <algorithm>

namespace {

// A number in a key: this mark, then its count of digits, then its decimal digits
// without leading zeros; so numbers compare by value, and against a character as
// a digit did before numbers were read at all. A version's further part follows its
// own mark, above every character, so that 42 and whatever follows it come before
// 42.5.
constexpr char16_t numberMark = u'0';
constexpr char16_t versionMark = 0xFFFF;

struct Cursor
{
    const char16_t* at;
    const char16_t* end;

    [[nodiscard]] bool atEnd() const { return at == end; }
};

// ASCII and full-width digits: both positional, so a run may mix them.
int digitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'０' && c <= u'９')
        return c - u'０';
    return -1;
}

char16_t folded(char16_t c)
{
    if (c < 0x80)
        return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
    return QChar(c).toCaseFolded().unicode();
}

// Digits of any length, so that runs longer than 64 bits still compare by value.
void appendDigits(Cursor& name, ReadingKey& key)
{
    while (!name.atEnd() && digitValue(*name.at) == 0)
        ++name.at;
    const std::size_t countAt = key.size();
    key.push_back(0);
    for (; !name.atEnd() && digitValue(*name.at) >= 0; ++name.at)
        key.push_back(char16_t(u'0' + digitValue(*name.at)));
    key[countAt] = char16_t(key.size() - countAt - 1);
}

void appendDigitNumber(Cursor& name, ReadingKey& key)
{
    key.push_back(numberMark);
    appendDigits(name, key);
    while (name.end - name.at >= 2 && name.at[0] == u'.' && digitValue(name.at[1]) >= 0) {
        ++name.at;
        key.push_back(versionMark);
        appendDigits(name, key);
    }
}

void appendValue(std::uint64_t value, ReadingKey& key)
{
    char16_t digits[20];
    char16_t* first = std::end(digits);
    for (; value != 0; value /= 10)
        *--first = char16_t(u'0' + value % 10);
    key.push_back(numberMark);
    key.push_back(char16_t(std::end(digits) - first));
    key.append(first, std::end(digits));
}

// A run of Chinese numerals counts as its value, or as its characters when it is
// no number.
void appendChineseNumber(Cursor& name, ReadingKey& key)
{
    const char16_t* start = name.at;
    name.at = std::find_if_not(name.at, name.end, isChineseNumeral);
    if (const std::optional<std::uint64_t> value = chineseNumeralValue(QStringView(start, name.at))) {
        appendValue(*value, key);
        return;
    }
    key.append(start, name.at); // Chinese numerals have no letter case to fold
}

} // namespace

ReadingKey readingKey(QStringView name)
{
    ReadingKey key;
    key.reserve(std::size_t(name.size()) + 4);
    Cursor cursor{name.utf16(), name.utf16() + name.size()};
    while (!cursor.atEnd()) {
        const char16_t c = *cursor.at;
        if (digitValue(c) >= 0) {
            appendDigitNumber(cursor, key);
        } else if (c >= 0x3007 && isChineseNumeral(c)) {
            appendChineseNumber(cursor, key);
        } else {
            key.push_back(folded(c));
            ++cursor.at;
        }
    }
    return key;
}

bool readingLess(const QString& a, const QString& b)
{
    const int byKey = readingKey(a).compare(readingKey(b));
    if (byKey != 0)
        return byKey < 0;
    return a.compare(b, Qt::CaseSensitive) < 0;
}
