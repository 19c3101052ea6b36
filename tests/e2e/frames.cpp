#include "frames.h"

#include "program_window.h"

#include "figure/engine.h"
#include "tests/animation.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// A 32-bit top-down DIB section selected into a memory DC: drawn into like
// a window, read back pixel by pixel. Its dc is null when it cannot be had.
struct Canvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    const DWORD* bits = nullptr;  // 0x00RRGGBB each
    int width = 0, height = 0;
};

BITMAPINFOHEADER TopDown32(int width, int height)
{
    return BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
}

void CloseCanvas(Canvas* canvas)
{
    if (canvas->previous)
        SelectObject(canvas->dc, canvas->previous);
    if (canvas->bitmap)
        DeleteObject(canvas->bitmap);
    if (canvas->dc)
        DeleteDC(canvas->dc);
    *canvas = Canvas{};
}

Canvas OpenCanvas(int width, int height)
{
    Canvas canvas;
    BITMAPINFO info = {TopDown32(width, height), {}};
    void* bits = nullptr;
    canvas.dc = CreateCompatibleDC(nullptr);
    canvas.bitmap = CreateDIBSection(canvas.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (width <= 0 || height <= 0 || canvas.dc == nullptr || bits == nullptr)
        CloseCanvas(&canvas);
    else
        canvas = {canvas.dc, canvas.bitmap, SelectObject(canvas.dc, canvas.bitmap),
                  static_cast<const DWORD*>(bits), width, height};
    return canvas;
}

// 0x00RRGGBB, as a DIB holds it, from a COLORREF (0x00BBGGRR), and back.
DWORD Quad(COLORREF c)
{
    return (DWORD(GetRValue(c)) << 16) | (DWORD(GetGValue(c)) << 8) | GetBValue(c);
}
COLORREF Colour(DWORD q) { return RGB((q >> 16) & 0xff, (q >> 8) & 0xff, q & 0xff); }

Picture ReadCanvas(const Canvas& canvas)
{
    GdiFlush();
    Picture picture{canvas.width, canvas.height, {}};
    for (size_t k = 0; k < size_t(canvas.width) * canvas.height; ++k)
        picture.pixels.push_back(Colour(canvas.bits[k]));
    return picture;
}

Lines LinesOf(const Picture& picture)
{
    Lines lines;
    for (size_t k = 0; k < picture.pixels.size(); ++k)
        if (picture.pixels[k] != kWhite)
            lines.emplace_back(std::uint32_t(k), picture.pixels[k]);
    return lines;
}

Picture PictureOf(const Lines& lines, int width, int height)
{
    Picture picture{width, height, std::vector<COLORREF>(size_t(width) * height, kWhite)};
    for (const auto& pixel : lines)
        picture.pixels[pixel.first] = pixel.second;
    return picture;
}

}  // namespace

Picture CaptureClient(HWND window)
{
    const SIZE client = ClientSize(window);
    Picture picture;
    const HDC own = GetDC(window);
    Canvas canvas = OpenCanvas(client.cx, client.cy);
    if (own != nullptr && canvas.dc != nullptr &&
        BitBlt(canvas.dc, 0, 0, client.cx, client.cy, own, 0, 0, SRCCOPY))
        picture = ReadCanvas(canvas);
    CloseCanvas(&canvas);
    if (own != nullptr)
        ReleaseDC(window, own);
    return picture;
}

// Each frame drawn by the figure code with the program's pens onto white.
FrameSet RenderFrames(int width, int height)
{
    FrameSet set{width, height, {}};
    Canvas canvas = OpenCanvas(width, height);
    if (canvas.dc == nullptr)
        return set;
    RECT all = {0, 0, width, height};
    const EngineState saved = engineState;
    UpdateEngineLayout(all);
    const HPEN green = CreatePen(PS_SOLID, 1, kGreen);
    const HPEN red = CreatePen(PS_SOLID, 1, kRed);
    const HGDIOBJ oldPen = SelectObject(canvas.dc, green);
    const HGDIOBJ oldBrush = SelectObject(canvas.dc, GetStockObject(NULL_BRUSH));
    for (int frame = 0; frame < kFramesPerCycle; ++frame) {
        FillRect(canvas.dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SelectObject(canvas.dc, green);
        DrawHousing(canvas.dc, width / 2, height / 2);
        SelectObject(canvas.dc, red);
        DrawRotor(canvas.dc, engineState.eccentricity, CrankAngle(frame), width / 2, height / 2,
                  engineState.generatingRadius);
        set.frames.push_back(LinesOf(ReadCanvas(canvas)));
    }
    SelectObject(canvas.dc, oldPen);
    SelectObject(canvas.dc, oldBrush);
    DeleteObject(green);
    DeleteObject(red);
    engineState = saved;
    CloseCanvas(&canvas);
    return set;
}

int MatchingFrame(const Picture& picture, const FrameSet& set)
{
    if (picture.width != set.width || picture.height != set.height || set.frames.empty())
        return -1;
    const auto found = std::find(set.frames.begin(), set.frames.end(), LinesOf(picture));
    return found == set.frames.end() ? -1 : int(found - set.frames.begin());
}

int DistinctFrames(const FrameSet& set)
{
    std::vector<Lines> seen;
    for (const Lines& lines : set.frames)
        if (std::find(seen.begin(), seen.end(), lines) == seen.end())
            seen.push_back(lines);
    return int(seen.size());
}

int WaitForExactFrame(HWND window, const FrameSet& frames, Picture* seen, DWORD timeoutMs)
{
    int frame = -1;
    WaitFor([&] {
        *seen = CaptureClient(window);
        return (frame = MatchingFrame(*seen, frames)) >= 0;
    }, timeoutMs);
    return frame;
}

int WaitForNextFrame(HWND window, const FrameSet& frames, int from, DWORD timeoutMs)
{
    int frame = -1;
    WaitFor([&] {
        frame = MatchingFrame(CaptureClient(window), frames);
        return frame >= 0 && frame != from;
    }, timeoutMs);
    return frame != from ? frame : -1;
}

bool SaveBitmap(const Picture& picture, const std::wstring& path)
{
    const BITMAPINFOHEADER info = TopDown32(picture.width, picture.height);
    const DWORD bytes = DWORD(picture.pixels.size() * 4);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + bytes;
    std::vector<DWORD> quads;
    for (const COLORREF c : picture.pixels)
        quads.push_back(Quad(c));
    const HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(out, &file, sizeof file, &written, nullptr) &&
              WriteFile(out, &info, sizeof info, &written, nullptr) &&
              WriteFile(out, quads.data(), bytes, &written, nullptr) && written == bytes;
    return CloseHandle(out) && ok;
}

void ShowMismatch(const Picture& seen, const FrameSet& frames, const char* when)
{
    if (seen.width != frames.width || seen.height != frames.height || frames.frames.empty()) {
        std::printf("info: %s: captured %dx%d, expected %dx%d: nothing to compare\n", when,
                    seen.width, seen.height, frames.width, frames.height);
        return;
    }
    // The nearest frame: the fewest pixels that differ, and the first of them.
    size_t nearest = 0, fewest = SIZE_MAX, first = 0;
    for (size_t f = 0; f < frames.frames.size(); ++f) {
        const Picture expected = PictureOf(frames.frames[f], seen.width, seen.height);
        size_t differ = 0, at = 0;
        for (size_t k = 0; k < seen.pixels.size(); ++k)
            if (seen.pixels[k] != expected.pixels[k] && differ++ == 0)
                at = k;
        if (differ < fewest)
            nearest = f, fewest = differ, first = at;
    }
    const Picture expected = PictureOf(frames.frames[nearest], seen.width, seen.height);
    std::printf("info: %s: %dx%d differs from its nearest frame, %zu, in %zu pixels, the first "
                "at (%zu, %zu): expected #%06lx, got #%06lx\n",
                when, seen.width, seen.height, nearest, fewest, first % seen.width,
                first / seen.width, Quad(expected.pixels[first]), Quad(seen.pixels[first]));
    const wchar_t* folder = _wgetenv(L"ROTARY_PICTURES");
    folder = folder && *folder ? folder : L"failed-pictures";
    CreateDirectoryW(folder, nullptr);
    wchar_t base[MAX_PATH];
    swprintf(base, MAX_PATH, L"%ls\\%dx%d-frame-%02zu-", folder, seen.width, seen.height, nearest);
    const bool saved = SaveBitmap(seen, std::wstring(base) + L"seen.bmp") &&
                       SaveBitmap(expected, std::wstring(base) + L"expected.bmp");
    std::printf("info: %s %lsseen.bmp and %lsexpected.bmp\n", saved ? "saved" : "could not save",
                base, base);
}
