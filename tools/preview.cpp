// Records one whole animation cycle of rotary.exe from its window: starts
// the program, captures its client area until it has seen each of the 61
// frames (each capture matched exactly against the figure's own rendering,
// so no half-painted frame slips in), saves them as frame-NN.bmp, closes
// the program with WM_CLOSE and reports its exit code. Anything short of
// the whole cycle fails, naming the frames it never saw: an animation with
// gaps would not show the program as it is.
//
// Usage: rotary_preview <output folder> [path\to\rotary.exe]
#include "frames.h"
#include "program_window.h"

#include <cstdio>
#include <string>
#include <vector>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: rotary_preview <output folder> [rotary.exe]\n");
        return 2;
    }
    const std::wstring folder = argv[1];
    const std::wstring exe = ProgramPath(argc - 1, argv + 1);
    const int width = 480, height = 360;

    Program program;
    if (!Start(exe, &program) || !SetClientSize(program.window, width, height)) {
        std::fprintf(stderr, "preview: the program's window did not appear\n");
        if (program.window)
            Stop(&program, 5000);
        return 1;
    }

    const FrameSet frames = RenderFrames(width, height);
    std::vector<bool> seen(frames.frames.size(), false);
    int distinct = 0;
    WaitFor(
        [&] {
            const Picture captured = CaptureClient(program.window);
            const int frame = MatchingFrame(captured, frames);
            if (frame >= 0 && !seen[frame]) {
                seen[frame] = true;
                ++distinct;
                wchar_t name[32];
                swprintf(name, 32, L"\\frame-%02d.bmp", frame);
                SaveBitmap(captured, folder + name);
            }
            return distinct == int(frames.frames.size());
        },
        30000);
    const DWORD exitCode = Stop(&program, 5000);
    std::printf("preview: %d of 61 frames captured; program exit code %lu\n", distinct, exitCode);
    if (distinct != int(frames.frames.size())) {
        std::fprintf(stderr, "preview: frames never captured:");
        for (size_t k = 0; k < seen.size(); ++k)
            if (!seen[k])
                std::fprintf(stderr, " %zu", k);
        std::fprintf(stderr, "\n");
    }
    return distinct == int(frames.frames.size()) && exitCode == 0 ? 0 : 1;
}
