#include "checks.h"

#include "figure/engine.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

int passed = 0;
int failed = 0;
bool printPasses = true;

}  // namespace

bool CheckAt(const char* file, int line, bool ok, const char* what, const char* format, ...)
{
    char detail[512] = "";
    va_list args;
    va_start(args, format);
    std::vsnprintf(detail, sizeof detail, format, args);
    va_end(args);
    const char* tests = std::strstr(file, "tests");  // the path from tests/ on
    if (!ok)
        std::printf("%s:%d: FAIL: ", tests ? tests : file, line);
    if (!ok || printPasses)
        std::printf("%s%s%s%s\n", ok ? "ok: " : "", what, *detail ? ": " : "", detail);
    std::fflush(stdout);
    (ok ? passed : failed) += 1;
    return ok;
}

void PrintPasses(bool print) { printPasses = print; }

int Summary()
{
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}

void CheckPictureAndAnimation(HWND window, const FrameSet& frames, const char* when)
{
    const int width = frames.width, height = frames.height;
    Picture seen;
    const int frame = WaitForExactFrame(window, frames, &seen);
    if (!CHECK(frame >= 0, "window shows one frame of the figure, pixel for pixel",
               "%s, %dx%d: frame %d", when, width, height, frame))
        ShowMismatch(seen, frames, when);
    // The frames are drawn by this system's GDI too, so they say nothing of
    // where it puts a line's pixels. The housing's top and bottom are at
    // R + e from the centre, its side points at R - e; the side points stay
    // unlit, since the segments that reach them end there and LineTo leaves
    // out its last pixel, and the other ends are green once the rotor has
    // moved off them.
    const EngineState saved = engineState;
    UpdateEngineLayout(RECT{0, 0, width, height});
    const int reach = engineState.generatingRadius + engineState.eccentricity;
    const int waist = engineState.generatingRadius - engineState.eccentricity;
    engineState = saved;
    const int cx = width / 2, cy = height / 2;
    const auto isGreen = [](const Picture& p, LONG x, LONG y) {
        return x >= 0 && y >= 0 && x < p.width && y < p.height && p.At(x, y) == kGreen;
    };
    CHECK(seen.width == width && !isGreen(seen, cx - waist, cy) && !isGreen(seen, cx + waist, cy),
          "housing side points stay unlit", "%s: (%d, %d) and (%d, %d)", when, cx - waist, cy,
          cx + waist, cy);
    const POINT ends[] = {
        {cx, cy - reach}, {cx, cy + reach}, {cx - waist - 1, cy}, {cx + waist, cy - 1}};
    for (const POINT end : ends)
        CHECK(WaitFor([&] { return isGreen(CaptureClient(window), end.x, end.y); }, 3000),
              "housing drawn in green", "%s: (%ld, %ld)", when, end.x, end.y);

    // A window surface kept from before (a minimise, a resize) is one of
    // the frames too, and a program whose timer has died still paints once
    // when shown again: the frame must change twice more, which only a
    // running timer does.
    const ULONGLONG deadline = GetTickCount64() + 2000;
    const auto left = [&] { return DWORD(std::max<LONGLONG>(0, deadline - GetTickCount64())); };
    const int next = frame >= 0 ? WaitForNextFrame(window, frames, frame, left()) : -1;
    const int after = next >= 0 ? WaitForNextFrame(window, frames, next, left()) : -1;
    CHECK(after >= 0, "the animation goes on: two more exact frames within 2 s",
          "%s: frames %d, %d, %d", when, frame, next, after);
}

FrameSet CheckAtClientSize(HWND window, int width, int height, const char* when)
{
    const SIZE size = FittingClient(window, width, height);
    CHECK(SetClientSize(window, size.cx, size.cy), "client area set to the size asked, or the most "
          "that fits", "%s: %dx%d asked, %ldx%ld", when, width, height, size.cx, size.cy);
    const FrameSet frames = RenderFrames(size.cx, size.cy);
    CheckPictureAndAnimation(window, frames, when);
    return frames;
}
