// What the tests run on: Windows or Wine, whether windows are painted
// where they run, and what the program holds (GDI objects, memory).
#pragma once

#include <windows.h>

#include <string>

bool RunningUnderWine();

// Whether this process runs where windows are painted at all: in an
// interactive session (not session 0, the services'), on a visible window
// station, with an input desktop it may open (none while the session is
// locked or disconnected). `about` says what was found, and the screen.
bool OnVisibleDesktop(std::string* about);

// GDI objects the process holds, or -1 when that cannot be known.
long GdiObjectCount(HANDLE process);

// The process's committed private memory, or 0 when it cannot be read.
SIZE_T PrivateBytes(HANDLE process);
