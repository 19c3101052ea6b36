// The checks shared by the Windows-side tests: each one prints what it
// expected and what it saw, and the run ends with "N passed, N failed".
#pragma once

#include "remote.h"

// Records and prints one check; returns ok.
bool Check(bool ok, const char* what, const char* format = "", ...);

// Prints the closing count; returns the process exit code (0: all passed).
int Summary();

bool IsGreen(const Picture& p, int x, int y);

// The program's picture at the frames' client size: exactly one of its 61
// frames, white, green and red only, the rotor inside the housing and the
// housing's ends where they belong. Returns the frame, or -1.
int CheckPicture(HWND window, const FrameSet& frames, const char* when);

// The animation goes on by itself: after the frame `shown`, another exact
// frame with a different index within 2 s.
void CheckAnimationGoesOn(HWND window, const FrameSet& frames, int shown, const char* when);
