#include "checks.h"

#include "figure/engine.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace {

int passed = 0;
int failed = 0;

}  // namespace

// One check: prints what was expected and what was seen.
bool Check(bool ok, const char* what, const char* format, ...)
{
    char detail[512] = "";
    va_list args;
    va_start(args, format);
    std::vsnprintf(detail, sizeof detail, format, args);
    va_end(args);
    std::printf("%s: %s%s%s\n", ok ? "ok" : "FAIL", what, *detail ? ": " : "", detail);
    std::fflush(stdout);
    (ok ? passed : failed) += 1;
    return ok;
}

bool IsGreen(const Picture& p, int x, int y)
{
    return x >= 0 && y >= 0 && x < p.width && y < p.height && p.At(x, y) == kGreen;
}

// The program's picture at a client size: exactly one of its 61 frames,
// the housing's ends where they belong, the colours right.
int CheckPicture(HWND window, const FrameSet& frames, const char* when)
{
    const int width = frames.width, height = frames.height;
    Picture seen;
    const int frame = WaitForExactFrame(window, frames, &seen);
    Check(frame >= 0, "window shows one frame of the figure, pixel for pixel", "%s, %dx%d: frame %d",
          when, width, height, frame);
    if (seen.width != width || seen.height != height) {
        Check(false, "capture size", "expected %dx%d, got %dx%d", width, height, seen.width,
              seen.height);
        return -1;
    }
    const Census c = CountColours(seen);
    Check(c.other == 0 && c.white > long(width) * height * 8 / 10 && c.green > 0 && c.red > 0,
          "white background, green and red lines, nothing else",
          "%s: white %ld, green %ld, red %ld, other %ld", when, c.white, c.green, c.red, c.other);

    // Housing: top and bottom at R + e from the centre, sides at R - e.
    RECT all = {0, 0, width, height};
    const EngineState saved = engineState;
    UpdateEngineLayout(all);
    const int reach = engineState.generatingRadius + engineState.eccentricity;
    const int waist = engineState.generatingRadius - engineState.eccentricity;
    engineState = saved;
    const int cx = width / 2, cy = height / 2;
    // The apexes ride on the housing, so truncation may put one a pixel
    // beyond it (frame 0's top apex is at y 33 over a housing top at 34).
    const int margin = 2;
    Check(c.redBox.left >= cx - reach - margin && c.redBox.right <= cx + reach + margin &&
              c.redBox.top >= cy - reach - margin && c.redBox.bottom <= cy + reach + margin,
          "red rotor and gears inside the housing",
          "%s: red box (%ld,%ld)-(%ld,%ld), housing reach %d", when, c.redBox.left,
          c.redBox.top, c.redBox.right, c.redBox.bottom, reach);
    // The housing's side points are left unlit: the segments that reach
    // them end there, and LineTo leaves out its last pixel.
    Check(!IsGreen(seen, cx - waist, cy) && !IsGreen(seen, cx + waist, cy),
          "housing side points stay unlit", "%s: (%d, %d) and (%d, %d)", when, cx - waist, cy,
          cx + waist, cy);
    // The rotor may pass over the housing's ends, so wait for a frame that
    // leaves each one visible.
    const POINT ends[] = {{cx, cy - reach}, {cx, cy + reach}, {cx - waist - 1, cy}, {cx + waist, cy - 1}};
    for (const POINT end : ends) {
        bool green = false;
        WaitFor([&] { return green = IsGreen(CaptureClient(window), end.x, end.y); }, 3000);
        Check(green, "housing drawn in green", "%s: (%ld, %ld)", when, end.x, end.y);
    }
    return frame;
}

void CheckAnimationGoesOn(HWND window, const FrameSet& frames, int shown, const char* when)
{
    // A window surface kept from before (a minimise, a resize) is one of
    // the frames too, and a program whose timer has died still paints once
    // when it is shown again; so the capture must see the frame change
    // twice more, which only a running timer does.
    const ULONGLONG end = GetTickCount64() + 2000;
    const auto left = [&] { return DWORD(std::max<LONGLONG>(0, LONGLONG(end - GetTickCount64()))); };
    const int next = shown >= 0 ? WaitForNextFrame(window, frames, shown, left()) : -1;
    const int after = next >= 0 ? WaitForNextFrame(window, frames, next, left()) : -1;
    Check(after >= 0, "the animation goes on: two more exact frames within 2 s",
          "%s: frames %d, %d, %d", when, shown, next, after);
}

int Summary()
{
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
