#include "outputname/DeviceName.h"

#include <QString>

#include <array>

namespace {

// Windows counts the superscript digits 1, 2 and 3 as port numbers as well.
bool isPortNumber(QChar c)
{
    return (c >= u'1' && c <= u'9') || c == u'\u00b9' || c == u'\u00b2' || c == u'\u00b3';
}

bool isPortName(QStringView base)
{
    if (base.size() != 4 || !isPortNumber(base.at(3)))
        return false;
    const QStringView prefix = base.first(3);
    return prefix.compare(u"COM", Qt::CaseInsensitive) == 0 ||
           prefix.compare(u"LPT", Qt::CaseInsensitive) == 0;
}

} // namespace

bool isWindowsDeviceName(QStringView fileName)
{
    static constexpr std::array<QStringView, 6> devices = {u"CON", u"PRN",    u"AUX",
                                                           u"NUL", u"CONIN$", u"CONOUT$"};
    const qsizetype dot = fileName.indexOf(u'.');
    QStringView base = dot < 0 ? fileName : fileName.first(dot);
    while (base.endsWith(u' '))
        base.chop(1);
    if (isPortName(base))
        return true;
    for (const QStringView device : devices) {
        if (base.compare(device, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}
