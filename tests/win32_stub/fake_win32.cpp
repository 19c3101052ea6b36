#include "fake_win32.h"

#include "figure/engine.h"
#include "gdi_stub/gdi_log.h"

#include <cstring>

FakeWin32 fake;

namespace {

// Stock objects live at fixed small handles; created pens get fresh ones.
HGDIOBJ Stock(int which) { return reinterpret_cast<HGDIOBJ>(std::uintptr_t(0x100 + which)); }
bool IsStock(HGDIOBJ object) { return std::uintptr_t(object) < 0x200; }
std::uintptr_t Id(const void* handle) { return reinterpret_cast<std::uintptr_t>(handle); }

void Log(const std::string& what, std::uintptr_t a = 0)
{
    fake.events.push_back({what, a, 0, engineState.frameIndex});
}

bool IsPen(HGDIOBJ object)
{
    return object == Stock(BLACK_PEN) || fake.livePens.count(Id(object)) != 0;
}

COLORREF ColourOfSelectedPen()
{
    if (fake.selectedPen == Stock(BLACK_PEN))
        return RGB(0, 0, 0);  // the pen a dc comes with
    const auto pen = fake.livePens.find(Id(fake.selectedPen));
    return pen == fake.livePens.end() ? 0xFFFFFFFF : pen->second;
}

WNDPROC Procedure() { return fake.registered.lpfnWndProc; }

}  // namespace

std::vector<std::string> FakeWin32::Calls() const
{
    std::vector<std::string> names;
    for (const Event& e : events)
        if (names.empty() || e.what != "draw" || names.back() != "draw")
            names.push_back(e.what);
    return names;
}

void ResetFake()
{
    fake = FakeWin32{};
    engineState = {};
    fake.selectedPen = Stock(BLACK_PEN);
    fake.selectedBrush = Stock(WHITE_BRUSH);
    gdiCallObserver = [](const GdiCall& call) {
        fake.events.push_back({"draw", std::uintptr_t(call.op), ColourOfSelectedPen(),
                               engineState.frameIndex});
        if (call.dc != kFakeDc)
            fake.faults.push_back("drew on a dc that is not the paint's");
        if (fake.selectedBrush != Stock(NULL_BRUSH))
            fake.faults.push_back("drew without the hollow brush selected");
    };
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint)
{
    Log("BeginPaint", Id(window));
    paint->hdc = kFakeDc;
    return kFakeDc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT*)
{
    Log("EndPaint", Id(window));
    return TRUE;
}

HPEN CreatePen(int style, int width, COLORREF colour)
{
    Log("CreatePen", colour);
    if (style != PS_SOLID || width != 1)
        fake.faults.push_back("pen is not solid and one pixel wide");
    if (fake.penFails)
        return nullptr;
    const std::uintptr_t pen = fake.nextHandle++;
    fake.livePens[pen] = colour;
    return reinterpret_cast<HPEN>(pen);
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object)
{
    Log("SelectObject", Id(object));
    if (dc != kFakeDc || object == nullptr)
        return nullptr;  // as GDI: nothing selected
    if (!IsStock(object) && fake.livePens.count(Id(object)) == 0) {
        fake.faults.push_back("selected an object that does not exist");
        return nullptr;
    }
    HGDIOBJ& slot = IsPen(object) ? fake.selectedPen : fake.selectedBrush;
    const HGDIOBJ previous = slot;
    slot = object;
    return previous;
}

HGDIOBJ GetStockObject(int which)
{
    Log("GetStockObject", std::uintptr_t(which));
    return Stock(which);
}

BOOL DeleteObject(HGDIOBJ object)
{
    Log("DeleteObject", Id(object));
    if (object == nullptr)
        return FALSE;
    if (IsStock(object)) {
        fake.faults.push_back("deleted a stock object");
        return FALSE;
    }
    if (object == fake.selectedPen || object == fake.selectedBrush) {
        fake.faults.push_back("deleted an object still selected into the dc");
        return FALSE;
    }
    if (fake.livePens.erase(Id(object)) == 0) {
        fake.faults.push_back("deleted an object that does not exist");
        return FALSE;
    }
    fake.everDeleted.insert(Id(object));
    return TRUE;
}

HCURSOR LoadCursorW(HINSTANCE, LPCWSTR name)
{
    Log("LoadCursorW", Id(name));
    return reinterpret_cast<HCURSOR>(std::uintptr_t{0x55});
}

ATOM RegisterClassW(const WNDCLASSW* windowClass)
{
    Log("RegisterClassW");
    if (fake.registerFails)
        return 0;
    fake.registered = *windowClass;
    fake.classRegistered = true;
    return 0xC001;
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR title, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     void* param)
{
    Log("CreateWindowExW", style);
    const bool asExpected =
        exStyle == 0 && std::wcscmp(className, L"rotary") == 0 && style == WS_OVERLAPPEDWINDOW &&
        x == CW_USEDEFAULT && y == CW_USEDEFAULT && width == CW_USEDEFAULT &&
        height == CW_USEDEFAULT && parent == nullptr && menu == nullptr && param == nullptr &&
        instance == fake.registered.hInstance &&
        std::wcscmp(title, L"\u30ed\u30fc\u30bf\u30ea\u30fc\u30a8\u30f3\u30b8\u30f3") == 0;
    if (!asExpected)
        fake.faults.push_back("CreateWindowExW arguments");
    if (fake.createFails || !fake.classRegistered)
        return nullptr;
    Procedure()(kFakeWindow, WM_CREATE, 0, 0);
    return kFakeWindow;
}

BOOL ShowWindow(HWND, int showCommand)
{
    Log("ShowWindow", std::uintptr_t(showCommand));
    return FALSE;
}

BOOL UpdateWindow(HWND window)
{
    Log("UpdateWindow");
    Procedure()(window, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL GetMessageW(MSG* message, HWND window, UINT first, UINT last)
{
    Log("GetMessageW");
    if (window != nullptr || first != 0 || last != 0)
        fake.faults.push_back("GetMessageW filters messages");
    if (fake.queue.empty()) {
        // A real loop would block here for ever.
        ++fake.getMessageOnEmptyQueue;
        *message = MSG{nullptr, WM_QUIT, 99, 0};
        return FALSE;
    }
    *message = fake.queue.front();
    fake.queue.pop_front();
    if (message->message == kGetMessageFails)
        return -1;
    return message->message != WM_QUIT;
}

BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessageW(const MSG* message)
{
    return Procedure()(message->hwnd, message->message, message->wParam, message->lParam);
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT periodMs, TIMERPROC procedure)
{
    Log("SetTimer", id);
    if (window != kFakeWindow || periodMs != 100 || procedure != nullptr)
        fake.faults.push_back("SetTimer arguments");
    return fake.timerFails ? 0 : id;
}

BOOL KillTimer(HWND, UINT_PTR id)
{
    Log("KillTimer", id);
    return TRUE;
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    Log("MessageBoxW", type);
    fake.messageBoxes.push_back(std::wstring(text) + L"|" + caption + L"|" +
                                std::to_wstring(type) + L"|" + std::to_wstring(Id(owner)));
    return 1;
}

BOOL GetClientRect(HWND, RECT* client)
{
    Log("GetClientRect");
    *client = fake.client;
    return TRUE;
}

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase)
{
    Log("InvalidateRect", Id(window));
    if (rect != nullptr || erase != TRUE)
        fake.faults.push_back("invalidation is not the whole client area with erasing");
    return TRUE;
}

void PostQuitMessage(int exitCode)
{
    Log("PostQuitMessage", std::uintptr_t(exitCode));
    fake.queue.push_back(MSG{nullptr, WM_QUIT, WPARAM(exitCode), 0});
}

BOOL DestroyWindow(HWND window)
{
    Log("DestroyWindow");
    Procedure()(window, WM_DESTROY, 0, 0);
    return TRUE;
}

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Log("DefWindowProcW", message);
    return LRESULT(Id(window) + message + wParam + std::uintptr_t(lParam));
}
