#include "framework/Dc.h"
#include "framework/TempObjectMap.h"

void AfxPurgeTemporaryGdiWrappers();

namespace {

// A plain pointer for the same reason as the GDI object store.
struct CTempDcTraits
{
    static void Bind(CDC& dc, HDC hDC) { dc.Attach(hDC); }
    static void Unbind(CDC& dc) { dc.Detach(); }
};
typedef CTempObjectMap<CDC, HDC, CTempDcTraits> CTempDcMap;
thread_local CTempDcMap* t_pTempDCs = NULL;

// msimg32 is bound by name on first use, so a system without it still runs
// (the blends then report FALSE and draw nothing).
struct CMsimg32
{
    typedef BOOL(WINAPI* AlphaBlendProc)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
    typedef BOOL(WINAPI* TransparentBltProc)(HDC, int, int, int, int, HDC, int, int, int, int, UINT);
    typedef BOOL(WINAPI* GradientFillProc)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

    AlphaBlendProc pfnAlphaBlend = NULL;
    TransparentBltProc pfnTransparentBlt = NULL;
    GradientFillProc pfnGradientFill = NULL;

    CMsimg32()
    {
        // Loaded for the life of the process, like the system's own users of it.
        HMODULE hModule = ::LoadLibraryW(L"msimg32.dll");
        if (hModule == NULL)
            return;
        pfnAlphaBlend = (AlphaBlendProc)(void*)::GetProcAddress(hModule, "AlphaBlend");
        pfnTransparentBlt = (TransparentBltProc)(void*)::GetProcAddress(hModule, "TransparentBlt");
        pfnGradientFill = (GradientFillProc)(void*)::GetProcAddress(hModule, "GradientFill");
    }
};

const CMsimg32& Msimg32()
{
    static const CMsimg32 s_msimg32;
    return s_msimg32;
}

}  // namespace

void AfxPurgeTemporaryGdiObjects()
{
    delete t_pTempDCs;
    t_pTempDCs = NULL;
    AfxPurgeTemporaryGdiWrappers();
}

CDC::~CDC()
{
    DeleteDC();
}

CDC* PASCAL CDC::FromHandle(HDC hDC)
{
    if (hDC == NULL)
        return NULL;
    return CTempDcMap::Of(t_pTempDCs).Lookup(hDC);
}

BOOL CDC::Attach(HDC hDC)
{
    if (hDC == NULL)
        return FALSE;
    if (hDC != m_hDC)
        DeleteDC();
    m_hDC = m_hAttribDC = hDC;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC hDC = m_hDC;
    m_hDC = m_hAttribDC = NULL;
    return hDC;
}

BOOL CDC::DeleteDC()
{
    if (m_hDC == NULL)
        return FALSE;
    return ::DeleteDC(Detach());
}

BOOL CDC::CreateDC(LPCWSTR lpszDriverName, LPCWSTR lpszDeviceName, LPCWSTR lpszOutput, const void* lpInitData)
{
    return Attach(::CreateDCW(lpszDriverName, lpszDeviceName, lpszOutput, (const DEVMODEW*)lpInitData));
}

BOOL CDC::CreateIC(LPCWSTR lpszDriverName, LPCWSTR lpszDeviceName, LPCWSTR lpszOutput, const void* lpInitData)
{
    return Attach(::CreateICW(lpszDriverName, lpszDeviceName, lpszOutput, (const DEVMODEW*)lpInitData));
}

BOOL CDC::CreateCompatibleDC(CDC* pDC)
{
    return Attach(::CreateCompatibleDC(pDC ? pDC->m_hDC : NULL));
}

int CDC::SaveDC()
{
    return ::SaveDC(m_hDC);
}

BOOL CDC::RestoreDC(int nSavedDC)
{
    return ::RestoreDC(m_hDC, nSavedDC);
}

int CDC::GetDeviceCaps(int nIndex) const
{
    return ::GetDeviceCaps(m_hAttribDC, nIndex);
}

// Selection

CPen* CDC::SelectObject(CPen* pPen)
{
    if (pPen == NULL)
        return NULL;
    return CPen::FromHandle((HPEN)::SelectObject(m_hDC, pPen->m_hObject));
}

CBrush* CDC::SelectObject(CBrush* pBrush)
{
    if (pBrush == NULL)
        return NULL;
    return CBrush::FromHandle((HBRUSH)::SelectObject(m_hDC, pBrush->m_hObject));
}

CFont* CDC::SelectObject(CFont* pFont)
{
    if (pFont == NULL)
        return NULL;
    return CFont::FromHandle((HFONT)::SelectObject(m_hDC, pFont->m_hObject));
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap)
{
    if (pBitmap == NULL)
        return NULL;
    return CBitmap::FromHandle((HBITMAP)::SelectObject(m_hDC, pBitmap->m_hObject));
}

int CDC::SelectObject(CRgn* pRgn)
{
    if (pRgn == NULL)
        return ERROR;
    return (int)(INT_PTR)::SelectObject(m_hDC, pRgn->m_hObject);
}

CGdiObject* CDC::SelectObject(CGdiObject* pObject)
{
    if (pObject == NULL)
        return NULL;
    return CGdiObject::FromHandle(SelectObject(pObject->m_hObject));
}

HGDIOBJ CDC::SelectObject(HGDIOBJ hObject)
{
    // A region's "old object" is a region type, not a handle.
    HGDIOBJ hOld = ::SelectObject(m_hDC, hObject);
    if (hObject && ::GetObjectType(hObject) == OBJ_REGION)
        return NULL;
    return hOld == HGDI_ERROR ? NULL : hOld;
}

CGdiObject* CDC::SelectStockObject(int nIndex)
{
    HGDIOBJ hObject = ::GetStockObject(nIndex);
    return hObject ? CGdiObject::FromHandle(SelectObject(hObject)) : NULL;
}

CPalette* CDC::SelectPalette(CPalette* pPalette, BOOL bForceBackground)
{
    if (pPalette == NULL)
        return NULL;
    return CPalette::FromHandle(::SelectPalette(m_hDC, (HPALETTE)pPalette->m_hObject, bForceBackground));
}

UINT CDC::RealizePalette()
{
    return ::RealizePalette(m_hDC);
}

CPen* CDC::GetCurrentPen() const
{
    return CPen::FromHandle((HPEN)::GetCurrentObject(m_hDC, OBJ_PEN));
}

CBrush* CDC::GetCurrentBrush() const
{
    return CBrush::FromHandle((HBRUSH)::GetCurrentObject(m_hDC, OBJ_BRUSH));
}

CFont* CDC::GetCurrentFont() const
{
    return CFont::FromHandle((HFONT)::GetCurrentObject(m_hDC, OBJ_FONT));
}

CBitmap* CDC::GetCurrentBitmap() const
{
    return CBitmap::FromHandle((HBITMAP)::GetCurrentObject(m_hDC, OBJ_BITMAP));
}

CPalette* CDC::GetCurrentPalette() const
{
    return CPalette::FromHandle((HPALETTE)::GetCurrentObject(m_hDC, OBJ_PAL));
}

// Colours and modes

COLORREF CDC::GetBkColor() const { return ::GetBkColor(m_hAttribDC); }
COLORREF CDC::SetBkColor(COLORREF crColor) { return ::SetBkColor(m_hDC, crColor); }
int CDC::GetBkMode() const { return ::GetBkMode(m_hAttribDC); }
int CDC::SetBkMode(int nBkMode) { return ::SetBkMode(m_hDC, nBkMode); }
COLORREF CDC::GetTextColor() const { return ::GetTextColor(m_hAttribDC); }
COLORREF CDC::SetTextColor(COLORREF crColor) { return ::SetTextColor(m_hDC, crColor); }
int CDC::GetROP2() const { return ::GetROP2(m_hAttribDC); }
int CDC::SetROP2(int nDrawMode) { return ::SetROP2(m_hDC, nDrawMode); }
int CDC::GetStretchBltMode() const { return ::GetStretchBltMode(m_hAttribDC); }
int CDC::SetStretchBltMode(int nStretchMode) { return ::SetStretchBltMode(m_hDC, nStretchMode); }
int CDC::GetPolyFillMode() const { return ::GetPolyFillMode(m_hAttribDC); }
int CDC::SetPolyFillMode(int nPolyFillMode) { return ::SetPolyFillMode(m_hDC, nPolyFillMode); }
UINT CDC::SetTextAlign(UINT nFlags) { return ::SetTextAlign(m_hDC, nFlags); }
UINT CDC::GetTextAlign() const { return ::GetTextAlign(m_hAttribDC); }
int CDC::SetTextCharacterExtra(int nCharExtra) { return ::SetTextCharacterExtra(m_hDC, nCharExtra); }
COLORREF CDC::GetNearestColor(COLORREF crColor) const { return ::GetNearestColor(m_hAttribDC, crColor); }

// Coordinates

int CDC::GetMapMode() const { return ::GetMapMode(m_hAttribDC); }
int CDC::SetMapMode(int nMapMode) { return ::SetMapMode(m_hDC, nMapMode); }

CPoint CDC::GetViewportOrg() const
{
    POINT pt = { 0, 0 };
    ::GetViewportOrgEx(m_hAttribDC, &pt);
    return CPoint(pt.x, pt.y);
}

CPoint CDC::SetViewportOrg(int x, int y)
{
    POINT pt = { 0, 0 };
    ::SetViewportOrgEx(m_hDC, x, y, &pt);
    return CPoint(pt.x, pt.y);
}

CPoint CDC::OffsetViewportOrg(int nWidth, int nHeight)
{
    POINT pt = { 0, 0 };
    ::OffsetViewportOrgEx(m_hDC, nWidth, nHeight, &pt);
    return CPoint(pt.x, pt.y);
}

CPoint CDC::GetWindowOrg() const
{
    POINT pt = { 0, 0 };
    ::GetWindowOrgEx(m_hAttribDC, &pt);
    return CPoint(pt.x, pt.y);
}

CPoint CDC::SetWindowOrg(int x, int y)
{
    POINT pt = { 0, 0 };
    ::SetWindowOrgEx(m_hDC, x, y, &pt);
    return CPoint(pt.x, pt.y);
}

CPoint CDC::OffsetWindowOrg(int nWidth, int nHeight)
{
    POINT pt = { 0, 0 };
    ::OffsetWindowOrgEx(m_hDC, nWidth, nHeight, &pt);
    return CPoint(pt.x, pt.y);
}

CSize CDC::GetViewportExt() const
{
    SIZE size = { 0, 0 };
    ::GetViewportExtEx(m_hAttribDC, &size);
    return CSize(size.cx, size.cy);
}

CSize CDC::SetViewportExt(int cx, int cy)
{
    SIZE size = { 0, 0 };
    ::SetViewportExtEx(m_hDC, cx, cy, &size);
    return CSize(size.cx, size.cy);
}

CSize CDC::GetWindowExt() const
{
    SIZE size = { 0, 0 };
    ::GetWindowExtEx(m_hAttribDC, &size);
    return CSize(size.cx, size.cy);
}

CSize CDC::SetWindowExt(int cx, int cy)
{
    SIZE size = { 0, 0 };
    ::SetWindowExtEx(m_hDC, cx, cy, &size);
    return CSize(size.cx, size.cy);
}

void CDC::DPtoLP(LPPOINT lpPoints, int nCount) const { ::DPtoLP(m_hAttribDC, lpPoints, nCount); }
void CDC::DPtoLP(LPRECT lpRect) const { ::DPtoLP(m_hAttribDC, (LPPOINT)lpRect, 2); }
void CDC::LPtoDP(LPPOINT lpPoints, int nCount) const { ::LPtoDP(m_hAttribDC, lpPoints, nCount); }
void CDC::LPtoDP(LPRECT lpRect) const { ::LPtoDP(m_hAttribDC, (LPPOINT)lpRect, 2); }

// Sizes are distances: convert both ends and keep the difference.
void CDC::DPtoLP(LPSIZE lpSize) const
{
    POINT pts[2] = { { 0, 0 }, { lpSize->cx, lpSize->cy } };
    ::DPtoLP(m_hAttribDC, pts, 2);
    lpSize->cx = pts[1].x - pts[0].x;
    lpSize->cy = pts[1].y - pts[0].y;
}

void CDC::LPtoDP(LPSIZE lpSize) const
{
    POINT pts[2] = { { 0, 0 }, { lpSize->cx, lpSize->cy } };
    ::LPtoDP(m_hAttribDC, pts, 2);
    lpSize->cx = pts[1].x - pts[0].x;
    lpSize->cy = pts[1].y - pts[0].y;
}

// Clipping

int CDC::GetClipBox(LPRECT lpRect) const { return ::GetClipBox(m_hDC, lpRect); }

int CDC::SelectClipRgn(CRgn* pRgn)
{
    return ::SelectClipRgn(m_hDC, pRgn ? (HRGN)pRgn->m_hObject : NULL);
}

int CDC::SelectClipRgn(CRgn* pRgn, int nMode)
{
    return ::ExtSelectClipRgn(m_hDC, pRgn ? (HRGN)pRgn->m_hObject : NULL, nMode);
}

int CDC::IntersectClipRect(int x1, int y1, int x2, int y2) { return ::IntersectClipRect(m_hDC, x1, y1, x2, y2); }
int CDC::IntersectClipRect(LPCRECT r) { return ::IntersectClipRect(m_hDC, r->left, r->top, r->right, r->bottom); }
int CDC::ExcludeClipRect(int x1, int y1, int x2, int y2) { return ::ExcludeClipRect(m_hDC, x1, y1, x2, y2); }
int CDC::ExcludeClipRect(LPCRECT r) { return ::ExcludeClipRect(m_hDC, r->left, r->top, r->right, r->bottom); }
int CDC::OffsetClipRgn(int x, int y) { return ::OffsetClipRgn(m_hDC, x, y); }
BOOL CDC::PtVisible(int x, int y) const { return ::PtVisible(m_hDC, x, y); }
BOOL CDC::RectVisible(LPCRECT lpRect) const { return ::RectVisible(m_hDC, lpRect); }

// Lines and curves

CPoint CDC::GetCurrentPosition() const
{
    POINT pt = { 0, 0 };
    ::GetCurrentPositionEx(m_hAttribDC, &pt);
    return CPoint(pt.x, pt.y);
}

CPoint CDC::MoveTo(int x, int y)
{
    POINT pt = { 0, 0 };
    ::MoveToEx(m_hDC, x, y, &pt);
    return CPoint(pt.x, pt.y);
}

BOOL CDC::LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
BOOL CDC::Polyline(const POINT* lpPoints, int nCount) { return ::Polyline(m_hDC, lpPoints, nCount); }
BOOL CDC::PolyBezier(const POINT* lpPoints, int nCount) { return ::PolyBezier(m_hDC, lpPoints, nCount); }
BOOL CDC::PolyBezierTo(const POINT* lpPoints, int nCount) { return ::PolyBezierTo(m_hDC, lpPoints, nCount); }

BOOL CDC::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    return ::Arc(m_hDC, x1, y1, x2, y2, x3, y3, x4, y4);
}

// Shapes

void CDC::FillRect(LPCRECT lpRect, CBrush* pBrush)
{
    if (pBrush)
        ::FillRect(m_hDC, lpRect, (HBRUSH)pBrush->m_hObject);
}

void CDC::FrameRect(LPCRECT lpRect, CBrush* pBrush)
{
    if (pBrush)
        ::FrameRect(m_hDC, lpRect, (HBRUSH)pBrush->m_hObject);
}

void CDC::InvertRect(LPCRECT lpRect) { ::InvertRect(m_hDC, lpRect); }

// Opaque ExtTextOut paints a rectangle in the background colour without
// needing a brush; the background colour is put back afterwards.
void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr)
{
    COLORREF clrOld = ::SetBkColor(m_hDC, clr);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, lpRect, NULL, 0, NULL);
    ::SetBkColor(m_hDC, clrOld);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr)
{
    RECT rect = { x, y, x + cx, y + cy };
    FillSolidRect(&rect, clr);
}

void CDC::Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    Draw3dRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top,
               clrTopLeft, clrBottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
    FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
    FillSolidRect(x + cx - 1, y, 1, cy, clrBottomRight);
    FillSolidRect(x, y + cy - 1, cx, 1, clrBottomRight);
}

BOOL CDC::DrawEdge(LPRECT lpRect, UINT nEdge, UINT nFlags) { return ::DrawEdge(m_hDC, lpRect, nEdge, nFlags); }
void CDC::DrawFocusRect(LPCRECT lpRect) { ::DrawFocusRect(m_hDC, lpRect); }

BOOL CDC::DrawFrameControl(LPRECT lpRect, UINT nType, UINT nState)
{
    return ::DrawFrameControl(m_hDC, lpRect, nType, nState);
}

BOOL CDC::Rectangle(int x1, int y1, int x2, int y2) { return ::Rectangle(m_hDC, x1, y1, x2, y2); }
BOOL CDC::Rectangle(LPCRECT r) { return ::Rectangle(m_hDC, r->left, r->top, r->right, r->bottom); }

BOOL CDC::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3)
{
    return ::RoundRect(m_hDC, x1, y1, x2, y2, x3, y3);
}

BOOL CDC::RoundRect(LPCRECT r, POINT point)
{
    return ::RoundRect(m_hDC, r->left, r->top, r->right, r->bottom, point.x, point.y);
}

BOOL CDC::Ellipse(int x1, int y1, int x2, int y2) { return ::Ellipse(m_hDC, x1, y1, x2, y2); }
BOOL CDC::Ellipse(LPCRECT r) { return ::Ellipse(m_hDC, r->left, r->top, r->right, r->bottom); }

BOOL CDC::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    return ::Pie(m_hDC, x1, y1, x2, y2, x3, y3, x4, y4);
}

BOOL CDC::Polygon(const POINT* lpPoints, int nCount) { return ::Polygon(m_hDC, lpPoints, nCount); }

BOOL CDC::FillRgn(CRgn* pRgn, CBrush* pBrush)
{
    if (pRgn == NULL || pBrush == NULL)
        return FALSE;
    return ::FillRgn(m_hDC, (HRGN)pRgn->m_hObject, (HBRUSH)pBrush->m_hObject);
}

BOOL CDC::FrameRgn(CRgn* pRgn, CBrush* pBrush, int nWidth, int nHeight)
{
    if (pRgn == NULL || pBrush == NULL)
        return FALSE;
    return ::FrameRgn(m_hDC, (HRGN)pRgn->m_hObject, (HBRUSH)pBrush->m_hObject, nWidth, nHeight);
}

BOOL CDC::PaintRgn(CRgn* pRgn)
{
    return pRgn ? ::PaintRgn(m_hDC, (HRGN)pRgn->m_hObject) : FALSE;
}

BOOL CDC::FloodFill(int x, int y, COLORREF crColor) { return ::FloodFill(m_hDC, x, y, crColor); }

BOOL CDC::ExtFloodFill(int x, int y, COLORREF crColor, UINT nFillType)
{
    return ::ExtFloodFill(m_hDC, x, y, crColor, nFillType);
}

BOOL CDC::GradientFill(TRIVERTEX* pVertices, ULONG nVertices, void* pMesh, ULONG nMeshElements, DWORD dwMode)
{
    if (Msimg32().pfnGradientFill == NULL)
        return FALSE;
    return Msimg32().pfnGradientFill(m_hDC, pVertices, nVertices, pMesh, nMeshElements, dwMode);
}

// Paths

BOOL CDC::BeginPath() { return ::BeginPath(m_hDC); }
BOOL CDC::EndPath() { return ::EndPath(m_hDC); }
BOOL CDC::AbortPath() { return ::AbortPath(m_hDC); }
BOOL CDC::CloseFigure() { return ::CloseFigure(m_hDC); }
BOOL CDC::StrokePath() { return ::StrokePath(m_hDC); }
BOOL CDC::FillPath() { return ::FillPath(m_hDC); }
BOOL CDC::StrokeAndFillPath() { return ::StrokeAndFillPath(m_hDC); }
BOOL CDC::SelectClipPath(int nMode) { return ::SelectClipPath(m_hDC, nMode); }

// Bitmaps

BOOL CDC::PatBlt(int x, int y, int nWidth, int nHeight, DWORD dwRop)
{
    return ::PatBlt(m_hDC, x, y, nWidth, nHeight, dwRop);
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop)
{
    return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : NULL, xSrc, ySrc, dwRop);
}

BOOL CDC::StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                     int nSrcWidth, int nSrcHeight, DWORD dwRop)
{
    return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : NULL, xSrc, ySrc,
                        nSrcWidth, nSrcHeight, dwRop);
}

BOOL CDC::MaskBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                  CBitmap& maskBitmap, int xMask, int yMask, DWORD dwRop)
{
    return ::MaskBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : NULL, xSrc, ySrc,
                     (HBITMAP)maskBitmap.m_hObject, xMask, yMask, dwRop);
}

BOOL CDC::TransparentBlt(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC,
                         int xSrc, int ySrc, int nSrcWidth, int nSrcHeight, UINT clrTransparent)
{
    if (pSrcDC == NULL || Msimg32().pfnTransparentBlt == NULL)
        return FALSE;
    return Msimg32().pfnTransparentBlt(m_hDC, xDest, yDest, nDestWidth, nDestHeight, pSrcDC->m_hDC, xSrc, ySrc,
                            nSrcWidth, nSrcHeight, clrTransparent);
}

BOOL CDC::AlphaBlend(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC,
                     int xSrc, int ySrc, int nSrcWidth, int nSrcHeight, BLENDFUNCTION blend)
{
    if (pSrcDC == NULL || Msimg32().pfnAlphaBlend == NULL)
        return FALSE;
    return Msimg32().pfnAlphaBlend(m_hDC, xDest, yDest, nDestWidth, nDestHeight, pSrcDC->m_hDC, xSrc, ySrc,
                        nSrcWidth, nSrcHeight, blend);
}

COLORREF CDC::GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
COLORREF CDC::SetPixel(int x, int y, COLORREF crColor) { return ::SetPixel(m_hDC, x, y, crColor); }
BOOL CDC::SetPixelV(int x, int y, COLORREF crColor) { return ::SetPixelV(m_hDC, x, y, crColor); }

// Icons and states

BOOL CDC::DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }

BOOL CDC::DrawIconEx(int x, int y, HICON hIcon, int cx, int cy, UINT istepIfAniCur,
                     HBRUSH hbrFlickerFreeDraw, UINT diFlags)
{
    return ::DrawIconEx(m_hDC, x, y, hIcon, cx, cy, istepIfAniCur, hbrFlickerFreeDraw, diFlags);
}

BOOL CDC::DrawState(CPoint pt, CSize size, HBITMAP hBitmap, UINT nFlags, HBRUSH hBrush)
{
    return ::DrawStateW(m_hDC, hBrush, NULL, (LPARAM)hBitmap, 0, pt.x, pt.y, size.cx, size.cy,
                        nFlags | DST_BITMAP);
}

BOOL CDC::DrawState(CPoint pt, CSize size, CBitmap* pBitmap, UINT nFlags, CBrush* pBrush)
{
    if (pBitmap == NULL)
        return FALSE;
    return DrawState(pt, size, (HBITMAP)pBitmap->m_hObject, nFlags,
                     pBrush ? (HBRUSH)pBrush->m_hObject : NULL);
}

BOOL CDC::DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, HBRUSH hBrush)
{
    return ::DrawStateW(m_hDC, hBrush, NULL, (LPARAM)hIcon, 0, pt.x, pt.y, size.cx, size.cy,
                        nFlags | DST_ICON);
}

BOOL CDC::DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, CBrush* pBrush)
{
    return DrawState(pt, size, hIcon, nFlags, pBrush ? (HBRUSH)pBrush->m_hObject : (HBRUSH)NULL);
}

BOOL CDC::DrawState(CPoint pt, CSize size, LPCWSTR lpszText, UINT nFlags, BOOL bPrefixText,
                    int nTextLen, HBRUSH hBrush)
{
    return ::DrawStateW(m_hDC, hBrush, NULL, (LPARAM)lpszText, (WPARAM)nTextLen, pt.x, pt.y,
                        size.cx, size.cy, nFlags | (bPrefixText ? DST_PREFIXTEXT : DST_TEXT));
}

BOOL CDC::DrawState(CPoint pt, CSize size, LPCWSTR lpszText, UINT nFlags, BOOL bPrefixText,
                    int nTextLen, CBrush* pBrush)
{
    return DrawState(pt, size, lpszText, nFlags, bPrefixText, nTextLen,
                     pBrush ? (HBRUSH)pBrush->m_hObject : (HBRUSH)NULL);
}

// Text

BOOL CDC::TextOut(int x, int y, LPCWSTR lpszString, int nCount)
{
    return ::TextOutW(m_hDC, x, y, lpszString, nCount);
}

BOOL CDC::TextOut(int x, int y, const CString& str)
{
    return ::TextOutW(m_hDC, x, y, (LPCWSTR)str, str.GetLength());
}

BOOL CDC::ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, LPCWSTR lpszString, UINT nCount,
                     LPINT lpDxWidths)
{
    return ::ExtTextOutW(m_hDC, x, y, nOptions, lpRect, lpszString, nCount, lpDxWidths);
}

BOOL CDC::ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, const CString& str, LPINT lpDxWidths)
{
    return ::ExtTextOutW(m_hDC, x, y, nOptions, lpRect, (LPCWSTR)str, str.GetLength(), lpDxWidths);
}

int CDC::DrawText(LPCWSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat)
{
    // DT_MODIFYSTRING writes into the text; never let it write into a caller's
    // constant string.
    return ::DrawTextW(m_hDC, const_cast<LPWSTR>(lpszString), nCount, lpRect, nFormat & ~DT_MODIFYSTRING);
}

int CDC::DrawText(const CString& str, LPRECT lpRect, UINT nFormat)
{
    return DrawText((LPCWSTR)str, str.GetLength(), lpRect, nFormat);
}

int CDC::DrawTextEx(LPWSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat, LPDRAWTEXTPARAMS lpDTParams)
{
    return ::DrawTextExW(m_hDC, lpszString, nCount, lpRect, nFormat, lpDTParams);
}

int CDC::DrawTextEx(const CString& str, LPRECT lpRect, UINT nFormat, LPDRAWTEXTPARAMS lpDTParams)
{
    return ::DrawTextExW(m_hDC, const_cast<LPWSTR>((LPCWSTR)str), str.GetLength(), lpRect,
                         nFormat & ~DT_MODIFYSTRING, lpDTParams);
}

CSize CDC::GetTextExtent(LPCWSTR lpszString, int nCount) const
{
    SIZE size = { 0, 0 };
    if (lpszString && nCount > 0)
        ::GetTextExtentPoint32W(m_hAttribDC, lpszString, nCount, &size);
    return CSize(size.cx, size.cy);
}

CSize CDC::GetTextExtent(const CString& str) const
{
    return GetTextExtent((LPCWSTR)str, str.GetLength());
}

CSize CDC::GetOutputTextExtent(const CString& str) const
{
    SIZE size = { 0, 0 };
    if (!str.IsEmpty())
        ::GetTextExtentPoint32W(m_hDC, (LPCWSTR)str, str.GetLength(), &size);
    return CSize(size.cx, size.cy);
}

BOOL CDC::GetTextMetrics(LPTEXTMETRICW lpMetrics) const
{
    return ::GetTextMetricsW(m_hAttribDC, lpMetrics);
}

int CDC::GetTextFace(CString& rString) const
{
    WCHAR szFace[LF_FACESIZE] = L"";
    int nLen = ::GetTextFaceW(m_hAttribDC, LF_FACESIZE, szFace);
    rString = szFace;
    return nLen;
}

CSize CDC::GetTabbedTextExtent(const CString& str, int nTabPositions, LPINT lpnTabStopPositions) const
{
    DWORD dwExtent = ::GetTabbedTextExtentW(m_hAttribDC, (LPCWSTR)str, str.GetLength(), nTabPositions,
                                            lpnTabStopPositions);
    return CSize(LOWORD(dwExtent), HIWORD(dwExtent));
}
