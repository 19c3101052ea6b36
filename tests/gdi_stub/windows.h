// Host stand-in for <windows.h>: only what the engine figure may use.
// Every drawing call is appended to a log (gdi_log.h) in call order.
#pragma once

#include <cstdint>

typedef std::int32_t LONG;
typedef struct HDC__* HDC;

struct POINT { LONG x, y; };
struct RECT { LONG left, top, right, bottom; };

int MoveToEx(HDC dc, int x, int y, POINT* previous);
int LineTo(HDC dc, int x, int y);
int Ellipse(HDC dc, int left, int top, int right, int bottom);
