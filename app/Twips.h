#pragma once

#include <QPoint>
#include <QRect>

// The window is laid out in twips, the unit of its design: 15 twips are one logical
// pixel, and Qt scales logical pixels for high-DPI screens.
namespace twips {

inline constexpr int perPixel = 15;

[[nodiscard]] int toPixels(int twips);
[[nodiscard]] QRect toRect(int left, int top, int width, int height);
[[nodiscard]] QPoint toPoint(int left, int top);

} // namespace twips
