// The call log behind the host stand-in's drawing functions.
#pragma once

#include <windows.h>

#include <functional>
#include <ostream>
#include <vector>

struct GdiCall {
    enum Op { kMoveTo, kLineTo, kEllipse } op;
    HDC dc;
    int v[4];  // x, y for moves and lines; the box for ellipses
    bool askedPrevious;  // MoveToEx was handed a POINT to fill
};

std::vector<GdiCall>& GdiLog();  // every call since the last ClearGdiLog()
void ClearGdiLog();
// Called for each logged call (the shell tests note the pen selected then).
extern std::function<void(const GdiCall&)> gdiCallObserver;

bool operator==(const GdiCall& a, const GdiCall& b);
std::ostream& operator<<(std::ostream& out, const GdiCall& call);
// Expected calls on a given dc.
GdiCall MoveCall(HDC dc, int x, int y);
GdiCall LineCall(HDC dc, int x, int y);
GdiCall EllipseCall(HDC dc, int left, int top, int right, int bottom);
