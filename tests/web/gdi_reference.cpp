// The program's frames as Windows' own GDI draws them, for the web page's
// pixel proof: each size in turn on a 32-bit memory bitmap (no window, so
// no size is too large for the screen), 61 paints from frame 0 as a new
// window's, each painted as the program paints.
//
// Usage: gdi_reference <output file> <width>x<height>...
// Writes per frame: the count of non-white pixels (uint32), then for each
// its index in the frame (uint32) and its 0x00RRGGBB value (uint32).
#include <windows.h>

#include "figure/engine.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

void PaintFrame(HDC dc, int width, int height)
{
    const RECT all = {0, 0, width, height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const int centreX = engineState.clientWidth / 2;
    const int centreY = engineState.clientHeight / 2;
    const HPEN green = CreatePen(PS_SOLID, 1, RGB(0, 255, 0));
    const HGDIOBJ oldPen = SelectObject(dc, green);
    const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    DrawHousing(dc, centreX, centreY);
    SelectObject(dc, oldPen);
    DeleteObject(green);
    AdvanceFrame();
    const double crankAngle = CrankAngle(engineState.frameIndex);
    const HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    SelectObject(dc, red);
    DrawRotor(dc, engineState.eccentricity, crankAngle, centreX, centreY,
              engineState.generatingRadius);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(red);
    GdiFlush();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: gdi_reference <output file> <width>x<height>...\n");
        return 2;
    }
    FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::fprintf(stderr, "gdi_reference: cannot write %s\n", argv[1]);
        return 1;
    }
    const HDC dc = CreateCompatibleDC(nullptr);
    for (int k = 2; k < argc; ++k) {
        int width = 0, height = 0;
        if (std::sscanf(argv[k], "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0) {
            std::fprintf(stderr, "gdi_reference: not a size: %s\n", argv[k]);
            return 2;
        }
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down rows, as the canvas has them
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!bitmap) {
            std::fprintf(stderr, "gdi_reference: no %dx%d bitmap\n", width, height);
            return 1;
        }
        const HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
        const std::uint32_t* pixels = static_cast<const std::uint32_t*>(bits);

        engineState = EngineState{};
        UpdateEngineLayout(RECT{0, 0, width, height});
        std::vector<std::uint32_t> record;
        for (int paint = 0; paint < 61; ++paint) {
            PaintFrame(dc, width, height);
            record.assign(1, 0);
            for (std::uint32_t i = 0; i < std::uint32_t(width) * std::uint32_t(height); ++i) {
                const std::uint32_t value = pixels[i] & 0xFFFFFF;
                if (value != 0xFFFFFF) {
                    record.push_back(i);
                    record.push_back(value);
                }
            }
            record[0] = std::uint32_t(record.size() / 2);
            std::fwrite(record.data(), 4, record.size(), out);
        }
        SelectObject(dc, oldBitmap);
        DeleteObject(bitmap);
    }
    DeleteDC(dc);
    return std::fclose(out) == 0 ? 0 : 1;
}
