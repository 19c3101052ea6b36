#include "remote.h"

#include "figure/engine.h"
#include "shell/window.h"

#include <winternl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

bool RunningUnderWine()
{
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// Windows counts GDI objects for us; Wine's GetGuiResources answers 0, but Wine keeps a
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

namespace {

// A 32-bit top-down DIB selected into a memory DC: drawn into like a
// window, read back pixel by pixel.
struct Canvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    const DWORD* bits = nullptr;  // 0x00RRGGBB each
    int width = 0;
    int height = 0;
};

bool OpenCanvas(int width, int height, Canvas* canvas)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    canvas->dc = CreateCompatibleDC(nullptr);
    canvas->bitmap = CreateDIBSection(canvas->dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (canvas->dc == nullptr || canvas->bitmap == nullptr || bits == nullptr)
        return false;
    canvas->previous = SelectObject(canvas->dc, canvas->bitmap);
    canvas->bits = static_cast<const DWORD*>(bits);
    canvas->width = width;
    canvas->height = height;
    return true;
}

Picture ReadCanvas(const Canvas& canvas)
{
    GdiFlush();
    Picture picture;
    picture.width = canvas.width;
    picture.height = canvas.height;
    picture.pixels.resize(size_t(canvas.width) * canvas.height);
    for (size_t k = 0; k < picture.pixels.size(); ++k) {
        const DWORD q = canvas.bits[k];
        picture.pixels[k] = RGB((q >> 16) & 0xff, (q >> 8) & 0xff, q & 0xff);
    }
    return picture;
}

void CloseCanvas(Canvas* canvas)
{
    if (canvas->previous)
        SelectObject(canvas->dc, canvas->previous);
    if (canvas->bitmap)
        DeleteObject(canvas->bitmap);
    if (canvas->dc)
        DeleteDC(canvas->dc);
    *canvas = Canvas{};
}

}  // namespace

// The window's client area as the window itself holds it, read through its
// own device context rather than the screen, at the window's own logical
// size whatever scaling the window system applies on screen. (Under Wine a
// window lying above it still shows in what is read.)
Picture CaptureClient(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    Picture picture;
    const HDC own = GetDC(window);
    if (own == nullptr)
        return picture;
    Canvas canvas;
    if (OpenCanvas(client.right, client.bottom, &canvas)) {
        BitBlt(canvas.dc, 0, 0, client.right, client.bottom, own, 0, 0, SRCCOPY);
        picture = ReadCanvas(canvas);
    }
    CloseCanvas(&canvas);
    ReleaseDC(window, own);
    return picture;
}

namespace {

// The non-white pixels of a picture: the figure's lines on white, which
// even at 3000x2000 are some ten thousand.
Ink InkOf(const COLORREF* pixels, size_t count)
{
    Ink ink;
    for (size_t k = 0; k < count; ++k)
        if (pixels[k] != kWhite)
            ink.emplace_back(std::uint32_t(k), pixels[k]);
    return ink;
}

}  // namespace

// Each frame the program should show, drawn by the figure code into a
// bitmap with the same pens: white, green housing, red gears and rotor.
FrameSet RenderFrames(int width, int height)
{
    FrameSet set;
    set.width = width;
    set.height = height;
    Canvas canvas;
    if (width <= 0 || height <= 0 || !OpenCanvas(width, height, &canvas)) {
        CloseCanvas(&canvas);
        return set;
    }
    RECT all = {0, 0, width, height};
    const EngineState saved = engineState;
    UpdateEngineLayout(all);
    const HPEN green = CreatePen(PS_SOLID, 1, kGreen);
    const HPEN red = CreatePen(PS_SOLID, 1, kRed);
    const HGDIOBJ oldPen = SelectObject(canvas.dc, green);
    const HGDIOBJ oldBrush = SelectObject(canvas.dc, GetStockObject(NULL_BRUSH));
    for (int frame = 0; frame <= 60; ++frame) {
        FillRect(canvas.dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SelectObject(canvas.dc, green);
        DrawHousing(canvas.dc, width / 2, height / 2);
        SelectObject(canvas.dc, red);
        DrawRotor(canvas.dc, engineState.eccentricity, CrankAngle(frame), width / 2, height / 2,
                  engineState.generatingRadius);
        const Picture picture = ReadCanvas(canvas);
        set.frames.push_back(InkOf(picture.pixels.data(), picture.pixels.size()));
    }
    SelectObject(canvas.dc, oldPen);
    SelectObject(canvas.dc, oldBrush);
    DeleteObject(green);
    DeleteObject(red);
    engineState = saved;
    CloseCanvas(&canvas);
    return set;
}

int DistinctFrames(const FrameSet& set)
{
    std::vector<Ink> seen;
    for (const Ink& ink : set.frames)
        if (std::find(seen.begin(), seen.end(), ink) == seen.end())
            seen.push_back(ink);
    return int(seen.size());
}

// The frame (0 to 60) the capture shows exactly, or -1. An empty client
// shows nothing, and so no frame.
int MatchingFrame(const Picture& captured, const FrameSet& set)
{
    if (captured.width != set.width || captured.height != set.height || set.frames.empty())
        return -1;
    const Ink ink = InkOf(captured.pixels.data(), captured.pixels.size());
    for (size_t k = 0; k < set.frames.size(); ++k)
        if (ink == set.frames[k])
            return int(k);
    return -1;
}

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

namespace {

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

}  // namespace

bool Start(const std::wstring& exe, Program* program)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &program->process))
        return false;
    // The window exists from its WM_CREATE on; it is ready once shown.
    return WaitFor(
        [&] {
            program->window = FindProgramWindow(program->process.dwProcessId);
            return program->window != nullptr && IsWindowVisible(program->window);
        },
        30000);
}

bool ClientIs(HWND window, int width, int height)
{
    RECT client = {};
    GetClientRect(window, &client);
    return client.right == width && client.bottom == height;
}

namespace {

RECT WorkArea(HWND window)
{
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    return monitor.rcWork;
}

}  // namespace

// The frame the window system gave this window, measured rather than
// computed: its window rectangle less its client area. AdjustWindowRectEx
// in this process would answer for this process's own metrics, which on
// Windows depend on the executable (its subsystem version, its DPI
// awareness) and so may not be the program's.
SIZE FrameOf(HWND window)
{
    RECT outer = {}, client = {};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    return SIZE{(outer.right - outer.left) - client.right, (outer.bottom - outer.top) - client.bottom};
}

SIZE FittingClient(HWND window, int width, int height)
{
    const RECT work = WorkArea(window);
    const SIZE frame = FrameOf(window);
    const LONG roomX = (work.right - work.left) - frame.cx;
    const LONG roomY = (work.bottom - work.top) - frame.cy;
    return SIZE{std::min<LONG>(width, roomX), std::min<LONG>(height, roomY)};
}

bool SetClientSize(HWND window, int width, int height, DWORD timeoutMs)
{
    const RECT work = WorkArea(window);
    const auto place = [&] {
        const SIZE frame = FrameOf(window);
        SetWindowPos(window, nullptr, work.left, work.top, width + frame.cx, height + frame.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return WaitFor([&] { return ClientIs(window, width, height); }, timeoutMs);
    };
    // A frame measured at the old size can differ from the one at the new
    // (a menu bar or caption that wraps, another monitor's DPI), and under
    // Wine a late answer from the X server can undo a size: measure again
    // and correct once.
    return place() || place();
}

int WaitForExactFrame(HWND window, const FrameSet& frames, Picture* seen, DWORD timeoutMs)
{
    int frame = -1;
    WaitFor([&] {
        *seen = CaptureClient(window);
        frame = MatchingFrame(*seen, frames);
        return frame >= 0;
    }, timeoutMs);
    return frame;
}

int WaitForNextFrame(HWND window, const FrameSet& frames, int from, DWORD timeoutMs)
{
    int frame = -1;
    WaitFor([&] {
        frame = MatchingFrame(CaptureClient(window), frames);
        return frame >= 0 && frame != from;
    }, timeoutMs);
    return frame != from ? frame : -1;
}

bool OnVisibleDesktop(char* about, size_t size)
{
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    USEROBJECTFLAGS flags = {};
    wchar_t station[64] = L"?";
    const HWINSTA own = GetProcessWindowStation();
    const bool known =
        GetUserObjectInformationW(own, UOI_FLAGS, &flags, sizeof flags, nullptr) != FALSE;
    GetUserObjectInformationW(own, UOI_NAME, station, sizeof station, nullptr);
    const bool visible = known && (flags.dwFlags & WSF_VISIBLE) != 0;
    // A locked, disconnected or not yet logged-on session has no input
    // desktop this process may open, and paints nothing anyone could read.
    const HDESK input = OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS);
    if (input != nullptr)
        CloseDesktop(input);
    std::snprintf(about, size, "session %lu, window station %ls (%s), input desktop %s, screen %dx%d",
                  session, station, !known ? "flags unknown" : visible ? "visible" : "not visible",
                  input != nullptr ? "open" : "not open", GetSystemMetrics(SM_CXSCREEN),
                  GetSystemMetrics(SM_CYSCREEN));
    return session != 0 && visible && input != nullptr;
}

bool SaveBitmap(const Picture& picture, const std::wstring& path)
{
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = picture.width;
    info.biHeight = -picture.height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    const DWORD bytes = DWORD(picture.pixels.size() * 4);
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + bytes;
    std::vector<DWORD> quads(picture.pixels.size());
    for (size_t k = 0; k < quads.size(); ++k) {
        const COLORREF c = picture.pixels[k];
        quads[k] = (DWORD(GetRValue(c)) << 16) | (DWORD(GetGValue(c)) << 8) | GetBValue(c);
    }
    const HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(out, &file, sizeof file, &written, nullptr) &&
              WriteFile(out, &info, sizeof info, &written, nullptr) &&
              WriteFile(out, quads.data(), bytes, &written, nullptr) && written == bytes;
    ok = CloseHandle(out) && ok;
    return ok;
}

std::wstring ProgramPath(int argc, wchar_t** argv)
{
    if (argc > 1) {
        // ctest hands over paths with forward slashes, which LoadLibraryExW
        // (reading the resources) does not promise to accept.
        std::wstring given = argv[1];
        std::replace(given.begin(), given.end(), L'/', L'\\');
        return given;
    }
    wchar_t self[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring path = self;
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"rotary.exe";
}

int ForceRepaints(HWND window, int times)
{
    int takenUp = 0;
    for (int k = 0; k < times && IsWindow(window); ++k) {
        // RDW_UPDATENOW would send the paint from this process while the
        // program's own loop, woken by the invalidation, may already be
        // painting: Wine has been seen to deliver two paints for one request
        // that way. So the program's loop alone paints, and each request
        // waits for it to take up the update region (an empty or minimised
        // client has none).
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
        const ULONGLONG end = GetTickCount64() + 5000;
        bool pending = true;
        while ((pending = GetUpdateRect(window, nullptr, FALSE) != FALSE) &&
               GetTickCount64() < end)
            SwitchToThread();
        takenUp += !pending && IsWindow(window);
    }
    return takenUp;
}

DWORD Stop(Program* program, DWORD timeoutMs)
{
    PostMessageW(program->window, WM_CLOSE, 0, 0);
    DWORD exitCode = STILL_ACTIVE;
    if (WaitForSingleObject(program->process.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(program->process.hProcess, &exitCode);
    else
        TerminateProcess(program->process.hProcess, 1);
    CloseHandle(program->process.hThread);
    CloseHandle(program->process.hProcess);
    program->process = {};
    program->window = nullptr;
    return exitCode;
}
