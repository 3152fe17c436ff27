#pragma once

#include <QPoint>
#include <QRect>

// Where a window's frame goes so that the whole of it lies inside the screen's
// available area (the screen without taskbars and panels): where it stands when it
// fits, else moved the least distance that makes it fit. Along a side where the area
// is smaller than the frame, the frame starts where the area starts, so that its title
// bar and its top-left controls stay reachable.
[[nodiscard]] QPoint fittedFramePosition(const QRect& frame, const QRect& available);
