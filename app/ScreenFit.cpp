#include "app/ScreenFit.h"

#include <algorithm>

namespace {

int fittedStart(int start, int length, int areaStart, int areaLength)
{
    if (length >= areaLength)
        return areaStart;
    return std::clamp(start, areaStart, areaStart + areaLength - length);
}

} // namespace

QPoint fittedFramePosition(const QRect& frame, const QRect& available)
{
    return {fittedStart(frame.x(), frame.width(), available.x(), available.width()),
            fittedStart(frame.y(), frame.height(), available.y(), available.height())};
}
