// Driving rotary.exe from another process: starting it, finding and
// sizing its window, reading its pixels back from the window, and the
// figure's own rendering of any frame to compare them with. Shared by the
// end-to-end test, the soak and the tools around the program; Windows API
// only, so it runs unchanged on Windows and under Wine.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Polls until done() holds or the time runs out; never a fixed sleep.
template <typename Done>
bool WaitFor(Done done, DWORD timeoutMs)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (done())
            return true;
        if (GetTickCount64() >= end)
            return false;
        Sleep(20);
    }
}

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

// Pixel counts of a picture by colour, and the box around the red ones.
struct Census {
    long white = 0, green = 0, red = 0, other = 0;
    RECT redBox = {INT32_MAX, INT32_MAX, -1, -1};
};

// The non-white pixels of a picture, by index, in order.
typedef std::vector<std::pair<std::uint32_t, COLORREF>> Ink;

// The 61 frames the program can show at one client size, kept as ink.
struct FrameSet {
    int width = 0;
    int height = 0;
    std::vector<Ink> frames;
};

// The program under test: its process and its one window.
struct Program {
    PROCESS_INFORMATION process = {};
    HWND window = nullptr;
};

bool RunningUnderWine();

// Whether this process runs where windows are painted at all: in an
// interactive session (not session 0, the services'), on a visible window
// station, with an input desktop it may open (none while the session is
// locked or disconnected). Elsewhere every wait for a picture would only time out. Writes
// what it found into `about`.
bool OnVisibleDesktop(char* about, size_t size);

// GDI objects the process holds, or -1 when that cannot be known.
long GdiObjectCount(HANDLE process);

Picture CaptureClient(HWND window);
FrameSet RenderFrames(int width, int height);
int MatchingFrame(const Picture& captured, const FrameSet& frames);
// How many of the 61 can be told apart (at small sizes many look alike).
int DistinctFrames(const FrameSet& frames);
Census CountColours(const Picture& p);
bool SaveBitmap(const Picture& picture, const std::wstring& path);

// rotary.exe beside the running program, or the path given.
std::wstring ProgramPath(int argc, wchar_t** argv);
bool Start(const std::wstring& exe, Program* program);
bool ClientIs(HWND window, int width, int height);
// The frame the window system gave the window: its window rectangle less
// its client area, measured rather than computed.
SIZE FrameOf(HWND window);
// The client size to test at: width x height where the work area of the
// window's monitor leaves room for it and the window's frame, otherwise
// the largest that fits there (a laptop's screen, a scaled desktop).
SIZE FittingClient(HWND window, int width, int height);
// Moves the window to the top left of its monitor's work area and sizes it
// so that its client area is width x height, and waits up to timeoutMs for
// that; false when it did not get there (the window manager keeps windows
// above a smallest size and, on some systems, within the screen).
bool SetClientSize(HWND window, int width, int height, DWORD timeoutMs = 5000);

// Waits until the window shows one whole frame exactly as the figure draws
// it (a capture may catch a paint half done); returns that frame or -1.
int WaitForExactFrame(HWND window, const FrameSet& frames, Picture* seen,
                      DWORD timeoutMs = 5000);

// Waits until the window shows an exact frame other than `from`; returns
// it, or -1. Under Wine what another process reads of a window lags its
// paints until the program's surface is next flushed to the screen; a
// change seen is a flush, and shows the program's frame as it then stood.
int WaitForNextFrame(HWND window, const FrameSet& frames, int from, DWORD timeoutMs);

// Repaints the window `times` times, each with erasing, as a timer tick
// would, and each taken up by the program before the next is asked for.
// Returns how many were taken up (all, unless the program hangs or goes).
int ForceRepaints(HWND window, int times);

// Posts WM_CLOSE and waits up to timeoutMs for the process to end. Returns
// its exit code, or STILL_ACTIVE after terminating it when it did not end.
DWORD Stop(Program* program, DWORD timeoutMs);
