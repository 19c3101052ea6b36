// Measures rotary.exe from outside for `make bench`. Talks in lines: it
// prints a result ("first-paint-ms 812") or a mark ("mark idle-start")
// and, after a mark, waits for a line on its input, so that the script
// driving it can sample the program's process at that moment.
//
//   first-paint-ms N         start of the process to the first frame on screen
//   mark idle-start/-end     10 s of the program animating by its own timer
//   mark repaint-start/-end  10,000 forced repaints at an 800x600 client
//   repaints-per-second N
//   exit-code N              after WM_CLOSE
//
// Usage: rotary_probe [path\to\rotary.exe]
#include "frames.h"
#include "program_window.h"

#include <cstdio>

namespace {

void Mark(const char* what)
{
    std::printf("mark %s\n", what);
    std::fflush(stdout);
    char answer[16];
    if (!std::fgets(answer, sizeof answer, stdin))
        return;  // nobody listening: carry on
}

bool ShowsAnyGreen(HWND window)
{
    const Picture p = CaptureClient(window);
    for (const DWORD c : p.pixels)
        if (c == kGreen)
            return true;
    return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const ULONGLONG launched = GetTickCount64();
    Program program;
    if (!Start(ProgramPath(argc, argv), &program) ||
        !WaitFor([&] { return ShowsAnyGreen(program.window); }, 30000)) {
        std::printf("error: the program did not show its window\n");
        if (program.window)
            Stop(&program, 5000);
        return 1;
    }
    std::printf("first-paint-ms %llu\n", GetTickCount64() - launched);
    const HWND window = program.window;
    SetClientSize(window, 800, 600);
    Picture seen;
    if (WaitForExactFrame(window, RenderFrames(800, 600), &seen) < 0)
        std::printf("error: the 800x600 picture is not one of the figure's frames\n");

    Mark("idle-start");
    Sleep(10000);
    Mark("idle-end");

    const int repaints = 10000;
    Mark("repaint-start");
    const ULONGLONG started = GetTickCount64();
    ForceRepaints(window, repaints);
    const ULONGLONG took = GetTickCount64() - started;
    Mark("repaint-end");
    std::printf("repaints-per-second %.0f\n", took ? repaints * 1000.0 / double(took) : 0.0);
    std::printf("exit-code %lu\n", Stop(&program, 5000));
    return 0;
}
