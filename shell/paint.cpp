// One frame: the housing in green, then the animation steps and the gears
// and rotor follow in red. Everything the paint creates it also deletes,
// and the device context gets back the pen and brush it came with.
#include "shell/window.h"

#include "figure/engine.h"

void PaintEngine(HWND window)
{
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);  // erased to white by now
    const int centreX = engineState.clientWidth / 2;
    const int centreY = engineState.clientHeight / 2;

    // The hollow brush keeps the gear circles unfilled, so the housing
    // shows through them.
    const HPEN green = CreatePen(PS_SOLID, 1, RGB(0, 255, 0));
    const HGDIOBJ oldPen = SelectObject(dc, green);
    const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    DrawHousing(dc, centreX, centreY);
    SelectObject(dc, oldPen);
    DeleteObject(green);

    AdvanceFrame();
    const double crankAngle = CrankAngle(engineState.frameIndex);

    const HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    const HGDIOBJ prevPen = SelectObject(dc, red);
    DrawRotor(dc, engineState.eccentricity, crankAngle, centreX, centreY,
              engineState.generatingRadius);
    SelectObject(dc, prevPen);
    SelectObject(dc, oldBrush);
    DeleteObject(red);

    EndPaint(window, &paint);
}
