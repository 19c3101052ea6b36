// The program's pictures: captured from its window, rendered by the
// figure's own code to compare them with, and saved as bitmaps.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Pixels as a 32-bit DIB holds them: 0x00RRGGBB.
constexpr DWORD kWhite = 0xFFFFFF, kGreen = 0x00FF00, kRed = 0xFF0000;

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;
    DWORD At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

// A picture's non-white pixels by index: some ten thousand even at 3000x2000.
typedef std::vector<std::pair<std::uint32_t, DWORD>> Lines;

// Every frame of the cycle, as the program should show it at one size.
struct FrameSet {
    int width = 0;
    int height = 0;
    std::vector<Lines> frames;
};

// The client area read through the window's own device context, at its
// logical size whatever the window system's scaling on screen.
Picture CaptureClient(HWND window);
FrameSet RenderFrames(int width, int height);
// The frame the picture shows exactly, or -1 (also for an empty client).
int MatchingFrame(const Picture& picture, const FrameSet& frames);
// How many frames can be told apart (at small sizes many look alike).
int DistinctFrames(const FrameSet& frames);

// Waits until the window shows a whole frame exactly (a capture may catch
// a paint half done): that frame or -1, and the last capture.
int WaitForExactFrame(HWND window, const FrameSet& frames, Picture* seen,
                      DWORD timeoutMs = 5000);
// Waits until the window shows an exact frame other than `from`: that
// frame, or -1. Under Wine what another process reads of a window lags its
// paints until the program's surface is next flushed; a change seen is a
// flush, and shows the program's frame as it then stood.
int WaitForNextFrame(HWND window, const FrameSet& frames, int from, DWORD timeoutMs);

bool SaveBitmap(const Picture& picture, const std::wstring& path);

// For a capture that matches no frame: prints how it differs from the
// nearest frame (how many pixels; the first, with both colours) and saves
// both, named by size and frame, in ROTARY_PICTURES or failed-pictures.
void ShowMismatch(const Picture& seen, const FrameSet& frames, const char* when);
