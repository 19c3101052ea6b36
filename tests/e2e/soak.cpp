// Soak of rotary.exe: tens of thousands of forced repaints, interleaved
// with resizes through degenerate and large clients and with minimise and
// restore cycles. Afterwards the picture must be exact, the GDI objects and
// the working set must not have grown, and WM_CLOSE must end it with 0.
//
// Usage: rotary_soak [path\to\rotary.exe]
#include "checks.h"
#include "remote.h"

#include <psapi.h>

#include <cstdio>

namespace {

struct Size {
    int width, height;  // 0 x 0: minimised
};

// Minimised, the sizes where R and e first become non-zero, and one far
// larger than any usual screen's client.
constexpr Size kSizes[] = {{0, 0}, {1, 1}, {3, 3}, {17, 40}, {18, 40}, {3000, 2000}, {800, 600}};

SIZE_T WorkingSet(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    return K32GetProcessMemoryInfo(process, &counters, sizeof counters) ? counters.WorkingSetSize
                                                                        : 0;
}

// One pass through every size, `perSize` repaints at each (a hundredth of
// them at the largest, where one paint costs some hundred small ones).
// Returns the repaints that reached a shown window.
int Round(HWND window, int perSize, bool report)
{
    int repaints = 0;
    for (const Size size : kSizes) {
        const int times = size.width * size.height > 1000000 ? perSize / 100 : perSize;
        if (size.width == 0) {
            ShowWindow(window, SW_MINIMIZE);
            WaitFor([&] { return IsIconic(window) != FALSE; }, 5000);
            ForceRepaints(window, times);  // no paint reaches a minimised window
            ShowWindow(window, SW_RESTORE);
            WaitFor([&] { return !IsIconic(window); }, 5000);
            continue;
        }
        // The window manager may hold a window above its smallest size; the
        // soak takes the client it gets.
        SetClientSize(window, size.width, size.height, 500);
        const ULONGLONG started = GetTickCount64();
        ForceRepaints(window, times);
        repaints += times;
        if (report) {
            RECT client = {};
            GetClientRect(window, &client);
            std::printf("info: asked for a %dx%d client, got %ldx%ld; %d repaints in %llu ms\n",
                        size.width, size.height, client.right, client.bottom, times,
                        GetTickCount64() - started);
        }
    }
    return repaints;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::printf("rotary soak%s\n", RunningUnderWine() ? " (under Wine)" : "");
    Program program;
    if (!Check(Start(ProgramPath(argc, argv), &program), "program starts"))
        return Summary();
    const HWND window = program.window;
    const HANDLE process = program.process.hProcess;

    // A first round settles what the program and the window system keep
    // for themselves (the largest window surface among them). Memory is
    // measured only from the end of the second full round on: a clean run
    // measured from the first has been seen to grow 1.5 MB once (the working
    // set also counts code pages touched for the first time), while six
    // rounds still add a leak of a hundred bytes a paint up to a megabyte.
    Round(window, 100, true);
    const long objectsBefore = GdiObjectCount(process);
    SIZE_T memoryBefore = 0;

    const int rounds = 8;
    int repaints = 0;
    const ULONGLONG started = GetTickCount64();
    for (int round = 1; round <= rounds; ++round) {
        repaints += Round(window, 500, false);
        const SIZE_T memory = WorkingSet(process);
        if (round == 2)
            memoryBefore = memory;
        std::printf("info: after round %d: working set %zu KB, GDI objects %ld\n", round,
                    memory / 1024, GdiObjectCount(process));
    }
    std::printf("info: %d forced repaints in %d resize rounds in %llu ms\n", repaints, rounds,
                GetTickCount64() - started);
    Check(repaints >= 20000, "at least 20,000 forced repaints", "%d", repaints);

    const SIZE full = FittingClient(window, 800, 600);
    Check(SetClientSize(window, full.cx, full.cy),
          "client area back to 800x600 or the most that fits", "%ldx%ld", full.cx, full.cy);
    CheckPicture(window, full.cx, full.cy, "after the soak");
    const long objectsAfter = GdiObjectCount(process);
    Check(objectsBefore > 0 && objectsAfter <= objectsBefore + 8, "GDI objects did not grow",
          "before %ld, after %ld", objectsBefore, objectsAfter);
    const SIZE_T memoryAfter = WorkingSet(process);
    const long long grown = (long long)memoryAfter - (long long)memoryBefore;
    Check(memoryBefore > 0 && grown < 1024 * 1024,
          "working set grew less than 1 MB over the last six rounds",
          "before %zu KB, after %zu KB, %+lld KB", memoryBefore / 1024, memoryAfter / 1024,
          grown / 1024);

    const DWORD exitCode = Stop(&program, 5000);
    Check(exitCode == 0, "WM_CLOSE ends the process with exit code 0 within 5 s",
          "exit code %lu", exitCode);
    return Summary();
}
