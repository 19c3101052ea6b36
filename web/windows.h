// The page's stand-in for <windows.h>: the little the engine figure asks of
// the platform (a device context, points, rectangles and three drawing
// calls), drawn by gdi_canvas.cpp into the page's pixel buffer.
#pragma once

#include <cstdint>

typedef std::int32_t LONG;
typedef struct GdiCanvas* HDC;

struct POINT {
    LONG x;
    LONG y;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

int MoveToEx(HDC dc, int x, int y, POINT* previous);
int LineTo(HDC dc, int x, int y);
int Ellipse(HDC dc, int left, int top, int right, int bottom);
