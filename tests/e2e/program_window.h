// Running rotary.exe and sizing its window from another process, with the
// Windows API only, so that it runs alike on Windows and under Wine.
#pragma once

#include <windows.h>

#include <string>

// Polls until done() holds or the time runs out; never a fixed sleep.
template <typename Done>
bool WaitFor(Done done, DWORD timeoutMs)
{
    for (const ULONGLONG end = GetTickCount64() + timeoutMs; !done(); Sleep(20))
        if (GetTickCount64() >= end)
            return false;
    return true;
}

struct Program {
    PROCESS_INFORMATION process = {};
    HWND window = nullptr;
};

// The path given first, or rotary.exe in the current folder.
std::wstring ProgramPath(int argc, wchar_t** argv);
// Starts the program and waits until its window of class "rotary" shows.
bool Start(const std::wstring& exe, Program* program);
// Posts WM_CLOSE and waits for the process to end: its exit code, or
// STILL_ACTIVE after terminating it when it did not end in time.
DWORD Stop(Program* program, DWORD timeoutMs);

SIZE ClientSize(HWND window);
// The window rectangle less the client area: measured, since
// AdjustWindowRectEx would answer for this process's metrics (its
// subsystem version, its DPI awareness), not the program's.
SIZE FrameOf(HWND window);
// width x height, or less where the work area of the window's monitor
// cannot hold that client and the frame (a laptop's screen).
SIZE FittingClient(HWND window, int width, int height);
// Places the window at the top left of its work area with a client of
// width x height and waits for it; false when the window system gave
// another size (it keeps a window at least its minimum tracking size).
bool SetClientSize(HWND window, int width, int height, DWORD timeoutMs = 5000);
// Repaints the window `times` times, with erasing as a timer tick does,
// each taken up by the program before the next is asked for. Returns how
// many were taken up before one was not (all, unless the program hangs or
// goes).
int ForceRepaints(HWND window, int times);
