// The window tests' checks. Each prints what it expected and what it got, a
// failure also the file and line of the check, as Wine's ok() does; the run
// ends with "N passed, N failed".
#pragma once

#include "environment.h"
#include "frames.h"
#include "program_window.h"

// CHECK(ok, what[, format, ...]): records and prints one check; returns ok.
#define CHECK(...) CheckAt(__FILE__, __LINE__, __VA_ARGS__)
bool CheckAt(const char* file, int line, bool ok, const char* what, const char* format = "", ...);

// Prints the closing count; returns the exit code (0: all passed).
int Summary();
// Whether checks that pass are printed (failures always are).
void PrintPasses(bool print);

// The exit code of a test that found no desktop: never taken for a pass.
constexpr int kNoDesktopExitCode = 77;

// The program's picture at the frames' client size: exactly one of the
// frames, with the housing's ends where they belong; and the animation
// going on by itself, two more exact frames within 2 s.
void CheckPictureAndAnimation(HWND window, const FrameSet& frames, const char* when);
// Sizes the client to width x height, or the most the screen's work area
// holds, and checks the picture and the animation there; returns the frames.
FrameSet CheckAtClientSize(HWND window, int width, int height, const char* when);

// The executable's headers, imports and resources, read without running it.
void CheckExecutable(const std::wstring& exe);
