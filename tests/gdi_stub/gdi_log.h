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

// Every call since the last ClearGdiLog(), in order.
std::vector<GdiCall>& GdiLog();
void ClearGdiLog();

// Optional observer, called for each logged call (the shell tests use it
// to note which pen was selected at the time).
extern std::function<void(const GdiCall&)> gdiCallObserver;

bool operator==(const GdiCall& a, const GdiCall& b);
std::ostream& operator<<(std::ostream& out, const GdiCall& call);

// Shorthands for expected calls on a given dc.
GdiCall MoveCall(HDC dc, int x, int y);
GdiCall LineCall(HDC dc, int x, int y);
GdiCall EllipseCall(HDC dc, int left, int top, int right, int bottom);
