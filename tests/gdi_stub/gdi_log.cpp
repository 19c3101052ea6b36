#include "gdi_log.h"

std::function<void(const GdiCall&)> gdiCallObserver;

std::vector<GdiCall>& GdiLog()
{
    static std::vector<GdiCall> log;
    return log;
}

void ClearGdiLog() { GdiLog().clear(); }

static int Record(const GdiCall& call)
{
    GdiLog().push_back(call);
    if (gdiCallObserver)
        gdiCallObserver(call);
    return 1;
}

int MoveToEx(HDC dc, int x, int y, POINT* previous)
{
    return Record({GdiCall::kMoveTo, dc, {x, y, 0, 0}, previous != nullptr});
}
int LineTo(HDC dc, int x, int y) { return Record(LineCall(dc, x, y)); }
int Ellipse(HDC dc, int l, int t, int r, int b) { return Record(EllipseCall(dc, l, t, r, b)); }

GdiCall MoveCall(HDC dc, int x, int y) { return {GdiCall::kMoveTo, dc, {x, y, 0, 0}, false}; }
GdiCall LineCall(HDC dc, int x, int y) { return {GdiCall::kLineTo, dc, {x, y, 0, 0}, false}; }
GdiCall EllipseCall(HDC dc, int l, int t, int r, int b)
{
    return {GdiCall::kEllipse, dc, {l, t, r, b}, false};
}

bool operator==(const GdiCall& a, const GdiCall& b)
{
    return a.op == b.op && a.dc == b.dc && a.v[0] == b.v[0] && a.v[1] == b.v[1] &&
           a.v[2] == b.v[2] && a.v[3] == b.v[3] && a.askedPrevious == b.askedPrevious;
}

std::ostream& operator<<(std::ostream& out, const GdiCall& c)
{
    if (c.op == GdiCall::kEllipse)
        return out << "Ellipse(" << c.v[0] << ", " << c.v[1] << ", " << c.v[2] << ", " << c.v[3]
                   << ")";
    return out << (c.op == GdiCall::kMoveTo ? "MoveToEx(" : "LineTo(") << c.v[0] << ", " << c.v[1]
               << (c.askedPrevious ? ", &pt)" : ")");
}
