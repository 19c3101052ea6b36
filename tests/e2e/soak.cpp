// Soak of rotary.exe: tens of thousands of forced repaints, interleaved
// with resizes through degenerate and large clients and with minimise and
// restore cycles. At every size the picture must be exact; forced repaints
// must advance the animation one frame each; the GDI objects and the
// private bytes must not grow; and WM_CLOSE must end it with 0.
//
// Usage: rotary_soak [path\to\rotary.exe]
#include "checks.h"
#include "remote.h"

#include <psapi.h>

#include <cstdio>
#include <iterator>
#include <vector>

namespace {

enum class Kind { minimised, degenerate, large };

struct Size {
    Kind kind;
    int width, height;
};

// Minimised; clients whose smaller side is 0, 1 to 3 (R 0), 17 (R 6, e 0)
// and 18 (R 7, e 1), taken along the height, which the window system lets
// shrink to nothing while it holds the width above a minimum; and large
// clients, fitted to the screen.
constexpr Size kSizes[] = {
    {Kind::minimised, 0, 0},    {Kind::degenerate, 320, 0},  {Kind::degenerate, 320, 1},
    {Kind::degenerate, 320, 2}, {Kind::degenerate, 320, 3},  {Kind::degenerate, 320, 17},
    {Kind::degenerate, 320, 18}, {Kind::large, 3000, 2000},  {Kind::large, 800, 600},
};

// The process's own committed memory (private bytes), which, unlike the
// working set, Windows does not trim while the window is minimised. Wine
// answers 0 for PrivateUsage but keeps the commit charge in PagefileUsage,
// which Windows fills with the same value.
SIZE_T PrivateBytes(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                 sizeof counters))
        return 0;
    return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

// Whether every round so far got every size and every repaint: a leak per
// paint is measured only over all the paints it should have had.
bool complete = true;

// One pass through every size, `perSize` repaints at each (a hundredth of
// them at the largest, where one paint costs some hundred small ones),
// the picture checked exactly at each shown size. Reports every size in
// the first round and every failure in any. Returns the repaints made at a
// shown, non-empty client: the ones that reach the program as paints.
int Round(HWND window, int perSize, bool report, std::vector<FrameSet>* frames)
{
    int repaints = 0;
    for (size_t k = 0; k < std::size(kSizes); ++k) {
        const Size size = kSizes[k];
        if (size.kind == Kind::minimised) {
            ShowWindow(window, SW_MINIMIZE);
            const bool iconic = WaitFor([&] { return IsIconic(window) != FALSE; }, 5000);
            ForceRepaints(window, perSize);  // no paint reaches a minimised window
            ShowWindow(window, SW_RESTORE);
            const bool restored = WaitFor([&] { return !IsIconic(window); }, 5000);
            if (report || !iconic || !restored)
                Check(iconic && restored, "minimises and restores", "%d repaints while minimised",
                      perSize);
            continue;
        }
        const SIZE asked = size.kind == Kind::large
                               ? FittingClient(window, size.width, size.height)
                               : SIZE{size.width, size.height};
        const bool obtained = SetClientSize(window, asked.cx, asked.cy, 1000);
        RECT client = {};
        GetClientRect(window, &client);
        const SIZE border = FrameOf(window);
        // The smallest window the system allows, and the frame it wraps
        // round the client, say whose doing a size that was not obtained is.
        if (report || !obtained)
            Check(obtained, size.kind == Kind::large ? "large client obtained (fitted to the screen)"
                                                     : "degenerate client obtained exactly",
                  "asked for a %ldx%ld client, got %ldx%ld (frame %ldx%ld, smallest window "
                  "%dx%d)",
                  asked.cx, asked.cy, client.right, client.bottom, border.cx, border.cy,
                  GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK));
        complete = complete && obtained;
        if (!obtained)
            continue;
        const int times = asked.cx * asked.cy > 1000000 ? perSize / 100 : perSize;
        const ULONGLONG started = GetTickCount64();
        const int takenUp = ForceRepaints(window, times);
        complete = complete && takenUp == times;
        if (takenUp != times)
            Check(false, "every forced repaint taken up", "%ldx%ld: %d of %d", asked.cx,
                  asked.cy, takenUp, times);
        if (asked.cy > 0)
            repaints += takenUp;  // an empty client gets no paint
        if (report)
            std::printf("info: %ldx%ld: %d repaints in %llu ms\n", asked.cx, asked.cy, times,
                        GetTickCount64() - started);
        if (asked.cy == 0)
            continue;  // nothing to see
        if ((*frames)[k].width != asked.cx || (*frames)[k].height != asked.cy)
            (*frames)[k] = RenderFrames(asked.cx, asked.cy);
        Picture seen;
        const int frame = WaitForExactFrame(window, (*frames)[k], &seen, 3000);
        if (report || frame < 0)
            Check(frame >= 0, "window shows one frame of the figure, pixel for pixel",
                  "%ldx%ld: frame %d", asked.cx, asked.cy, frame);
    }
    return repaints;
}

// N forced repaints advance the animation by N frames, give or take the
// timer's own ticks meanwhile: read at a size where all 61 frames can be
// told apart, with N and the ticks together well short of a whole cycle.
void CheckRepaintsAdvance(HWND window, const FrameSet& frames)
{
    const int distinct = DistinctFrames(frames);
    if (!Check(distinct == 61, "all 61 frames can be told apart at this size", "%dx%d: %d",
               frames.width, frames.height, distinct))
        return;
    const int forced = 30;
    // Each reading waits for the picture to change, so that it shows the
    // program's frame as it stands rather than one not yet flushed.
    const int before =
        WaitForNextFrame(window, frames, MatchingFrame(CaptureClient(window), frames), 3000);
    const ULONGLONG started = GetTickCount64();
    ForceRepaints(window, forced);
    const int after =
        WaitForNextFrame(window, frames, MatchingFrame(CaptureClient(window), frames), 3000);
    const ULONGLONG ended = GetTickCount64();
    // Between the two readings the timer fires once per period begun, and
    // once more for one already due; one more for the tick count's own
    // granularity on Windows.
    const ULONGLONG took = ended - started;
    const int ticks = int(took / 100) + 2;
    const int advanced = (after - before + 61) % 61;
    Check(before >= 0 && after >= 0 && ticks < 61 - forced && advanced >= forced &&
              advanced <= forced + ticks,
          "30 forced repaints advance the animation by 30 frames, give or take timer ticks",
          "frame %d, then %d: %d frames in %llu ms (at most %d ticks)", before, after, advanced,
          took, ticks);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::printf("rotary soak%s\n", RunningUnderWine() ? " (under Wine)" : "");
    char desktop[160];
    if (!Check(OnVisibleDesktop(desktop, sizeof desktop),
               "runs on a visible desktop in an interactive session (no window shows elsewhere)",
               "%s", desktop))
        return Summary();
    Program program;
    if (!Check(Start(ProgramPath(argc, argv), &program), "program starts"))
        return Summary();
    const HWND window = program.window;
    const HANDLE process = program.process.hProcess;

    // A first round settles what the program and the window system keep
    // for themselves (the largest window surface among them). Memory is
    // measured only from the end of the second full round on: a clean run
    // measured from the first has been seen to grow 1.5 MB once (code pages
    // touched for the first time), while six rounds still add a leak of a
    // hundred bytes a paint up to well over a megabyte.
    std::vector<FrameSet> frames(std::size(kSizes));
    Round(window, 100, true, &frames);
    const long objectsBefore = GdiObjectCount(process);
    SIZE_T memoryBefore = 0;

    const int rounds = 8;
    int repaints = 0;
    const ULONGLONG started = GetTickCount64();
    for (int round = 1; round <= rounds; ++round) {
        repaints += Round(window, 1000, false, &frames);
        const SIZE_T memory = PrivateBytes(process);
        if (round == 2)
            memoryBefore = memory;
        std::printf("info: after round %d: private bytes %zu KB, GDI objects %ld\n", round,
                    memory / 1024, GdiObjectCount(process));
    }
    std::printf("info: %d repaints at a shown client in %d resize rounds in %llu ms\n", repaints,
                rounds, GetTickCount64() - started);
    Check(repaints >= 40000, "at least 40,000 repaints at a shown, non-empty client", "%d",
          repaints);

    const SIZE full = FittingClient(window, 800, 600);
    Check(SetClientSize(window, full.cx, full.cy),
          "client area back to 800x600 or the most that fits", "%ldx%ld", full.cx, full.cy);
    const FrameSet fullFrames = RenderFrames(full.cx, full.cy);
    CheckPicture(window, fullFrames, "after the soak");
    CheckRepaintsAdvance(window, fullFrames);
    const long objectsAfter = GdiObjectCount(process);
    Check(objectsBefore > 0 && objectsAfter <= objectsBefore + 8, "GDI objects did not grow",
          "before %ld, after %ld", objectsBefore, objectsAfter);
    const SIZE_T memoryAfter = PrivateBytes(process);
    const long long grown = (long long)memoryAfter - (long long)memoryBefore;
    Check(complete && memoryBefore > 0 && grown < 1024 * 1024,
          "private bytes grew less than 1 MB over the last six rounds, every size and paint had",
          "before %zu KB, after %zu KB, %+lld KB%s", memoryBefore / 1024, memoryAfter / 1024,
          grown / 1024, complete ? "" : "; some sizes or paints were missed");

    const DWORD exitCode = Stop(&program, 5000);
    Check(exitCode == 0, "WM_CLOSE ends the process with exit code 0 within 5 s",
          "exit code %lu", exitCode);
    return Summary();
}
