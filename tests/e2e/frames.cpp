#include "frames.h"

#include "program_window.h"

#include "figure/engine.h"
#include "tests/animation.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>

namespace {

BITMAPINFOHEADER TopDown32(int width, int height)
{
    return BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
}

// What draw(dc) leaves in a width x height 32-bit DIB section selected into
// a memory DC: empty when there is no such bitmap to be had.
template <typename Draw>
Picture Drawn(int width, int height, Draw draw)
{
    Picture picture;
    const BITMAPINFO info = {TopDown32(width, height), {}};
    void* bits = nullptr;
    const HDC dc = CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (width > 0 && height > 0 && bitmap != nullptr && bits != nullptr) {
        const HGDIOBJ previous = SelectObject(dc, bitmap);
        if (draw(dc)) {
            GdiFlush();
            const DWORD* const pixels = static_cast<const DWORD*>(bits);
            picture = {width, height, {pixels, pixels + size_t(width) * height}};
            // The top byte of a 32-bit pixel is no part of its colour, and a
            // copy from a window may fill it (Wine 10 sets it to 0xFF).
            for (DWORD& pixel : picture.pixels)
                pixel &= 0xFFFFFF;
        }
        SelectObject(dc, previous);
    }
    if (bitmap != nullptr)
        DeleteObject(bitmap);
    DeleteDC(dc);
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

}  // namespace

Picture CaptureClient(HWND window)
{
    const SIZE client = ClientSize(window);
    const HDC own = GetDC(window);
    const Picture picture = Drawn(client.cx, client.cy, [&](HDC dc) {
        return own != nullptr && BitBlt(dc, 0, 0, client.cx, client.cy, own, 0, 0, SRCCOPY);
    });
    if (own != nullptr)
        ReleaseDC(window, own);
    return picture;
}

// Each frame drawn by the figure code with the program's pens onto white.
FrameSet RenderFrames(int width, int height)
{
    FrameSet set{width, height, {}};
    const RECT all = {0, 0, width, height};
    const EngineState saved = engineState;
    UpdateEngineLayout(all);
    const HPEN green = CreatePen(PS_SOLID, 1, RGB(0, 255, 0));
    const HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    for (int frame = 0; frame < kFramesPerCycle; ++frame) {
        const Picture picture = Drawn(width, height, [&](HDC dc) {
            FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            const HGDIOBJ oldPen = SelectObject(dc, green);
            const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
            DrawHousing(dc, width / 2, height / 2);
            SelectObject(dc, red);
            DrawRotor(dc, engineState.eccentricity, CrankAngle(frame), width / 2, height / 2,
                      engineState.generatingRadius);
            SelectObject(dc, oldPen);
            SelectObject(dc, oldBrush);
            return true;
        });
        if (picture.pixels.empty())
            break;
        set.frames.push_back(LinesOf(picture));
    }
    DeleteObject(green);
    DeleteObject(red);
    engineState = saved;
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
    return int(std::set<Lines>(set.frames.begin(), set.frames.end()).size());
}

int WaitForExactFrame(HWND window, const FrameSet& frames, Picture* seen, DWORD timeoutMs)
{
    int frame = -1;
    WaitFor([&] { return (frame = MatchingFrame(*seen = CaptureClient(window), frames)) >= 0; },
            timeoutMs);
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
    const DWORD headers = sizeof(BITMAPFILEHEADER) + sizeof info;
    const BITMAPFILEHEADER file = {0x4D42 /* "BM" */, headers + bytes, 0, 0, headers};
    const HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool ok = out != INVALID_HANDLE_VALUE &&
                    WriteFile(out, &file, sizeof file, &written, nullptr) &&
                    WriteFile(out, &info, sizeof info, &written, nullptr) &&
                    WriteFile(out, picture.pixels.data(), bytes, &written, nullptr) &&
                    written == bytes;
    return out != INVALID_HANDLE_VALUE && CloseHandle(out) && ok;
}

void ShowMismatch(const Picture& seen, const FrameSet& frames, const char* when)
{
    if (seen.width != frames.width || seen.height != frames.height || frames.frames.empty()) {
        std::printf("info: %s: captured %dx%d, expected %dx%d: nothing to compare\n", when,
                    seen.width, seen.height, frames.width, frames.height);
        return;
    }
    // The nearest frame: the fewest pixels that differ, and the first of them.
    Picture expected;
    size_t nearest = 0, fewest = SIZE_MAX, first = 0;
    for (size_t f = 0; f < frames.frames.size(); ++f) {
        Picture frame{seen.width, seen.height, std::vector<DWORD>(seen.pixels.size(), kWhite)};
        for (const auto& pixel : frames.frames[f])
            frame.pixels[pixel.first] = pixel.second;
        size_t differ = 0, at = 0;
        for (size_t k = 0; k < seen.pixels.size(); ++k)
            if (seen.pixels[k] != frame.pixels[k] && differ++ == 0)
                at = k;
        if (differ < fewest)
            nearest = f, fewest = differ, first = at, expected = frame;
    }
    std::printf("info: %s: differs from its nearest frame, %zu, in %zu pixels; the first at "
                "(%zu, %zu): expected #%06lx, got #%06lx\n", when, nearest, fewest,
                first % seen.width, first / seen.width, expected.pixels[first], seen.pixels[first]);
    // Read through the Windows API: MSVC flags the C runtime's _wgetenv.
    wchar_t named[MAX_PATH] = L"";
    const DWORD length = GetEnvironmentVariableW(L"ROTARY_PICTURES", named, MAX_PATH);
    const std::wstring folder = length > 0 && length < MAX_PATH ? named : L"failed-pictures";
    CreateDirectoryW(folder.c_str(), nullptr);
    wchar_t name[64];
    swprintf(name, 64, L"\\%dx%d-frame-%02zu-", seen.width, seen.height, nearest);
    const std::wstring base = folder + name;
    const bool saved = SaveBitmap(seen, base + L"seen.bmp") &&
                       SaveBitmap(expected, base + L"expected.bmp");
    std::printf("info: %s %lsseen.bmp and %lsexpected.bmp\n", saved ? "saved" : "could not save",
                base.c_str(), base.c_str());
}
