#pragma once
// Point, size and rectangle values over the Win32 structures.
#include "framework/AfxDefs.h"

class CSize : public SIZE
{
public:
    CSize() { cx = cy = 0; }
    CSize(int x, int y) { cx = x; cy = y; }
    CSize(SIZE size) { cx = size.cx; cy = size.cy; }
    bool operator==(SIZE size) const { return cx == size.cx && cy == size.cy; }
    bool operator!=(SIZE size) const { return !(*this == size); }
    CSize operator+(SIZE size) const { return CSize(cx + size.cx, cy + size.cy); }
    CSize operator-(SIZE size) const { return CSize(cx - size.cx, cy - size.cy); }
};

class CPoint : public POINT
{
public:
    CPoint() { x = y = 0; }
    CPoint(int initX, int initY) { x = initX; y = initY; }
    CPoint(POINT pt) { x = pt.x; y = pt.y; }
    explicit CPoint(LPARAM lParam) { x = (short)LOWORD(lParam); y = (short)HIWORD(lParam); }
    void Offset(int dx, int dy) { x += dx; y += dy; }
    void SetPoint(int X, int Y) { x = X; y = Y; }
    bool operator==(POINT pt) const { return x == pt.x && y == pt.y; }
    bool operator!=(POINT pt) const { return !(*this == pt); }
    CPoint& operator+=(SIZE size) { x += size.cx; y += size.cy; return *this; }
    CPoint& operator-=(SIZE size) { x -= size.cx; y -= size.cy; return *this; }
    CPoint& operator+=(POINT pt) { x += pt.x; y += pt.y; return *this; }
    CPoint& operator-=(POINT pt) { x -= pt.x; y -= pt.y; return *this; }
    CPoint operator+(SIZE size) const { return CPoint(x + size.cx, y + size.cy); }
    CPoint operator-(SIZE size) const { return CPoint(x - size.cx, y - size.cy); }
    CPoint operator+(POINT pt) const { return CPoint(x + pt.x, y + pt.y); }
    CSize operator-(POINT pt) const { return CSize(x - pt.x, y - pt.y); }
};

class CRect : public RECT
{
public:
    CRect() { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    CRect(const RECT& rc) { CopyRect(&rc); }
    CRect(LPCRECT prc) { if (prc) CopyRect(prc); else SetRectEmpty(); }
    CRect(POINT pt, SIZE size) { left = pt.x; top = pt.y; right = pt.x + size.cx; bottom = pt.y + size.cy; }
    CRect(POINT topLeft, POINT bottomRight) { left = topLeft.x; top = topLeft.y; right = bottomRight.x; bottom = bottomRight.y; }

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint TopLeft() const { return CPoint(left, top); }
    CPoint BottomRight() const { return CPoint(right, bottom); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
    BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
    BOOL IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    BOOL PtInRect(POINT pt) const { return ::PtInRect(this, pt); }

    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }

    void SetRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    void SetRectEmpty() { left = top = right = bottom = 0; }
    void CopyRect(LPCRECT prc) { left = prc->left; top = prc->top; right = prc->right; bottom = prc->bottom; }
    BOOL EqualRect(LPCRECT prc) const { return ::EqualRect(this, prc); }
    void InflateRect(int x, int y) { left -= x; top -= y; right += x; bottom += y; }
    void InflateRect(SIZE size) { InflateRect(size.cx, size.cy); }
    void InflateRect(int l, int t, int r, int b) { left -= l; top -= t; right += r; bottom += b; }
    void InflateRect(LPCRECT prc) { InflateRect(prc->left, prc->top, prc->right, prc->bottom); }
    void DeflateRect(int x, int y) { InflateRect(-x, -y); }
    void DeflateRect(SIZE size) { InflateRect(-size.cx, -size.cy); }
    void DeflateRect(int l, int t, int r, int b) { InflateRect(-l, -t, -r, -b); }
    void DeflateRect(LPCRECT prc) { DeflateRect(prc->left, prc->top, prc->right, prc->bottom); }
    void OffsetRect(int x, int y) { left += x; right += x; top += y; bottom += y; }
    void OffsetRect(POINT pt) { OffsetRect(pt.x, pt.y); }
    void OffsetRect(SIZE size) { OffsetRect(size.cx, size.cy); }
    void MoveToX(int x) { right = x + Width(); left = x; }
    void MoveToY(int y) { bottom = y + Height(); top = y; }
    void MoveToXY(int x, int y) { MoveToX(x); MoveToY(y); }
    void NormalizeRect()
    {
        if (left > right) { LONG t = left; left = right; right = t; }
        if (top > bottom) { LONG t = top; top = bottom; bottom = t; }
    }
    BOOL IntersectRect(LPCRECT prc1, LPCRECT prc2) { return ::IntersectRect(this, prc1, prc2); }
    BOOL UnionRect(LPCRECT prc1, LPCRECT prc2) { return ::UnionRect(this, prc1, prc2); }
    BOOL SubtractRect(LPCRECT prc1, LPCRECT prc2) { return ::SubtractRect(this, prc1, prc2); }

    bool operator==(const RECT& rc) const { return ::EqualRect(this, &rc) != FALSE; }
    bool operator!=(const RECT& rc) const { return !(*this == rc); }
    CRect& operator=(const RECT& rc) { CopyRect(&rc); return *this; }
    void operator+=(POINT pt) { OffsetRect(pt); }
    void operator-=(POINT pt) { OffsetRect(-pt.x, -pt.y); }
    void operator&=(const RECT& rc) { ::IntersectRect(this, this, &rc); }
    void operator|=(const RECT& rc) { ::UnionRect(this, this, &rc); }
    CRect operator+(POINT pt) const { CRect r(*this); r.OffsetRect(pt); return r; }
    CRect operator-(POINT pt) const { CRect r(*this); r.OffsetRect(-pt.x, -pt.y); return r; }
    CRect operator&(const RECT& rc) const { CRect r; ::IntersectRect(&r, this, &rc); return r; }
    CRect operator|(const RECT& rc) const { CRect r; ::UnionRect(&r, this, &rc); return r; }
};
