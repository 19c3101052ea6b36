// End-to-end test of rotary.exe: starts the real program, drives its window
// from outside the way a user and the window manager would, and reads what
// it draws back from the screen. Runs unchanged on Windows and under Wine.
//
// Usage: rotary_e2e [path\to\rotary.exe]   (default: rotary.exe beside it)
#include "figure/engine.h"
#include "shell/window.h"

#include <winternl.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

int passed = 0;
int failed = 0;

// One check: prints what was expected and what was seen.
bool Check(bool ok, const char* what, const char* format = "", ...)
{
    char detail[512] = "";
    va_list args;
    va_start(args, format);
    std::vsnprintf(detail, sizeof detail, format, args);
    va_end(args);
    std::printf("%s: %s%s%s\n", ok ? "ok" : "FAIL", what, *detail ? ": " : "", detail);
    std::fflush(stdout);
    (ok ? passed : failed) += 1;
    return ok;
}

bool RunningUnderWine()
{
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// GDI objects the process holds, or -1 when that cannot be known. Windows
// counts them for us; Wine's GetGuiResources answers 0, but Wine keeps a
// GDI handle table per process, published in its PEB as on Windows, and the
// entries in use can be counted from outside.
long GdiObjectCount(HANDLE process)
{
    const DWORD counted = GetGuiResources(process, GR_GDIOBJECTS);
    if (counted != 0 || !RunningUnderWine())
        return counted != 0 ? long(counted) : -1;

    typedef NTSTATUS(NTAPI * QueryProcess)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QueryProcess>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic = {};
    if (query == nullptr ||
        query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0)
        return -1;
    const size_t kGdiSharedHandleTable = 0xF8;  // in the 64-bit PEB
    UINT64 table = 0;
    if (!ReadProcessMemory(process, reinterpret_cast<const char*>(basic.PebBaseAddress) +
                                        kGdiSharedHandleTable,
                           &table, sizeof table, nullptr) ||
        table == 0)
        return -1;
    struct Entry {  // GDI_HANDLE_ENTRY, 24 bytes
        UINT64 object;
        ULONG owner;
        USHORT unique;
        UCHAR type;  // 0 while the slot is free
        UCHAR flags;
        UINT64 user;
    };
    std::vector<Entry> entries(0x10000);
    SIZE_T read = 0;
    ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(),
                      entries.size() * sizeof(Entry), &read);
    if (read == 0)
        return -1;
    long inUse = 0;
    for (size_t k = 0; k < read / sizeof(Entry); ++k)
        inUse += entries[k].type != 0;
    return inUse;
}

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

// ---------------------------------------------------------------- pictures

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[size_t(y) * width + x]; }
    bool operator==(const Picture& o) const
    {
        return width == o.width && height == o.height && pixels == o.pixels;
    }
};

// Copies a DC's rectangle into a 32-bit top-down DIB and reads it out.
Picture CopyFromDc(HDC source, int x, int y, int width, int height)
{
    Picture picture;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC memory = CreateCompatibleDC(source);
    const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (memory == nullptr || bitmap == nullptr || bits == nullptr) {
        if (bitmap) DeleteObject(bitmap);
        if (memory) DeleteDC(memory);
        return picture;
    }
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    GdiFlush();
    picture.width = width;
    picture.height = height;
    picture.pixels.resize(size_t(width) * height);
    const auto* quads = static_cast<const DWORD*>(bits);
    for (size_t k = 0; k < picture.pixels.size(); ++k) {
        const DWORD q = quads[k];  // 0x00RRGGBB
        picture.pixels[k] = RGB((q >> 16) & 0xff, (q >> 8) & 0xff, q & 0xff);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return picture;
}

// What is on the screen over the window's client area.
Picture CaptureClient(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    const HDC screen = GetDC(nullptr);
    Picture picture = CopyFromDc(screen, origin.x, origin.y, client.right, client.bottom);
    ReleaseDC(nullptr, screen);
    return picture;
}

// The frame the program should show, drawn by the figure code into a
// bitmap with the same pens: white, green housing, red gears and rotor.
Picture RenderFrame(int width, int height, int frame)
{
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    RECT all = {0, 0, width, height};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    const EngineState saved = engineState;
    UpdateEngineLayout(all);
    const HPEN green = CreatePen(PS_SOLID, 1, kGreen);
    const HPEN red = CreatePen(PS_SOLID, 1, kRed);
    const HGDIOBJ oldPen = SelectObject(memory, green);
    const HGDIOBJ oldBrush = SelectObject(memory, GetStockObject(NULL_BRUSH));
    DrawHousing(memory, width / 2, height / 2);
    SelectObject(memory, red);
    DrawRotor(memory, engineState.eccentricity, CrankAngle(frame), width / 2, height / 2,
              engineState.generatingRadius);
    SelectObject(memory, oldPen);
    SelectObject(memory, oldBrush);
    DeleteObject(green);
    DeleteObject(red);
    engineState = saved;

    Picture picture = CopyFromDc(memory, 0, 0, width, height);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return picture;
}

// The frame (0 to 60) the capture shows exactly, or -1.
int MatchingFrame(const Picture& captured, const std::vector<Picture>& frames)
{
    for (size_t k = 0; k < frames.size(); ++k)
        if (captured == frames[k])
            return int(k);
    return -1;
}

struct Census {
    long white = 0, green = 0, red = 0, other = 0;
    RECT redBox = {INT32_MAX, INT32_MAX, -1, -1};
};

Census CountColours(const Picture& p)
{
    Census c;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const COLORREF colour = p.At(x, y);
            if (colour == kWhite) {
                ++c.white;
            } else if (colour == kGreen) {
                ++c.green;
            } else if (colour == kRed) {
                ++c.red;
                c.redBox.left = std::min<LONG>(c.redBox.left, x);
                c.redBox.top = std::min<LONG>(c.redBox.top, y);
                c.redBox.right = std::max<LONG>(c.redBox.right, x);
                c.redBox.bottom = std::max<LONG>(c.redBox.bottom, y);
            } else {
                ++c.other;
            }
        }
    return c;
}

// ----------------------------------------------------------- the window

struct Program {
    PROCESS_INFORMATION process = {};
    HWND window = nullptr;
};

HWND FindProgramWindow(DWORD processId)
{
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, kWindowClassName, nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId)
            return window;
    }
    return nullptr;
}

bool Start(const std::wstring& exe, Program* program)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &program->process))
        return false;
    WaitFor([&] { return (program->window = FindProgramWindow(program->process.dwProcessId)) !=
                         nullptr; },
            30000);
    return program->window != nullptr;
}

bool ClientIs(HWND window, int width, int height)
{
    RECT client = {};
    GetClientRect(window, &client);
    return client.right == width && client.bottom == height;
}

bool SetClientSize(HWND window, int width, int height)
{
    const DWORD style = DWORD(GetWindowLongW(window, GWL_STYLE));
    const DWORD exStyle = DWORD(GetWindowLongW(window, GWL_EXSTYLE));
    RECT frame = {0, 0, width, height};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    SetWindowPos(window, nullptr, 16, 16, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return WaitFor([&] { return ClientIs(window, width, height); }, 5000);
}

// Waits until the screen shows one whole frame exactly as the figure draws
// it (a capture may catch a paint half done); returns that frame or -1.
int WaitForExactFrame(HWND window, int width, int height, Picture* seen)
{
    std::vector<Picture> frames;
    for (int k = 0; k <= 60; ++k)
        frames.push_back(RenderFrame(width, height, k));
    int frame = -1;
    WaitFor([&] {
        *seen = CaptureClient(window);
        frame = MatchingFrame(*seen, frames);
        return frame >= 0;
    }, 5000);
    return frame;
}

bool IsGreen(const Picture& p, int x, int y) { return p.At(x, y) == kGreen; }

// The program's picture at a client size: exactly one of its 61 frames,
// the housing's ends where they belong, the colours right.
void CheckPicture(HWND window, int width, int height, const char* when)
{
    Picture seen;
    const int frame = WaitForExactFrame(window, width, height, &seen);
    Check(frame >= 0, "screen equals one frame of the figure, pixel for pixel", "%s, %dx%d: frame %d",
          when, width, height, frame);
    if (seen.width != width || seen.height != height) {
        Check(false, "capture size", "expected %dx%d, got %dx%d", width, height, seen.width,
              seen.height);
        return;
    }
    const Census c = CountColours(seen);
    Check(c.other == 0 && c.white > long(width) * height * 8 / 10 && c.green > 0 && c.red > 0,
          "white background, green and red lines, nothing else",
          "%s: white %ld, green %ld, red %ld, other %ld", when, c.white, c.green, c.red, c.other);

    // Housing: top and bottom at R + e from the centre.
    RECT all = {0, 0, width, height};
    const EngineState saved = engineState;
    UpdateEngineLayout(all);
    const int reach = engineState.generatingRadius + engineState.eccentricity;
    const int waist = engineState.generatingRadius - engineState.eccentricity;
    engineState = saved;
    const int cx = width / 2, cy = height / 2;
    Check(c.redBox.left >= cx - reach && c.redBox.right <= cx + reach &&
              c.redBox.top >= cy - reach && c.redBox.bottom <= cy + reach,
          "red rotor and gears inside the housing", "%s: red box (%ld,%ld)-(%ld,%ld), housing reach %d",
          when, c.redBox.left, c.redBox.top, c.redBox.right, c.redBox.bottom, reach);
    // The rotor may pass over the housing's ends, so wait for a frame that
    // leaves each one visible.
    const POINT ends[] = {{cx, cy - reach}, {cx, cy + reach}, {cx - waist - 1, cy}, {cx + waist, cy - 1}};
    for (const POINT end : ends) {
        bool green = false;
        WaitFor([&] { return green = IsGreen(CaptureClient(window), end.x, end.y); }, 3000);
        Check(green, "housing drawn in green", "%s: (%ld, %ld)", when, end.x, end.y);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring exe;
    if (argc > 1) {
        exe = argv[1];
    } else {
        wchar_t self[MAX_PATH] = L"";
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        exe = self;
        exe = exe.substr(0, exe.find_last_of(L"\\/") + 1) + L"rotary.exe";
    }
    std::printf("rotary end-to-end test%s\n", RunningUnderWine() ? " (under Wine)" : "");

    Program program;
    if (!Check(Start(exe, &program), "program starts and shows a window of class \"rotary\"")) {
        if (program.process.hProcess)
            TerminateProcess(program.process.hProcess, 1);
        std::printf("%d passed, %d failed\n", passed, failed);
        return 1;
    }
    const HWND window = program.window;
    const HANDLE process = program.process.hProcess;

    wchar_t title[64] = L"";
    GetWindowTextW(window, title, 64);
    Check(std::wcscmp(title, kWindowTitle) == 0, "window title is the Japanese title",
          "got %d characters", int(std::wcslen(title)));
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    Check((style & WS_OVERLAPPEDWINDOW) == WS_OVERLAPPEDWINDOW && (style & WS_VISIBLE),
          "visible overlapped window", "style 0x%08lx", style);
    const ULONG_PTR classStyle = GetClassLongPtrW(window, GCL_STYLE);
    Check(classStyle == (CS_HREDRAW | CS_VREDRAW), "class redraws on any size change",
          "class style 0x%lx", static_cast<unsigned long>(classStyle));

    // 800 x 600: the picture, the housing's known pixels, the side points.
    Check(SetClientSize(window, 800, 600), "client area set to 800x600");
    CheckPicture(window, 800, 600, "at 800x600");
    const Picture still = CaptureClient(window);
    Check(!IsGreen(still, 200, 300) && !IsGreen(still, 600, 300), "housing side points stay unlit");

    // The animation runs by itself.
    Picture first = CaptureClient(window);
    Sleep(300);
    Picture second = CaptureClient(window);
    long changed = 0;
    for (size_t k = 0; k < first.pixels.size() && k < second.pixels.size(); ++k)
        changed += (first.pixels[k] == kRed) != (second.pixels[k] == kRed);
    Check(changed > 0, "red pixels change between reads 300 ms apart", "%ld pixels changed", changed);

    // Resize: rescaled and recentred at once.
    Check(SetClientSize(window, 600, 400), "client area set to 600x400");
    CheckPicture(window, 600, 400, "after resize to 600x400");

    // Minimise and restore: the layout comes back with the window.
    ShowWindow(window, SW_MINIMIZE);
    Check(WaitFor([&] { return IsIconic(window) != FALSE; }, 5000), "window minimises");
    ShowWindow(window, SW_RESTORE);
    Check(WaitFor([&] { return !IsIconic(window) && ClientIs(window, 600, 400); }, 5000),
          "window restores to 600x400");
    CheckPicture(window, 600, 400, "after minimise and restore");

    // Many forced repaints: a pen leaked per paint would run the process
    // out of GDI objects (10,000 on Windows) and the colours would go.
    Check(SetClientSize(window, 800, 600), "client area set to 800x600 again");
    const long objectsBefore = GdiObjectCount(process);
    const int repaints = 12500;
    const ULONGLONG started = GetTickCount64();
    for (int k = 0; k < repaints; ++k)
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const ULONGLONG took = GetTickCount64() - started;
    std::printf("info: %d forced repaints in %llu ms\n", repaints, took);
    CheckPicture(window, 800, 600, "after 12500 forced repaints");
    const long objectsAfter = GdiObjectCount(process);
    Check(objectsBefore > 0 && objectsAfter > 0 && objectsAfter <= objectsBefore + 8,
          "GDI objects do not grow with painting", "before %ld, after %ld", objectsBefore,
          objectsAfter);

    // Close: the timer stops, the window goes, the process exits with 0.
    PostMessageW(window, WM_CLOSE, 0, 0);
    const DWORD waited = WaitForSingleObject(process, 5000);
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(process, &exitCode);
    Check(waited == WAIT_OBJECT_0 && exitCode == 0, "WM_CLOSE ends the process with exit code 0",
          "wait %lu, exit code %lu", waited, exitCode);
    if (waited != WAIT_OBJECT_0)
        TerminateProcess(process, 1);
    CloseHandle(program.process.hThread);
    CloseHandle(process);

    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
