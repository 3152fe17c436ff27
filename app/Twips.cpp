#include "app/Twips.h"

#include <cmath>

namespace twips {

int toPixels(int twips)
{
    return static_cast<int>(std::lround(static_cast<double>(twips) / perPixel));
}

QRect toRect(int left, int top, int width, int height)
{
    return {toPixels(left), toPixels(top), toPixels(width), toPixels(height)};
}

QPoint toPoint(int left, int top)
{
    return {toPixels(left), toPixels(top)};
}

} // namespace twips
