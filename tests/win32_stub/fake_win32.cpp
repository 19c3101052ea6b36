#include "fake_win32.h"

#include "figure/engine.h"
#include "gdi_stub/gdi_log.h"
#include "tests/animation.h"

#include <gtest/gtest.h>

FakeWin32 fake;

// One check of the fake: a failure of the running test at this line.
#define FAKE_EXPECT(what, expected, got)                                                  \
    do {                                                                                   \
        const auto expected_ = (expected);                                                \
        const auto got_ = (got);                                                           \
        if (!(expected_ == got_))                                                          \
            ADD_FAILURE_AT(__FILE__, __LINE__) << what << ": expected "                   \
                << testing::PrintToString(expected_) << ", got " << testing::PrintToString(got_); \
    } while (0)

namespace {

// Stock objects live at fixed small handles; created pens get fresh ones.
HGDIOBJ Stock(int which) { return reinterpret_cast<HGDIOBJ>(std::uintptr_t(0x100 + which)); }
bool IsStock(HGDIOBJ object) { return std::uintptr_t(object) < 0x200; }
std::uintptr_t Id(const void* handle) { return reinterpret_cast<std::uintptr_t>(handle); }
std::string Text(const wchar_t* text) { return testing::PrintToString(std::wstring(text)); }
void Log(const std::string& what, std::uintptr_t a = 0)
{
    fake.events.push_back({what, a, 0, engineState.frameIndex});
}
LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return fake.registered.lpfnWndProc(window, message, wParam, lParam);
}

COLORREF ColourOfSelectedPen()
{
    if (fake.selectedPen == Stock(BLACK_PEN))
        return RGB(0, 0, 0);  // the pen a dc comes with
    const auto pen = fake.livePens.find(Id(fake.selectedPen));
    return pen == fake.livePens.end() ? 0xFFFFFFFF : pen->second;
}

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
        FAKE_EXPECT("drawing dc", kFakeDc, call.dc);
        FAKE_EXPECT("brush selected while drawing", Stock(NULL_BRUSH), fake.selectedBrush);
    };
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint)
{
    Log("BeginPaint", Id(window));
    return paint->hdc = kFakeDc;
}
BOOL EndPaint(HWND window, const PAINTSTRUCT*) { Log("EndPaint", Id(window)); return TRUE; }
HGDIOBJ GetStockObject(int which)
{
    Log("GetStockObject", std::uintptr_t(which));
    return Stock(which);
}

HPEN CreatePen(int style, int width, COLORREF colour)
{
    Log("CreatePen", colour);
    FAKE_EXPECT("pen style", PS_SOLID, style);
    FAKE_EXPECT("pen width", 1, width);
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
    const bool pen = object == Stock(BLACK_PEN) || fake.livePens.count(Id(object)) != 0;
    FAKE_EXPECT("SelectObject of a stock or live object", true, IsStock(object) || pen);
    if (!IsStock(object) && !pen)
        return nullptr;
    HGDIOBJ& slot = pen ? fake.selectedPen : fake.selectedBrush;
    const HGDIOBJ previous = slot;
    slot = object;
    return previous;
}

BOOL DeleteObject(HGDIOBJ object)
{
    Log("DeleteObject", Id(object));
    if (object == nullptr)
        return FALSE;  // as GDI, after a pen that could not be made
    const bool live = fake.livePens.count(Id(object)) != 0;
    const bool selected = object == fake.selectedPen || object == fake.selectedBrush;
    FAKE_EXPECT("DeleteObject of", std::string("a pen no longer selected"),
                std::string(!live ? (IsStock(object) ? "a stock object" : "no live object")
                            : selected ? "a pen still selected" : "a pen no longer selected"));
    if (!live || selected)
        return FALSE;
    fake.livePens.erase(Id(object));
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
    FAKE_EXPECT("CreateWindowExW extended style", DWORD(0), exStyle);
    FAKE_EXPECT("CreateWindowExW class", Text(L"rotary"), Text(className));
    FAKE_EXPECT("CreateWindowExW title",
                Text(L"\u30ed\u30fc\u30bf\u30ea\u30fc\u30a8\u30f3\u30b8\u30f3"), Text(title));
    FAKE_EXPECT("CreateWindowExW style", WS_OVERLAPPEDWINDOW, style);
    for (const int placement : {x, y, width, height})
        FAKE_EXPECT("CreateWindowExW position and size", CW_USEDEFAULT, placement);
    FAKE_EXPECT("CreateWindowExW parent, menu and parameter all null", true,
                parent == nullptr && menu == nullptr && param == nullptr);
    FAKE_EXPECT("CreateWindowExW instance", fake.registered.hInstance, instance);
    if (fake.createFails || !fake.classRegistered)
        return nullptr;
    Send(kFakeWindow, WM_CREATE);
    return kFakeWindow;
}

BOOL ShowWindow(HWND, int showCommand)
{
    Log("ShowWindow", std::uintptr_t(showCommand));
    return FALSE;
}
BOOL UpdateWindow(HWND window) { Log("UpdateWindow"); return Send(window, WM_PAINT), TRUE; }

BOOL GetMessageW(MSG* message, HWND window, UINT first, UINT last)
{
    Log("GetMessageW");
    FAKE_EXPECT("GetMessageW filter (window, first, last)", std::string("(0, 0, 0)"),
                "(" + std::to_string(Id(window)) + ", " + std::to_string(first) + ", " +
                    std::to_string(last) + ")");
    fake.translated = false;
    if (fake.queue.empty()) {
        // A real loop would block here for ever.
        ++fake.getMessageOnEmptyQueue;
        *message = MSG{nullptr, WM_QUIT, 99, 0};
        return FALSE;
    }
    *message = fake.queue.front();
    fake.queue.pop_front();
    return message->message == kGetMessageFails ? -1 : message->message != WM_QUIT;
}

// The loop translates every message, as a window that takes keys needs.
BOOL TranslateMessage(const MSG* message)
{
    Log("TranslateMessage", message->message);
    return fake.translated = true, FALSE;
}

LRESULT DispatchMessageW(const MSG* message)
{
    Log("DispatchMessageW", message->message);
    FAKE_EXPECT("message translated before it is dispatched", true, fake.translated);
    return Send(message->hwnd, message->message, message->wParam, message->lParam);
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT periodMs, TIMERPROC procedure)
{
    Log("SetTimer", id);
    FAKE_EXPECT("SetTimer window", kFakeWindow, window);
    FAKE_EXPECT("SetTimer period", kTimerPeriodMs, periodMs);
    FAKE_EXPECT("SetTimer procedure", TIMERPROC(nullptr), procedure);
    return fake.timerFails ? 0 : id;
}

BOOL KillTimer(HWND, UINT_PTR id) { Log("KillTimer", id); return TRUE; }

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    Log("MessageBoxW", type);
    fake.messageBoxes.push_back(std::wstring(text) + L"|" + caption + L"|" +
                                std::to_wstring(type) + L"|" + std::to_wstring(Id(owner)));
    return 1;
}

BOOL GetClientRect(HWND, RECT* client) { Log("GetClientRect"); *client = fake.client; return TRUE; }

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase)
{
    Log("InvalidateRect", Id(window));
    FAKE_EXPECT("InvalidateRect area (null: the whole client)", nullptr, rect);
    FAKE_EXPECT("InvalidateRect erase", TRUE, erase);
    return TRUE;
}

void PostQuitMessage(int exitCode)
{
    Log("PostQuitMessage", std::uintptr_t(exitCode));
    fake.queue.push_back(MSG{nullptr, WM_QUIT, WPARAM(exitCode), 0});
}

BOOL DestroyWindow(HWND window) { Log("DestroyWindow"); return Send(window, WM_DESTROY), TRUE; }

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Log("DefWindowProcW", message);
    return LRESULT(Id(window) + message + wParam + std::uintptr_t(lParam));
}
