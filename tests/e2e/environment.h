// What the tests run on: Windows or Wine, whether windows are painted
// there, and what the program holds (GDI objects, memory).
#pragma once

#include <windows.h>

#include <string>

bool RunningUnderWine();

// Whether windows are painted where this process runs: an interactive
// session (not session 0, the services'), a visible window station and an
// input desktop it may open (none while the session is locked or
// disconnected). `about` says what was found, and the screen's size.
bool OnVisibleDesktop(std::string* about);

// GDI objects the process holds, or -1 when that cannot be known.
long GdiObjectCount(HANDLE process);
// Its committed private memory, or 0 when that cannot be read.
SIZE_T PrivateBytes(HANDLE process);
