// The program's frames as GDI itself draws them, for the web page's pixel
// proof: at each size the frames the window tests hold the program's window
// to (drawn on a 32-bit memory bitmap, so no size is too large for the
// screen), in the order a new window paints them, frame 1 first.
//
// Usage: gdi_reference <output file> <width>x<height>...
// Writes per frame: the count of non-white pixels (uint32), then for each
// its index in the frame (uint32) and its 0x00RRGGBB value (uint32).
#include "frames.h"
#include "tests/animation.h"

#include <cstdint>
#include <cstdio>
#include <vector>

int wmain(int argc, wchar_t** argv)
{
    FILE* out = argc > 2 ? _wfopen(argv[1], L"wb") : nullptr;
    if (!out) {
        std::fprintf(stderr, "usage: gdi_reference <output file> <width>x<height>...\n");
        return 2;
    }
    for (int k = 2; k < argc; ++k) {
        int width = 0, height = 0;
        swscanf(argv[k], L"%dx%d", &width, &height);
        const FrameSet set = RenderFrames(width, height);
        if (int(set.frames.size()) != kFramesPerCycle) {
            std::fprintf(stderr, "gdi_reference: no bitmap for %ls\n", argv[k]);
            return 1;
        }
        for (int paint = 1; paint <= kFramesPerCycle; ++paint) {
            const Lines& lines = set.frames[paint % kFramesPerCycle];
            std::vector<std::uint32_t> record{std::uint32_t(lines.size())};
            for (const auto& pixel : lines)
                record.insert(record.end(), {pixel.first, std::uint32_t(pixel.second)});
            std::fwrite(record.data(), 4, record.size(), out);
        }
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
