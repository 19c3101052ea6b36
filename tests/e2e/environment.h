// What the tests run on: Windows or Wine, whether windows are painted
// there, and what the program holds (GDI objects, memory).
#pragma once

#include <windows.h>

bool RunningUnderWine();

// Whether windows are painted where this process runs: an interactive
// session (not session 0, the services'), a visible window station and an
// input desktop it may open (none while the session is locked or
// disconnected). Prints the test's name, what was found and the screen's
// size, and where there is no such desktop one plain line saying so.
bool OnVisibleDesktop(const char* test);
// Prints what the window system made of the program's window.
void DescribeWindow(HWND window);

// GDI objects the process holds, or -1 when that cannot be known.
long GdiObjectCount(HANDLE process);
// Its committed private memory, or 0 when that cannot be read.
SIZE_T PrivateBytes(HANDLE process);
