// Entry point: register the class, open the window, run the message loop.
#include "shell/window.h"

namespace {

bool RegisterWindowClass(HINSTANCE instance)
{
    WNDCLASSW windowClass = {};
    // Any change of width or height repaints the whole client area: the
    // engine is centred and scaled to it.
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WndProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kWindowClassName;
    return RegisterClassW(&windowClass) != 0;
}

HWND CreateMainWindow(HINSTANCE instance)
{
    return CreateWindowExW(0, kWindowClassName, kWindowTitle, WS_OVERLAPPEDWINDOW,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                           nullptr, nullptr, instance, nullptr);
}

// Returns the exit code the quit message carries.
int RunMessageLoop()
{
    MSG message = {};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0)
            return static_cast<int>(message.wParam);
        // -1 comes only with a bad window filter, which this loop does not
        // use; were it to come, asking again would spin for ever.
        if (got == -1)
            return 1;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR /*commandLine*/,
                   int showCommand)
{
    if (previousInstance == nullptr && !RegisterWindowClass(instance))
        return 0;

    // Without a window nobody would ever post the quit message: the loop
    // would wait forever. Leave as for a failed registration.
    const HWND window = CreateMainWindow(instance);
    if (window == nullptr)
        return 0;

    ShowWindow(window, showCommand);
    UpdateWindow(window);  // the first paint, frame 1, at once
    return RunMessageLoop();
}
