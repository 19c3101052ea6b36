// Engine dimensions from the client size, and the animation clock.
#include "figure/engine.h"

EngineState engineState;

void UpdateEngineLayout(const RECT& client)
{
    // The arithmetic is 32-bit integer arithmetic truncating toward zero;
    // the intermediates are widened only so that a nonsensical rectangle
    // cannot overflow. Any rectangle the window system gives yields the
    // same values either way.
    const std::int64_t width = std::int64_t{client.right} - client.left;
    const std::int64_t height = std::int64_t{client.bottom} - client.top;
    engineState.clientWidth = static_cast<std::int32_t>(width);
    engineState.clientHeight = static_cast<std::int32_t>(height);

    const std::int64_t smaller = height < width ? height : width;
    const std::int64_t half = smaller / 2;
    const std::int64_t radius = (7 * half) / 9;
    engineState.generatingRadius = static_cast<std::int32_t>(radius);
    // From the already truncated radius, so 3e < R holds for every R > 0
    // and the rotor's square root never sees a negative argument.
    engineState.eccentricity = static_cast<std::int32_t>(radius / 7);
}

void AdvanceFrame()
{
    // 61 values, 0 to 60: the crank turns (almost) three times per cycle.
    if (engineState.frameIndex > 59)
        engineState.frameIndex = 0;
    else
        engineState.frameIndex += 1;
}

double CrankAngle(std::int32_t frame)
{
    // 3.14, not pi, and this exact order of operations: the pictures of
    // every frame depend on the rounding of each step. Negating after the
    // conversion gives the same value and stays defined for INT32_MIN.
    return -static_cast<double>(frame) / 60.0 * 3.14 * 2.0 * 3.0;
}
