#include "program_window.h"

#include "shell/window.h"

#include <algorithm>

std::wstring ProgramPath(int argc, wchar_t** argv)
{
    // ctest hands over paths with forward slashes, which LoadLibraryExW
    // (reading the resources) does not promise to accept.
    std::wstring path = argc > 1 ? argv[1] : L"rotary.exe";
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

bool Start(const std::wstring& exe, Program* program)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &program->process))
        return false;
    // The window exists from its WM_CREATE on; it is ready once shown.
    return WaitFor([&] {
        HWND window = nullptr;
        while ((window = FindWindowExW(nullptr, window, kWindowClassName, nullptr)) != nullptr) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == program->process.dwProcessId)
                break;
        }
        program->window = window;
        return window != nullptr && IsWindowVisible(window);
    }, 30000);
}

DWORD Stop(Program* program, DWORD timeoutMs)
{
    if (program->window)
        PostMessageW(program->window, WM_CLOSE, 0, 0);
    DWORD exitCode = STILL_ACTIVE;
    if (WaitForSingleObject(program->process.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(program->process.hProcess, &exitCode);
    else
        TerminateProcess(program->process.hProcess, 1);
    CloseHandle(program->process.hThread);
    CloseHandle(program->process.hProcess);
    *program = Program{};
    return exitCode;
}

SIZE ClientSize(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    return SIZE{client.right, client.bottom};
}

SIZE FrameOf(HWND window)
{
    RECT outer = {};
    GetWindowRect(window, &outer);
    const SIZE client = ClientSize(window);
    return SIZE{outer.right - outer.left - client.cx, outer.bottom - outer.top - client.cy};
}

static RECT WorkArea(HWND window)
{
    MONITORINFO monitor = {sizeof monitor, {}, {}, 0};
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    return monitor.rcWork;
}

SIZE FittingClient(HWND window, int width, int height)
{
    const RECT work = WorkArea(window);
    const SIZE frame = FrameOf(window);
    return SIZE{std::min<LONG>(width, work.right - work.left - frame.cx),
                std::min<LONG>(height, work.bottom - work.top - frame.cy)};
}

bool SetClientSize(HWND window, int width, int height, DWORD timeoutMs)
{
    const RECT work = WorkArea(window);
    const auto place = [&] {
        const SIZE frame = FrameOf(window);
        // Asynchronously, as every call here that the program's thread must
        // answer: a program that hangs then fails a check, not the test.
        SetWindowPos(window, nullptr, work.left, work.top, width + frame.cx, height + frame.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
        return WaitFor([&] {
            const SIZE client = ClientSize(window);
            return client.cx == width && client.cy == height;
        }, timeoutMs);
    };
    // The frame can differ at the new size (a caption that wraps, another
    // monitor's DPI), and under Wine a late answer from the X server can
    // undo a size: measure again and correct once.
    return place() || place();
}

int ForceRepaints(HWND window, int times)
{
    int takenUp = 0;
    for (int k = 0; k < times && IsWindow(window); ++k) {
        // Only the program's loop paints (with RDW_UPDATENOW Wine has been
        // seen to deliver two paints for one request): each request waits
        // for it to take up the update region (an empty or minimised client
        // has none).
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
        const ULONGLONG end = GetTickCount64() + 5000;
        bool pending = GetUpdateRect(window, nullptr, FALSE) != FALSE;
        for (; pending && GetTickCount64() < end; SwitchToThread())
            pending = GetUpdateRect(window, nullptr, FALSE) != FALSE;
        if (pending || !IsWindow(window))
            break;  // a program that stopped painting will not take up more
        ++takenUp;
    }
    return takenUp;
}
