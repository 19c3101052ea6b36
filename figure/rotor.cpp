// The moving parts: the rotor's ring gear, the fixed centre gear and the
// three-flanked rotor outline, all for one crank angle.
#include "figure/engine.h"
#include "figure/pixel.h"

#include <cmath>

namespace {

// Start, step and limit of the flank parameter: 3.14/6, 3.14/90 and
// 7 * 3.14/6 as doubles. Accumulating the step gives exactly 91 points.
constexpr double kFirstB = 0.5233333333333333;
constexpr double kStepB = 0.03488888888888889;
constexpr double kLastB = 3.6633333333333336;

// Along the middle flank (3.14/2 <= B < 5 * 3.14/6) cos 3B changes sign;
// P is negated there so that every flank bows in towards the centre.
constexpr double kFlipFrom = 1.57;
constexpr double kFlipTo = 2.6166666666666667;

void PlotEllipse(HDC dc, double left, double top, double right, double bottom)
{
    std::int32_t l, t, r, b;
    if (ToPixel(left, &l) && ToPixel(top, &t) && ToPixel(right, &r) &&
        ToPixel(bottom, &b))
        Ellipse(dc, l, t, r, b);
}

}  // namespace

void DrawRotor(HDC dc, double eccentricity, double crankAngle, double centreX,
               double centreY, double generatingRadius)
{
    const double a = eccentricity;
    const double b = crankAngle;
    const double cx = centreX;
    const double cy = centreY;
    const double r = generatingRadius;

    const double cb = std::cos(b);
    const double sb = std::sin(b);

    // The rotor centre rides on a circle of radius a about the window
    // centre; at b = 0 it is straight above.
    const double nx = -(sb * a);
    const double ny = -(cb * a);
    const double x0 = cx + nx;
    const double y0 = cy + ny;

    PlotEllipse(dc, x0 - 3.0 * a, y0 - 3.0 * a, x0 + 3.0 * a, y0 + 3.0 * a);
    PlotEllipse(dc, cx - 2.0 * a, cy - 2.0 * a, cx + 2.0 * a, cy + 2.0 * a);

    const double k1 = a * 9.0 * a / r / r;
    const double k2 = (a * 3.0) * a / r;
    // The rotor turns a third of the crank angle: phi + b = b / 3.
    const double phi = b * -2.0 / 3.0;
    const double cphi = std::cos(phi);
    const double sphi = std::sin(phi);

    // A point that cannot be plotted (R = 0 makes them all 0/0) breaks the
    // polyline; the next good point starts it again.
    bool penDown = false;
    double flank = kFirstB;
    do {
        const double s3 = std::sin(3.0 * flank);
        const double q = std::sqrt(1.0 - k1 * s3 * s3);
        double p = (q * (2.0 * a)) * std::cos(3.0 * flank);
        if (kFlipFrom <= flank && flank < kFlipTo)
            p = -p;
        const double g = std::sin(6.0 * flank) * k2;
        const double c2 = std::cos(2.0 * flank);
        const double s2 = std::sin(2.0 * flank);

        // Rotor frame: R + P along (sin 2B, cos 2B), G across it.
        const double u = s2 * r + c2 * g + s2 * p;
        const double v = c2 * r - s2 * g + c2 * p;

        // Turn by the crank angle, then back by two thirds of it, and move
        // to the rotor centre.
        const double v1 = v - a;
        const double w1 = sb * v1 + cb * u - nx;
        const double w2 = cb * v1 - sb * u - ny;
        const double x = sphi * w2 + cphi * w1 + nx + cx;
        const double y = cphi * w2 - sphi * w1 + ny + cy;

        std::int32_t px, py;
        if (ToPixel(x, &px) && ToPixel(y, &py)) {
            if (penDown)
                LineTo(dc, px, py);
            else
                MoveToEx(dc, px, py, nullptr);
            penDown = true;
        } else {
            penDown = false;
        }
        // Accumulated, not start + k * step: the rounding of the running
        // sum decides which side of the flip bounds points 30 and 60 fall
        // and that point 90 is still inside the limit.
        flank += kStepB;
    } while (flank <= kLastB);
}
