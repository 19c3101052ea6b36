// The window procedure: a timer drives the animation, resizes rescale it.
#include "shell/window.h"

#include "figure/engine.h"

namespace {

void UpdateLayoutFromClientArea(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    UpdateEngineLayout(client);
}

// Every invalidation asks for the white background to be erased first:
// the figure is drawn straight onto the window, with no buffer.
void InvalidateClientArea(HWND window)
{
    InvalidateRect(window, nullptr, TRUE);
}

void OnCreate(HWND window)
{
    if (SetTimer(window, kAnimationTimerId, kAnimationPeriodMs, nullptr) == 0)
        MessageBoxW(window, kTimerFailedText, kTimerFailedCaption, MB_ICONWARNING);
    UpdateLayoutFromClientArea(window);
}

void OnSize(HWND window)
{
    // The size in lParam is ignored; the client rectangle is the truth.
    UpdateLayoutFromClientArea(window);
    InvalidateClientArea(window);
}

void OnClose(HWND window)
{
    // Stop the timer first so no WM_TIMER can reach a destroyed window.
    KillTimer(window, kAnimationTimerId);
    DestroyWindow(window);
}

}  // namespace

LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:  OnCreate(window);             return 0;
    case WM_DESTROY: PostQuitMessage(0);           return 0;
    case WM_SIZE:    OnSize(window);               return 0;
    case WM_PAINT:   PaintEngine(window);          return 0;
    case WM_CLOSE:   OnClose(window);              return 0;
    case WM_TIMER:   InvalidateClientArea(window); return 0;
    default:         return DefWindowProcW(window, message, wParam, lParam);
    }
}
