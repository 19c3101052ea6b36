// Host stand-in for <windows.h> used by the shell tests: the figure's part
// (see gdi_stub) plus the USER32 and GDI32 calls the shell makes, backed by
// a scriptable fake (fake_win32.h) that records what happens.
#pragma once

#include "../gdi_stub/windows.h"

#include <cstdint>

#define WINAPI
#define CALLBACK
#define TRUE 1
#define FALSE 0

typedef int BOOL;
typedef unsigned int UINT;
typedef std::uint32_t DWORD, COLORREF;
typedef std::uint16_t ATOM;
typedef std::uintptr_t UINT_PTR, WPARAM;
typedef std::intptr_t LPARAM, LRESULT;
typedef char* LPSTR;
typedef const wchar_t* LPCWSTR;
typedef struct HWND__* HWND;
typedef struct HINSTANCE__* HINSTANCE;
typedef struct HMENU__* HMENU;
typedef struct HICON__* HICON;
typedef struct HCURSOR__* HCURSOR;
typedef struct HGDIOBJ__* HGDIOBJ;
typedef HGDIOBJ HPEN, HBRUSH;
typedef void (*TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);
typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);

#define RGB(r, g, b) \
    (static_cast<COLORREF>((r) & 0xff) | (static_cast<COLORREF>((g) & 0xff) << 8) | \
     (static_cast<COLORREF>((b) & 0xff) << 16))

enum : UINT {
    WM_CREATE = 0x0001, WM_DESTROY = 0x0002, WM_SIZE = 0x0005, WM_PAINT = 0x000F,
    WM_CLOSE = 0x0010, WM_QUIT = 0x0012, WM_ERASEBKGND = 0x0014, WM_TIMER = 0x0113,
    WM_MOUSEMOVE = 0x0200,
};

constexpr UINT CS_VREDRAW = 0x0001, CS_HREDRAW = 0x0002, MB_ICONWARNING = 0x30;
constexpr DWORD WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);
constexpr int PS_SOLID = 0, WHITE_BRUSH = 0, NULL_BRUSH = 5, BLACK_PEN = 7;
#define IDC_ARROW (reinterpret_cast<LPCWSTR>(static_cast<std::uintptr_t>(32512)))

struct PAINTSTRUCT { HDC hdc; BOOL fErase; RECT rcPaint; };
struct MSG { HWND hwnd; UINT message; WPARAM wParam; LPARAM lParam; };

struct WNDCLASSW {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra, cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName, lpszClassName;
};

HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
HPEN CreatePen(int style, int width, COLORREF colour);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
HGDIOBJ GetStockObject(int which);
BOOL DeleteObject(HGDIOBJ object);

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name);
ATOM RegisterClassW(const WNDCLASSW* windowClass);
HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR title, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     void* param);
BOOL ShowWindow(HWND window, int showCommand);
BOOL UpdateWindow(HWND window);
BOOL GetMessageW(MSG* message, HWND window, UINT first, UINT last);
BOOL TranslateMessage(const MSG* message);
LRESULT DispatchMessageW(const MSG* message);
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT periodMs, TIMERPROC procedure);
BOOL KillTimer(HWND window, UINT_PTR id);
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
BOOL GetClientRect(HWND window, RECT* client);
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
void PostQuitMessage(int exitCode);
BOOL DestroyWindow(HWND window);
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Declared by the platform, defined by the program.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                   int showCommand);
