#include "browser/ChineseNumeral.h"

#include <limits>

namespace {

constexpr int notNumeral = -1;
constexpr int two = 2;

// A digit's value (0 to 9), a unit's (10 to 100,000,000), or notNumeral.
std::int64_t numeralWorth(char16_t c)
{
    switch (c) {
    case u'〇':
    case u'零':
        return 0;
    case u'一':
    case u'壹':
        return 1;
    case u'二':
    case u'两':
    case u'贰':
        return two;
    case u'三':
    case u'叁':
        return 3;
    case u'四':
    case u'肆':
        return 4;
    case u'五':
    case u'伍':
        return 5;
    case u'六':
    case u'陆':
        return 6;
    case u'七':
    case u'柒':
        return 7;
    case u'八':
    case u'捌':
        return 8;
    case u'九':
    case u'玖':
        return 9;
    case u'十':
    case u'拾':
        return 10;
    case u'百':
    case u'佰':
        return 100;
    case u'千':
    case u'仟':
        return 1000;
    case u'万':
        return 10'000;
    case u'亿':
        return 100'000'000;
    default:
        return notNumeral;
    }
}

bool isUnit(std::int64_t worth)
{
    return worth >= 10;
}

constexpr std::uint64_t largest = std::numeric_limits<std::uint64_t>::max();

bool add(std::uint64_t& sum, std::uint64_t value)
{
    if (value > largest - sum)
        return false;
    sum += value;
    return true;
}

bool multiply(std::uint64_t& product, std::uint64_t factor)
{
    if (factor != 0 && product > largest / factor)
        return false;
    product *= factor;
    return true;
}

// 二〇二四: each character one decimal digit. 两 counts only alone (两 = 2): in a row of
// digits it is no digit anyone writes.
std::optional<std::uint64_t> digitByDigit(QStringView run)
{
    if (run.size() > 1 && run.contains(u'两'))
        return std::nullopt;
    std::uint64_t value = 0;
    for (const QChar c : run) {
        if (!multiply(value, 10) || !add(value, std::uint64_t(numeralWorth(c.unicode()))))
            return std::nullopt;
    }
    return value;
}

// Reads a run with units from left to right. 亿 closes everything before it, 万 the
// part since 亿, and 十百千 count down within the part below 万.
class SpokenNumber
{
public:
    bool take(std::int64_t worth);
    [[nodiscard]] std::optional<std::uint64_t> finish();

private:
    enum class Last
    {
        Start,
        Digit,
        Zero,
        SmallUnit,
        BigUnit
    };

    bool takeSmallUnit(std::int64_t unit);
    bool takeBigUnit(std::int64_t unit);
    // The part below 万 with its pending digit, which there counts units.
    [[nodiscard]] std::optional<std::uint64_t> closedSmall() const;

    std::uint64_t m_yi = 0;    // what 亿 closed, already multiplied
    std::uint64_t m_wan = 0;   // what 万 closed, already multiplied
    std::uint64_t m_small = 0; // below 万
    std::int64_t m_smallUnit = 0;
    std::int64_t m_lastUnit = 0;
    std::int64_t m_digit = 0;
    bool m_zeroSinceUnit = false;
    bool m_seenWan = false;
    bool m_seenYi = false;
    Last m_last = Last::Start;
};

bool SpokenNumber::take(std::int64_t worth)
{
    if (worth == 0) {
        // 零 stands only for skipped units between two parts: never first, never twice.
        if (m_last != Last::SmallUnit && m_last != Last::BigUnit)
            return false;
        m_zeroSinceUnit = true;
        m_last = Last::Zero;
        return true;
    }
    if (!isUnit(worth)) {
        if (m_last == Last::Digit)
            return false;
        m_digit = worth;
        m_last = Last::Digit;
        return true;
    }
    return worth >= 10'000 ? takeBigUnit(worth) : takeSmallUnit(worth);
}

bool SpokenNumber::takeSmallUnit(std::int64_t unit)
{
    std::int64_t times = 0;
    if (m_last == Last::Digit)
        times = m_digit;
    else if (m_last == Last::Start && unit == 10)
        times = 1; // 十一 says no 一 before 十
    else
        return false;
    if (m_smallUnit != 0 && unit >= m_smallUnit)
        return false;
    m_small += std::uint64_t(times * unit);
    m_smallUnit = unit;
    m_lastUnit = unit;
    m_zeroSinceUnit = false;
    m_last = Last::SmallUnit;
    return true;
}

std::optional<std::uint64_t> SpokenNumber::closedSmall() const
{
    if (m_last != Last::Digit)
        return m_small;
    // 一千二万 is no number: after a unit above 十 only 零 leads to the units digit.
    if (m_lastUnit > 10 && m_smallUnit != 0 && !m_zeroSinceUnit)
        return std::nullopt;
    return m_small + std::uint64_t(m_digit);
}

bool SpokenNumber::takeBigUnit(std::int64_t unit)
{
    const bool wan = unit == 10'000;
    if (m_last == Last::Start || m_last == Last::Zero || (wan ? m_seenWan : m_seenYi))
        return false;
    const std::optional<std::uint64_t> small = closedSmall();
    if (!small)
        return false;
    std::uint64_t part = wan ? *small : m_wan + *small;
    if (part == 0 || !multiply(part, std::uint64_t(unit)))
        return false;
    if (wan) {
        m_wan = part;
        m_seenWan = true;
    } else {
        m_yi = part;
        m_wan = 0;
        m_seenWan = false;
        m_seenYi = true;
    }
    m_small = 0;
    m_smallUnit = 0;
    m_lastUnit = unit;
    m_zeroSinceUnit = false;
    m_last = Last::BigUnit;
    return true;
}

std::optional<std::uint64_t> SpokenNumber::finish()
{
    if (m_last == Last::Zero)
        return std::nullopt;
    std::uint64_t value = m_yi;
    if (!add(value, m_wan) || !add(value, m_small))
        return std::nullopt;
    if (m_last != Last::Digit)
        return value;
    // A last digit straight after a unit counts the unit below it: 一百五 = 150,
    // 两万三 = 23,000; after 零 or 十 it counts ones.
    const std::uint64_t place = m_zeroSinceUnit || m_lastUnit <= 10 ? 1 : std::uint64_t(m_lastUnit / 10);
    if (!add(value, std::uint64_t(m_digit) * place))
        return std::nullopt;
    return value;
}

} // namespace

bool isChineseNumeral(char16_t c)
{
    return numeralWorth(c) != notNumeral;
}

std::optional<std::uint64_t> chineseNumeralValue(QStringView run)
{
    bool hasUnit = false;
    for (const QChar c : run) {
        const std::int64_t worth = numeralWorth(c.unicode());
        if (worth == notNumeral)
            return std::nullopt;
        hasUnit = hasUnit || isUnit(worth);
    }
    if (run.isEmpty())
        return std::nullopt;
    if (!hasUnit)
        return digitByDigit(run);
    SpokenNumber number;
    for (const QChar c : run) {
        if (!number.take(numeralWorth(c.unicode())))
            return std::nullopt;
    }
    return number.finish();
}
