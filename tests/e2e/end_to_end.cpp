// End-to-end test of rotary.exe: reads the executable, then starts the real
// program, drives its window from outside the way a user and the window
// manager would, and reads what it draws back from the window itself. Runs
// unchanged on Windows and under Wine. Thousands of repaints and what they
// may leak are the soak's part.
//
// Usage: rotary_e2e [path\to\rotary.exe]   (default: rotary.exe in the current folder)
#include "checks.h"

#include "shell/window.h"

#include <cwchar>

int wmain(int argc, wchar_t** argv)
{
    const std::wstring exe = ProgramPath(argc, argv);
    CheckExecutable(exe);
    if (!OnVisibleDesktop("rotary end-to-end test"))
        return Summary() != 0 ? 1 : kNoDesktopExitCode;

    Program program;
    if (!CHECK(Start(exe, &program), "program starts and shows a window of class \"rotary\"")) {
        if (program.process.hProcess)
            Stop(&program, 0);
        return Summary();
    }
    const HWND window = program.window;
    DescribeWindow(window);

    wchar_t title[64] = L"";
    GetWindowTextW(window, title, 64);
    CHECK(std::wcscmp(title, kWindowTitle) == 0, "window title is the Japanese title",
          "got %d characters", int(std::wcslen(title)));
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    CHECK((style & WS_OVERLAPPEDWINDOW) == WS_OVERLAPPEDWINDOW && (style & WS_VISIBLE),
          "visible overlapped window", "style 0x%08lx", style);
    const ULONG_PTR classStyle = GetClassLongPtrW(window, GCL_STYLE);
    CHECK(classStyle == (CS_HREDRAW | CS_VREDRAW), "class redraws on any size change",
          "class style 0x%lx", static_cast<unsigned long>(classStyle));

    // 800 x 600, or the largest client the screen's work area holds: the
    // picture, the housing's known pixels, and the animation running. Then
    // a resize: rescaled and recentred at once, and still turning.
    CheckAtClientSize(window, 800, 600, "at the full size");
    const FrameSet smallerFrames = CheckAtClientSize(window, 600, 400, "after resize");
    const SIZE smaller = {smallerFrames.width, smallerFrames.height};

    // Minimise and restore: the layout comes back with the window, and so
    // does the animation.
    ShowWindowAsync(window, SW_MINIMIZE);
    CHECK(WaitFor([&] { return IsIconic(window) != FALSE; }, 5000), "window minimises");
    ShowWindowAsync(window, SW_RESTORE);
    CHECK(WaitFor([&] {
              const SIZE client = ClientSize(window);
              return !IsIconic(window) && client.cx == smaller.cx && client.cy == smaller.cy;
          }, 5000),
          "window restores to its size", "%ldx%ld", smaller.cx, smaller.cy);
    CheckPictureAndAnimation(window, smallerFrames, "after minimise and restore");

    // Close: the timer stops, the window goes, the process exits with 0.
    const DWORD exitCode = Stop(&program, 5000);
    CHECK(exitCode == 0, "WM_CLOSE ends the process with exit code 0 within 5 s",
          "exit code %lu%s", exitCode, exitCode == STILL_ACTIVE ? " (still running)" : "");

    return Summary();
}
