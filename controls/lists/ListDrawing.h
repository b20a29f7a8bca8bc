#pragma once
// Solid fills without creating GDI objects (the DC's own colours are kept).
#include <windows.h>

void ListFillSolid(HDC hDC, const RECT& rc, COLORREF cr);
// A one-pixel frame on the inside of the rectangle.
void ListFrameSolid(HDC hDC, const RECT& rc, COLORREF cr);
