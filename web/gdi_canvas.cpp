// The pixels GDI chooses for a 1-pixel solid (cosmetic) pen, drawn here so
// that the page shows what the program's window shows, pixel for pixel.
#include "web/gdi_canvas.h"

namespace {

void Plot(GdiCanvas* canvas, std::int64_t x, std::int64_t y)
{
    // GDI clips to the bitmap without moving a line's pixels, so clipping
    // pixel by pixel chooses the same ones.
    if (x >= 0 && y >= 0 && x < canvas->width && y < canvas->height)
        canvas->pixels[y * canvas->width + x] = canvas->pen;
}

// A segment from its start pixel up to, but not including, its end pixel.
void PenSegment(GdiCanvas* canvas, POINT from, POINT to)
{
    const std::int64_t dx = std::int64_t{to.x} - from.x;
    const std::int64_t dy = std::int64_t{to.y} - from.y;
    const std::int64_t stepX = dx < 0 ? -1 : 1;
    const std::int64_t stepY = dy < 0 ? -1 : 1;
    const std::int64_t runX = dx < 0 ? -dx : dx;
    const std::int64_t runY = dy < 0 ? -dy : dy;

    // Bresenham along the longer axis; a diagonal (runX == runY) counts as
    // steep. At a tie (the ideal line exactly half-way between two pixels)
    // GDI steps across only on lines that run up the screen (shallow
    // ones) or to the left (steep ones): a bias of one in the error test.
    const bool shallow = runX > runY;
    const bool bias = shallow ? dy < 0 : dx < 0;

    const std::int64_t major = shallow ? runX : runY;
    const std::int64_t minor = shallow ? runY : runX;
    std::int64_t x = from.x;
    std::int64_t y = from.y;
    std::int64_t error = 2 * minor - major;
    for (std::int64_t k = 0; k < major; ++k) {
        Plot(canvas, x, y);
        if (error + (bias ? 1 : 0) > 0) {
            if (shallow)
                y += stepY;
            else
                x += stepX;
            error += 2 * minor - 2 * major;
        } else {
            error += 2 * minor;
        }
        if (shallow)
            x += stepX;
        else
            y += stepY;
    }
}

}  // namespace

std::uint32_t CanvasColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return std::uint32_t{red} | std::uint32_t{green} << 8 | std::uint32_t{blue} << 16 |
           std::uint32_t{0xFF} << 24;
}

void FillCanvas(GdiCanvas* canvas, std::uint32_t colour)
{
    const std::int64_t count = std::int64_t{canvas->width} * canvas->height;
    for (std::int64_t i = 0; i < count; ++i)
        canvas->pixels[i] = colour;
}

int MoveToEx(HDC dc, int x, int y, POINT* previous)
{
    if (previous)
        *previous = dc->position;
    dc->position = POINT{x, y};
    return 1;
}

int LineTo(HDC dc, int x, int y)
{
    PenSegment(dc, dc->position, POINT{x, y});
    dc->position = POINT{x, y};
    return 1;
}

int Ellipse(HDC dc, int left, int top, int right, int bottom)
{
    if (left > right) {
        const int swap = left;
        left = right;
        right = swap;
    }
    if (top > bottom) {
        const int swap = top;
        top = bottom;
        bottom = swap;
    }
    // The outline lies inside the box: an empty box draws nothing, and one
    // two pixels or less across is drawn as the outline of its rectangle,
    // right and bottom edges left out.
    const std::int64_t width = std::int64_t{right} - left;
    const std::int64_t height = std::int64_t{bottom} - top;
    if (width == 0 || height == 0)
        return 1;
    if (width <= 2 || height <= 2) {
        const POINT corners[4] = {{right - 1, top}, {left, top}, {left, bottom - 1},
                                  {right - 1, bottom - 1}};
        for (int k = 0; k < 4; ++k)
            PenSegment(dc, corners[k], corners[(k + 1) % 4]);
        return 1;
    }

    // A quarter of the outline by the midpoint method on the integer
    // ellipse of axes (width - 1) and (height - 1), from the right-hand
    // end towards the top, mirrored into the other three quarters. GDI
    // joins these points with the pen into a closed figure; neighbouring
    // points touch, so each segment paints just its start, and the figure
    // is exactly its points.
    const std::int64_t a = width - 1;
    const std::int64_t b = height - 1;
    std::int64_t stepXCost = 4 * b * b * (1 - a);
    std::int64_t stepYCost = 4 * a * a * (1 + b % 2);
    std::int64_t error = stepXCost + stepYCost + a * a * (b % 2);
    std::int64_t x = a;
    std::int64_t y = height / 2;
    while (x >= width / 2) {
        const std::int64_t lowX = left + x;
        const std::int64_t highX = std::int64_t{right} - 1 - x;
        const std::int64_t lowY = top + height - 1 - y;
        const std::int64_t highY = top + y;
        Plot(dc, lowX, lowY);
        Plot(dc, highX, lowY);
        Plot(dc, lowX, highY);
        Plot(dc, highX, highY);
        const std::int64_t twice = 2 * error;
        if (twice >= stepXCost) {
            --x;
            stepXCost += 8 * b * b;
            error += stepXCost;
        }
        if (twice <= stepYCost) {
            ++y;
            stepYCost += 8 * a * a;
            error += stepYCost;
        }
    }
    return 1;
}
