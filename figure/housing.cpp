// The fixed housing: a two-lobed epitrochoid, long axis vertical,
//   dx = e sin 3t + R sin t,  dy = e cos 3t + R cos t.
#include "figure/engine.h"
#include "figure/pixel.h"

#include <cmath>

void DrawHousing(HDC dc, std::int32_t centreX, std::int32_t centreY)
{
    const std::int32_t e = engineState.eccentricity;
    const std::int32_t r = engineState.generatingRadius;
    const std::int32_t n = e + r;
    const double cx = centreX;
    const double cy = centreY;

    // Offsets of the previous sample, truncated before they are added to
    // the centre; the current ends truncate after the addition, so on the
    // left and upper quarters neighbouring segments may miss by a pixel.
    std::int32_t prevX = 0;
    std::int32_t prevY = 0;

    // One quarter, theta from pi/2 down to 0, spaced evenly in cos theta;
    // each sample is mirrored into all four quarters.
    for (std::int32_t i = 0; i <= n; ++i) {
        const double t = static_cast<double>(i) / static_cast<double>(n);
        const double theta = std::acos(t);
        // The single angle comes back from the triple one rather than being
        // used as it is: the rounding of that round trip shows in the pixels.
        const double theta3 = theta * 3.0;
        const double theta1 = theta3 / 3.0;
        const double dy = std::cos(theta3) * e + std::cos(theta1) * r;
        const double dx = std::sin(theta3) * e + std::sin(theta1) * r;

        // With R = 0 the only sample is 0/0: nothing to plot.
        std::int32_t x1, x2, y1, y2, offX, offY;
        if (!ToPixel(cx + dx, &x1) || !ToPixel(cx - dx, &x2) ||
            !ToPixel(cy + dy, &y1) || !ToPixel(cy - dy, &y2) ||
            !ToPixel(dx, &offX) || !ToPixel(dy, &offY))
            continue;

        // The first sample starts on its own side point, so its four
        // segments are empty.
        if (i == 0)
            prevX = offX;

        // Newer sample to older: LineTo leaves out the older end's pixel.
        MoveToEx(dc, x1, y1, nullptr);
        LineTo(dc, centreX + prevX, centreY + prevY);
        MoveToEx(dc, x2, y1, nullptr);
        LineTo(dc, centreX - prevX, centreY + prevY);
        MoveToEx(dc, x1, y2, nullptr);
        LineTo(dc, centreX + prevX, centreY - prevY);
        MoveToEx(dc, x2, y2, nullptr);
        LineTo(dc, centreX - prevX, centreY - prevY);

        prevY = offY;
        prevX = offX;
    }
}
