// The program's pictures: captured from its window, rendered by the
// figure's own code for comparison, told apart, and saved as bitmaps.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

// A picture's non-white pixels, by index, in order: the figure's lines on
// white, some ten thousand even at 3000x2000.
typedef std::vector<std::pair<std::uint32_t, COLORREF>> Lines;

// Every frame of the cycle the program can show at one client size.
struct FrameSet {
    int width = 0;
    int height = 0;
    std::vector<Lines> frames;
};

// The window's client area read through the window's own device context,
// at the window's logical size whatever the window system's scaling.
Picture CaptureClient(HWND window);
FrameSet RenderFrames(int width, int height);
// The frame the picture shows exactly, or -1 (also for an empty client).
int MatchingFrame(const Picture& picture, const FrameSet& frames);
// How many frames can be told apart (at small sizes many look alike).
int DistinctFrames(const FrameSet& frames);

// Waits until the window shows one whole frame exactly (a capture may
// catch a paint half done); returns it or -1, with the last capture.
int WaitForExactFrame(HWND window, const FrameSet& frames, Picture* seen,
                      DWORD timeoutMs = 5000);
// Waits until the window shows an exact frame other than `from`; returns
// it, or -1. Under Wine what another process reads of a window lags its
// paints until the program's surface is next flushed; a change seen is a
// flush, and shows the program's frame as it then stood.
int WaitForNextFrame(HWND window, const FrameSet& frames, int from, DWORD timeoutMs);

bool SaveBitmap(const Picture& picture, const std::wstring& path);

// For a capture that matches no frame: prints how it differs from the
// nearest frame (how many pixels, the first one, both colours) and saves
// both pictures, named by size and frame, in the folder ROTARY_PICTURES
// names, or in failed-pictures.
void ShowMismatch(const Picture& seen, const FrameSet& frames, const char* when);
