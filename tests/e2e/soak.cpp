// Soak of rotary.exe: tens of thousands of forced repaints, interleaved
// with resizes through narrow and large clients and with minimise and
// restore cycles. At every size the picture must be exact; forced repaints
// must advance the animation one frame each; the GDI objects and the
// private bytes must not grow; and WM_CLOSE must end it with 0.
//
// Usage: rotary_soak [path\to\rotary.exe]
#include "checks.h"

#include "tests/animation.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRounds = 8;
// Memory is measured from the end of this round on: a clean run has been
// seen to grow 1.5 MB in the first (code pages touched for the first
// time), while the later rounds still add up a leak of a hundred bytes a
// paint to well over a megabyte.
constexpr int kSettlingRounds = 2;
constexpr int kLeastRepaints = 40000;  // at a shown client, over the rounds
constexpr SIZE kMinimised = {0, 0};

// One round of clients, large ones fitted to the screen. Narrow ones go
// along the height, which the window system lets shrink further than the
// width: 17 (R 6, e 0) and 18 (R 7, e 1) show a figure, 0 to 3 (R 0) none,
// and each of those comes straight after a figure, so that a layout kept
// from it would show (at 18 the housing reaches up to row 1, at 17 row 2).
constexpr SIZE kRoundPlan[] = {kMinimised, {320, 18}, {320, 3}, {320, 18}, {320, 2}, {320, 17},
                               {320, 1},   {320, 17}, {320, 0}, {3000, 2000}, {800, 600}};

struct RoundResult {
    int repaints = 0;      // taken up at a shown, non-empty client
    bool complete = true;  // every size obtained and every repaint taken up
};

// One pass through the steps, `perStep` repaints at each (a hundredth of
// them over a million pixels, where one paint costs some hundred small
// ones), the picture checked exactly at each shown size.
RoundResult Round(HWND window, const std::vector<SIZE>& steps, int perStep, bool timed,
                  std::vector<FrameSet>* frames)
{
    RoundResult result;
    for (size_t k = 0; k < steps.size(); ++k) {
        if (steps[k].cx == 0) {
            ShowWindowAsync(window, SW_MINIMIZE);
            const bool iconic = WaitFor([&] { return IsIconic(window) != FALSE; }, 5000);
            ForceRepaints(window, perStep);  // no paint reaches a minimised window
            ShowWindowAsync(window, SW_RESTORE);
            CHECK(iconic && WaitFor([&] { return !IsIconic(window); }, 5000),
                  "minimises and restores", "%d repaints while minimised", perStep);
            continue;
        }
        const SIZE before = ClientSize(window);
        const SIZE asked = FittingClient(window, steps[k].cx, steps[k].cy);
        const bool obtained = SetClientSize(window, asked.cx, asked.cy, 1000);
        const SIZE got = ClientSize(window);
        result.complete = result.complete && obtained;
        if (!CHECK(obtained, "client obtained exactly (fitted to the screen)",
                   "asked for %ldx%ld, got %ldx%ld", asked.cx, asked.cy, got.cx, got.cy))
            continue;
        const int times = asked.cx * asked.cy > 1000000 ? perStep / 100 : perStep;
        const ULONGLONG started = GetTickCount64();
        const int takenUp = ForceRepaints(window, times);
        result.complete = result.complete && takenUp == times;
        CHECK(takenUp == times, "every forced repaint taken up", "%ldx%ld: %d of %d", asked.cx,
              asked.cy, takenUp, times);
        if (timed)
            std::printf("info: %ldx%ld: %d repaints in %llu ms\n", asked.cx, asked.cy, times,
                        GetTickCount64() - started);
        if (asked.cy == 0)
            continue;  // an empty client gets no paint, and shows nothing
        result.repaints += takenUp;
        if ((*frames)[k].width != asked.cx || (*frames)[k].height != asked.cy)
            (*frames)[k] = RenderFrames(asked.cx, asked.cy);
        Picture seen;
        const int frame = WaitForExactFrame(window, (*frames)[k], &seen, 3000);
        char when[64];
        std::snprintf(when, sizeof when, "%ldx%ld, straight from %ldx%ld", asked.cx, asked.cy,
                      before.cx, before.cy);
        if (!CHECK(frame >= 0, "window shows one frame of the figure, pixel for pixel",
                   "%s: frame %d", when, frame))
            ShowMismatch(seen, (*frames)[k], when);
    }
    return result;
}

// N forced repaints advance the animation by N frames, give or take the
// timer's own ticks meanwhile: read at a size where every frame can be
// told apart, with N and the ticks together well short of a whole cycle.
void CheckRepaintsAdvance(HWND window, const FrameSet& frames)
{
    const int distinct = DistinctFrames(frames);
    if (!CHECK(distinct == kFramesPerCycle, "every frame of the cycle can be told apart here",
               "%dx%d: %d of %d", frames.width, frames.height, distinct, kFramesPerCycle))
        return;
    const int forced = 30;
    // Each reading waits for the picture to change, so that it shows the
    // program's frame as it stands rather than one not yet flushed.
    const auto reading = [&] {
        return WaitForNextFrame(window, frames, MatchingFrame(CaptureClient(window), frames), 3000);
    };
    const int before = reading();
    const ULONGLONG started = GetTickCount64();
    ForceRepaints(window, forced);
    const int after = reading();
    // Meanwhile the timer fires once per period begun, once more for one
    // already due, and one more for the tick count's granularity on Windows.
    const ULONGLONG took = GetTickCount64() - started;
    const int ticks = int(took / kTimerPeriodMs) + 2;
    const int advanced = (after - before + kFramesPerCycle) % kFramesPerCycle;
    CHECK(before >= 0 && after >= 0 && ticks < kFramesPerCycle - forced && advanced >= forced &&
              advanced <= forced + ticks,
          "30 forced repaints advance the animation by 30 frames, give or take timer ticks",
          "frame %d, then %d: %d frames in %llu ms (at most %d ticks of %u ms)", before, after,
          advanced, took, ticks, kTimerPeriodMs);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (!OnVisibleDesktop("rotary soak"))
        return kNoDesktopExitCode;
    Program program;
    if (!CHECK(Start(ProgramPath(argc, argv), &program), "program starts"))
        return Summary();
    const HWND window = program.window;
    const HANDLE process = program.process.hProcess;
    DescribeWindow(window);

    // The smallest client height the window system keeps this window at,
    // measured once: ask for 0 and see. Windows holds a resizable window at
    // its minimum tracking size, which may leave a few pixels of client.
    SetClientSize(window, 320, 0, 1000);
    const int floor = ClientSize(window).cy;
    std::printf("info: the window system keeps this window's client at least %d px high%s\n",
                floor, floor > 0 ? ": heights below it not reachable" : "");
    CHECK(floor <= 17, "client heights 17 and 18 reachable", "the floor is %d px", floor);
    std::vector<SIZE> steps;
    for (const SIZE step : kRoundPlan)
        if (step.cx == 0 || (step.cy >= floor && (steps.empty() || steps.back().cy != step.cy)))
            steps.push_back(step);

    // A first round settles what the program and the window system keep
    // for themselves (the largest window surface among them), and shows
    // how many repaints a round makes: enough for the least in all.
    std::vector<FrameSet> frames(steps.size());
    const int hundreds = std::max(1, Round(window, steps, 100, true, &frames).repaints / 100);
    const int perStep = (kLeastRepaints / kRounds / hundreds + 100) / 100 * 100;
    PrintPasses(false);  // from here on only failures
    const long objectsBefore = GdiObjectCount(process);
    SIZE_T memoryBefore = 0;
    RoundResult all;
    const ULONGLONG started = GetTickCount64();
    for (int round = 1; round <= kRounds; ++round) {
        const RoundResult result = Round(window, steps, perStep, false, &frames);
        all.repaints += result.repaints;
        all.complete = all.complete && result.complete;
        const SIZE_T memory = PrivateBytes(process);
        if (round == kSettlingRounds)
            memoryBefore = memory;
        std::printf("info: after round %d: private bytes %zu KB, GDI objects %ld\n", round,
                    memory / 1024, GdiObjectCount(process));
    }
    PrintPasses(true);
    const ULONGLONG took = GetTickCount64() - started;
    CHECK(all.repaints >= kLeastRepaints, "enough repaints at a shown, non-empty client",
          "%d, at least %d", all.repaints, kLeastRepaints);

    CheckRepaintsAdvance(window, CheckAtClientSize(window, 800, 600, "after the soak"));
    const long objectsAfter = GdiObjectCount(process);
    CHECK(objectsBefore >= 0 && objectsAfter >= 0 && objectsAfter <= objectsBefore + 8,
          "GDI objects did not grow", "before %ld, after %ld", objectsBefore, objectsAfter);
    const SIZE_T memoryAfter = PrivateBytes(process);
    const long long grown = (long long)memoryAfter - (long long)memoryBefore;
    CHECK(all.complete && memoryBefore > 0 && grown < 1024 * 1024,
          "private bytes grew less than 1 MB after the settling rounds, every size and paint had",
          "rounds %d to %d: %zu KB, then %zu KB, %+lld KB%s", kSettlingRounds + 1, kRounds,
          memoryBefore / 1024, memoryAfter / 1024, grown / 1024,
          all.complete ? "" : "; some sizes or paints were missed");
    std::printf("summary: %d repaints at a shown client in %d rounds, %llu s; private bytes "
                "%zu KB, then %zu KB; GDI objects %ld, then %ld\n", all.repaints, kRounds,
                took / 1000, memoryBefore / 1024, memoryAfter / 1024, objectsBefore,
                objectsAfter);

    const DWORD exitCode = Stop(&program, 5000);
    CHECK(exitCode == 0, "WM_CLOSE ends the process with exit code 0 within 5 s",
          "exit code %lu", exitCode);
    return Summary();
}
