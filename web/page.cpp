// The program's window on a web page: the page's canvas is the client
// area, in device pixels. The page's script calls ResizePage when the
// canvas is (re)sized and PaintPage for every repaint, then puts the
// pixels on the canvas as they are.
#include "figure/engine.h"
#include "web/gdi_canvas.h"

#include <cstdlib>

namespace {

// The client area's pixels, remade at each size.
GdiCanvas canvas;

}  // namespace

// One frame, as the program paints one: erased to white, the housing in
// green, then the animation steps and the gears and rotor follow in red.
// The outlines are never filled, as with the hollow brush.
extern "C" void PaintPage()
{
    if (!canvas.pixels)
        return;
    FillCanvas(&canvas, CanvasColour(255, 255, 255));
    const int centreX = engineState.clientWidth / 2;
    const int centreY = engineState.clientHeight / 2;

    canvas.pen = CanvasColour(0, 255, 0);
    DrawHousing(&canvas, centreX, centreY);

    AdvanceFrame();
    const double crankAngle = CrankAngle(engineState.frameIndex);

    canvas.pen = CanvasColour(255, 0, 0);
    DrawRotor(&canvas, engineState.eccentricity, crankAngle, centreX, centreY,
              engineState.generatingRadius);
}

// A new client size: the engine is laid out again and the buffer remade.
// Returns the RGBA bytes (width * height * 4 of them), or null when there
// is nothing to show (an empty area, or no memory for one this large).
extern "C" std::uint32_t* ResizePage(int width, int height)
{
    std::free(canvas.pixels);
    canvas.pixels = nullptr;
    canvas.width = 0;
    canvas.height = 0;
    if (width <= 0 || height <= 0)
        return nullptr;
    const RECT client = {0, 0, width, height};
    UpdateEngineLayout(client);
    canvas.pixels = static_cast<std::uint32_t*>(
        std::malloc(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4));
    if (canvas.pixels) {
        canvas.width = width;
        canvas.height = height;
    }
    return canvas.pixels;
}
