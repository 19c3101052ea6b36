// GDI's pixels for the page: a 1-pixel solid pen and the hollow brush on a
// 32-bit top-down bitmap, drawn as Windows draws them (MoveToEx, LineTo,
// Ellipse), into RGBA bytes that a canvas takes as they are.
#pragma once

#include "web/windows.h"

#include <cstdint>

struct GdiCanvas {
    std::int32_t width;
    std::int32_t height;
    std::uint32_t* pixels;  // width * height, row by row from the top
    POINT position;         // where the next LineTo starts
    std::uint32_t pen;      // RGBA as it lies in memory
};

// A pixel value as the canvas's bytes hold it: R, G, B, then opaque alpha.
std::uint32_t CanvasColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

// Fills the whole canvas with one colour.
void FillCanvas(GdiCanvas* canvas, std::uint32_t colour);
