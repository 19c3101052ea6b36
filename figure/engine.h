// The engine figure: the window-wide state, the layout and animation
// arithmetic, and the plotting of the housing, gears and rotor.
//
// Plotting goes through nothing but MoveToEx, LineTo and Ellipse on the
// device context it is handed; pens and brushes are the caller's business.
#pragma once

#include <windows.h>

#include <cstdint>

// All sizes in client pixels. Zero at start; nothing else initialises it.
struct EngineState {
    std::int32_t clientWidth;
    std::int32_t clientHeight;
    std::int32_t generatingRadius;  // R: rotor centre to each apex
    std::int32_t eccentricity;      // e: window centre to rotor centre
    std::int32_t frameIndex;        // 0 to 60
};

// The one record, alive for the whole process.
extern EngineState engineState;

// Recomputes the four size fields from the client rectangle.
void UpdateEngineLayout(const RECT& client);

// Steps frameIndex through 1, 2, ..., 60, 0, 1, ...
void AdvanceFrame();

// Crank angle in radians for a frame index; decreasing, so the crank turns
// clockwise on a screen whose y axis points down.
double CrankAngle(std::int32_t frame);

// The two-lobed housing about (centreX, centreY), sized from engineState.
void DrawHousing(HDC dc, std::int32_t centreX, std::int32_t centreY);

// The ring gear, the centre gear and the rotor outline for one crank angle.
void DrawRotor(HDC dc, double eccentricity, double crankAngle, double centreX,
               double centreY, double generatingRadius);
