// Turning computed coordinates into pixels.
#pragma once

#include <cmath>
#include <cstdint>

// Truncates toward zero into *pixel. Returns false, leaving *pixel alone,
// when v is not a number or lies outside the 32-bit coordinate range: the
// conversion would be undefined, so such a point is simply not plotted.
inline bool ToPixel(double v, std::int32_t* pixel)
{
    if (!(v > -2147483649.0 && v < 2147483648.0))
        return false;
    *pixel = static_cast<std::int32_t>(v);
    return true;
}
