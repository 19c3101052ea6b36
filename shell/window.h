// The window shell: entry point, window procedure and painting.
#pragma once

#include <windows.h>

// Window class and title. The title is ロータリーエンジン, written as
// escapes so that every compiler reads the same UTF-16 whatever its idea
// of the source's code page.
constexpr wchar_t kWindowClassName[] = L"rotary";
constexpr wchar_t kWindowTitle[] =
    L"\u30ed\u30fc\u30bf\u30ea\u30fc\u30a8\u30f3\u30b8\u30f3";

// The warning shown when the animation timer cannot be started:
// タイマー失敗！ captioned 失敗.
constexpr wchar_t kTimerFailedText[] = L"\u30bf\u30a4\u30de\u30fc\u5931\u6557\uff01";
constexpr wchar_t kTimerFailedCaption[] = L"\u5931\u6557";

// The animation timer: one frame every 100 ms.
constexpr UINT_PTR kAnimationTimerId = 100;
constexpr UINT kAnimationPeriodMs = 100;

LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The whole answer to WM_PAINT: housing, next frame, gears and rotor.
void PaintEngine(HWND window);
