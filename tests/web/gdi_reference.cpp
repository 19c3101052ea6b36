// The program's frames as GDI itself draws them, for the web page's pixel
// proof: each size in turn on a 32-bit memory bitmap (no window, so no size
// is too large for the screen), 61 paints from frame 0 as a new window's,
// each painted as the program paints.
//
// Usage: gdi_reference <output file> <width>x<height>...
// Writes per frame: the count of non-white pixels (uint32), then for each
// its index in the frame (uint32) and its 0x00RRGGBB value (uint32).
#include <windows.h>

#include "figure/engine.h"

#include <cstdint>
#include <cstdio>
#include <vector>

static void PaintFrame(HDC dc, const RECT& client)
{
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const int centreX = engineState.clientWidth / 2;
    const int centreY = engineState.clientHeight / 2;
    const HPEN green = CreatePen(PS_SOLID, 1, RGB(0, 255, 0));
    const HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    const HGDIOBJ oldPen = SelectObject(dc, green);
    const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    DrawHousing(dc, centreX, centreY);
    AdvanceFrame();
    SelectObject(dc, red);
    DrawRotor(dc, engineState.eccentricity, CrankAngle(engineState.frameIndex), centreX, centreY,
              engineState.generatingRadius);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(green);
    DeleteObject(red);
    GdiFlush();
}

int main(int argc, char** argv)
{
    FILE* out = argc > 2 ? std::fopen(argv[1], "wb") : nullptr;
    if (!out) {
        std::fprintf(stderr, "usage: gdi_reference <output file> <width>x<height>...\n");
        return 2;
    }
    const HDC dc = CreateCompatibleDC(nullptr);
    std::vector<std::uint32_t> record;
    for (int k = 2; k < argc; ++k) {
        RECT client = {0, 0, 0, 0};
        std::sscanf(argv[k], "%ldx%ld", &client.right, &client.bottom);
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(info.bmiHeader), client.right, -client.bottom,  // rows top down
                          1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!bitmap) {
            std::fprintf(stderr, "gdi_reference: no bitmap for %s\n", argv[k]);
            return 1;
        }
        const HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
        const std::uint32_t* pixels = static_cast<const std::uint32_t*>(bits);
        const std::uint32_t area = std::uint32_t(client.right) * std::uint32_t(client.bottom);
        engineState = EngineState{};
        UpdateEngineLayout(client);
        for (int paint = 0; paint < 61; ++paint) {
            PaintFrame(dc, client);
            record.assign(1, 0);
            for (std::uint32_t i = 0; i < area; ++i) {
                if ((pixels[i] & 0xFFFFFF) != 0xFFFFFF)
                    record.insert(record.end(), {i, pixels[i] & 0xFFFFFF});
            }
            record[0] = std::uint32_t(record.size() / 2);
            std::fwrite(record.data(), 4, record.size(), out);
        }
        DeleteObject(SelectObject(dc, oldBitmap));
    }
    DeleteDC(dc);
    return std::fclose(out) == 0 ? 0 : 1;
}
