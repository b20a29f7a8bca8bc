#include "framework/Gdi.h"
#include "framework/Dc.h"
#include "framework/TempObjectMap.h"

namespace {

// Temporary wrappers of this thread, one per handle and wrapper class. A
// plain pointer: thread-local objects with destructors are not dependable
// at thread and process exit with this runtime; the purge frees the store.
struct CTempGdiTraits
{
    static void Bind(CGdiObject& object, HGDIOBJ hObject) { object.Attach(hObject); }
    static void Unbind(CGdiObject& object) { object.Detach(); }
};
typedef CTempObjectMap<CGdiObject, HGDIOBJ, CTempGdiTraits> CTempGdiMap;
thread_local CTempGdiMap* t_pTempGdiObjects = NULL;

template <class T>
T* TempGdiObject(HGDIOBJ hObject)
{
    if (hObject == NULL)
        return NULL;
    return CTempGdiMap::Of(t_pTempGdiObjects).Lookup<T>(hObject);
}

}  // namespace

void AfxPurgeTemporaryGdiWrappers()
{
    delete t_pTempGdiObjects;
    t_pTempGdiObjects = NULL;
}

// CGdiObject

CGdiObject::~CGdiObject()
{
    DeleteObject();
}

CGdiObject* PASCAL CGdiObject::FromHandle(HGDIOBJ hObject)
{
    return TempGdiObject<CGdiObject>(hObject);
}

BOOL CGdiObject::Attach(HGDIOBJ hObject)
{
    if (hObject == NULL)
        return FALSE;
    if (hObject != m_hObject)
        DeleteObject();
    m_hObject = hObject;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ hObject = m_hObject;
    m_hObject = NULL;
    return hObject;
}

BOOL CGdiObject::DeleteObject()
{
    if (m_hObject == NULL)
        return FALSE;
    HGDIOBJ hObject = Detach();
    return ::DeleteObject(hObject);
}

int CGdiObject::GetObject(int nCount, LPVOID pObject) const
{
    return m_hObject ? ::GetObjectW(m_hObject, nCount, pObject) : 0;
}

UINT CGdiObject::GetObjectType() const
{
    return m_hObject ? ::GetObjectType(m_hObject) : 0;
}

BOOL CGdiObject::CreateStockObject(int nIndex)
{
    // Stock objects are never deleted by Win32, so owning one is harmless.
    return Attach(::GetStockObject(nIndex));
}

BOOL CGdiObject::UnrealizeObject()
{
    return m_hObject ? ::UnrealizeObject(m_hObject) : FALSE;
}

// CPen

CPen::CPen(int nPenStyle, int nWidth, COLORREF crColor)
{
    CreatePen(nPenStyle, nWidth, crColor);
}

CPen* PASCAL CPen::FromHandle(HPEN hPen)
{
    return TempGdiObject<CPen>(hPen);
}

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor)
{
    return Attach(::CreatePen(nPenStyle, nWidth, crColor));
}

BOOL CPen::CreatePenIndirect(LPLOGPEN pLogPen)
{
    return Attach(::CreatePenIndirect(pLogPen));
}

// CBrush

CBrush::CBrush(COLORREF crColor)
{
    CreateSolidBrush(crColor);
}

CBrush::CBrush(int nIndex, COLORREF crColor)
{
    CreateHatchBrush(nIndex, crColor);
}

CBrush::CBrush(CBitmap* pBitmap)
{
    CreatePatternBrush(pBitmap);
}

CBrush* PASCAL CBrush::FromHandle(HBRUSH hBrush)
{
    return TempGdiObject<CBrush>(hBrush);
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor)
{
    return Attach(::CreateSolidBrush(crColor));
}

BOOL CBrush::CreateHatchBrush(int nIndex, COLORREF crColor)
{
    return Attach(::CreateHatchBrush(nIndex, crColor));
}

BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap)
{
    if (pBitmap == NULL || pBitmap->m_hObject == NULL)
        return FALSE;
    return Attach(::CreatePatternBrush((HBITMAP)pBitmap->m_hObject));
}

BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* pLogBrush)
{
    return Attach(::CreateBrushIndirect(pLogBrush));
}

BOOL CBrush::CreateSysColorBrush(int nIndex)
{
    // A system colour brush belongs to the system; take a solid copy so
    // that deleting ours is always right.
    return Attach(::CreateSolidBrush(::GetSysColor(nIndex)));
}

// CFont

CFont* PASCAL CFont::FromHandle(HFONT hFont)
{
    return TempGdiObject<CFont>(hFont);
}

BOOL CFont::CreateFontIndirect(const LOGFONTW* pLogFont)
{
    return Attach(::CreateFontIndirectW(pLogFont));
}

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight,
                       BYTE bItalic, BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet,
                       BYTE nOutPrecision, BYTE nClipPrecision, BYTE nQuality,
                       BYTE nPitchAndFamily, LPCWSTR lpszFacename)
{
    return Attach(::CreateFontW(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic,
                                bUnderline, cStrikeOut, nCharSet, nOutPrecision, nClipPrecision,
                                nQuality, nPitchAndFamily, lpszFacename));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCWSTR lpszFaceName, CDC* pDC)
{
    LOGFONTW logFont = {};
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfHeight = nPointSize;
    if (lpszFaceName)
        lstrcpynW(logFont.lfFaceName, lpszFaceName, LF_FACESIZE);
    return CreatePointFontIndirect(&logFont, pDC);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONTW* pLogFont, CDC* pDC)
{
    if (pLogFont == NULL)
        return FALSE;
    HDC hScreenDC = NULL;
    HDC hDC = pDC ? pDC->m_hAttribDC : NULL;
    if (hDC == NULL)
        hDC = hScreenDC = ::GetDC(NULL);

    // lfHeight holds tenths of a point; turn it into logical units of hDC.
    LOGFONTW logFont = *pLogFont;
    POINT pt = { 0, ::MulDiv(::GetDeviceCaps(hDC, LOGPIXELSY), logFont.lfHeight, 720) };
    POINT ptOrg = { 0, 0 };
    ::DPtoLP(hDC, &pt, 1);
    ::DPtoLP(hDC, &ptOrg, 1);
    logFont.lfHeight = -abs(pt.y - ptOrg.y);

    if (hScreenDC)
        ::ReleaseDC(NULL, hScreenDC);
    return CreateFontIndirect(&logFont);
}

// CBitmap

CBitmap* PASCAL CBitmap::FromHandle(HBITMAP hBitmap)
{
    return TempGdiObject<CBitmap>(hBitmap);
}

BOOL CBitmap::LoadBitmap(LPCWSTR lpszResourceName)
{
    return Attach(::LoadBitmapW(AfxGetResourceHandle(), lpszResourceName));
}

BOOL CBitmap::LoadOEMBitmap(UINT nIDBitmap)
{
    return Attach(::LoadBitmapW(NULL, MAKEINTRESOURCEW(nIDBitmap)));
}

BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits)
{
    return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
}

BOOL CBitmap::CreateBitmapIndirect(LPBITMAP lpBitmap)
{
    return Attach(::CreateBitmapIndirect(lpBitmap));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight)
{
    if (pDC && pDC->m_hDC)
        return Attach(::CreateCompatibleBitmap(pDC->m_hDC, nWidth, nHeight));
    HDC hScreenDC = ::GetDC(NULL);
    BOOL bOk = Attach(::CreateCompatibleBitmap(hScreenDC, nWidth, nHeight));
    ::ReleaseDC(NULL, hScreenDC);
    return bOk;
}

CSize CBitmap::GetBitmapDimension() const
{
    SIZE size = { 0, 0 };
    if (m_hObject)
        ::GetBitmapDimensionEx((HBITMAP)m_hObject, &size);
    return CSize(size.cx, size.cy);
}

DWORD CBitmap::GetBitmapBits(DWORD dwCount, LPVOID lpBits) const
{
    return m_hObject ? ::GetBitmapBits((HBITMAP)m_hObject, dwCount, lpBits) : 0;
}

DWORD CBitmap::SetBitmapBits(DWORD dwCount, const void* lpBits)
{
    return m_hObject ? ::SetBitmapBits((HBITMAP)m_hObject, dwCount, lpBits) : 0;
}

// CRgn

CRgn* PASCAL CRgn::FromHandle(HRGN hRgn)
{
    return TempGdiObject<CRgn>(hRgn);
}

BOOL CRgn::CreateRectRgn(int x1, int y1, int x2, int y2)
{
    return Attach(::CreateRectRgn(x1, y1, x2, y2));
}

BOOL CRgn::CreateRectRgnIndirect(LPCRECT lpRect)
{
    return Attach(::CreateRectRgnIndirect(lpRect));
}

BOOL CRgn::CreateEllipticRgn(int x1, int y1, int x2, int y2)
{
    return Attach(::CreateEllipticRgn(x1, y1, x2, y2));
}

BOOL CRgn::CreateEllipticRgnIndirect(LPCRECT lpRect)
{
    return Attach(::CreateEllipticRgnIndirect(lpRect));
}

BOOL CRgn::CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3)
{
    return Attach(::CreateRoundRectRgn(x1, y1, x2, y2, x3, y3));
}

BOOL CRgn::CreatePolygonRgn(const POINT* lpPoints, int nCount, int nMode)
{
    return Attach(::CreatePolygonRgn(lpPoints, nCount, nMode));
}

BOOL CRgn::CreatePolyPolygonRgn(const POINT* lpPoints, const INT* lpPolyCounts, int nCount, int nPolyFillMode)
{
    return Attach(::CreatePolyPolygonRgn(lpPoints, lpPolyCounts, nCount, nPolyFillMode));
}

BOOL CRgn::CreateFromPath(CDC* pDC)
{
    return pDC ? Attach(::PathToRegion(pDC->m_hDC)) : FALSE;
}

int CRgn::CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode)
{
    if (m_hObject == NULL || pRgn1 == NULL)
        return ERROR;
    HRGN hRgn2 = pRgn2 ? (HRGN)pRgn2->m_hObject : NULL;
    return ::CombineRgn((HRGN)m_hObject, (HRGN)pRgn1->m_hObject, hRgn2, nCombineMode);
}

int CRgn::CopyRgn(const CRgn* pRgnSrc)
{
    if (m_hObject == NULL || pRgnSrc == NULL)
        return ERROR;
    return ::CombineRgn((HRGN)m_hObject, (HRGN)pRgnSrc->m_hObject, NULL, RGN_COPY);
}

BOOL CRgn::EqualRgn(const CRgn* pRgn) const
{
    if (m_hObject == NULL || pRgn == NULL)
        return FALSE;
    return ::EqualRgn((HRGN)m_hObject, (HRGN)pRgn->m_hObject);
}

int CRgn::OffsetRgn(int x, int y)
{
    return m_hObject ? ::OffsetRgn((HRGN)m_hObject, x, y) : ERROR;
}

int CRgn::GetRgnBox(LPRECT lpRect) const
{
    return m_hObject ? ::GetRgnBox((HRGN)m_hObject, lpRect) : ERROR;
}

BOOL CRgn::PtInRegion(int x, int y) const
{
    return m_hObject ? ::PtInRegion((HRGN)m_hObject, x, y) : FALSE;
}

BOOL CRgn::RectInRegion(LPCRECT lpRect) const
{
    return m_hObject ? ::RectInRegion((HRGN)m_hObject, lpRect) : FALSE;
}

void CRgn::SetRectRgn(int x1, int y1, int x2, int y2)
{
    if (m_hObject)
        ::SetRectRgn((HRGN)m_hObject, x1, y1, x2, y2);
}

void CRgn::SetRectRgn(LPCRECT lpRect)
{
    if (lpRect)
        SetRectRgn(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
}

// CPalette

CPalette* PASCAL CPalette::FromHandle(HPALETTE hPalette)
{
    return TempGdiObject<CPalette>(hPalette);
}

BOOL CPalette::CreatePalette(LPLOGPALETTE lpLogPalette)
{
    return Attach(::CreatePalette(lpLogPalette));
}

BOOL CPalette::CreateHalftonePalette(CDC* pDC)
{
    if (pDC && pDC->m_hDC)
        return Attach(::CreateHalftonePalette(pDC->m_hDC));
    HDC hScreenDC = ::GetDC(NULL);
    BOOL bOk = Attach(::CreateHalftonePalette(hScreenDC));
    ::ReleaseDC(NULL, hScreenDC);
    return bOk;
}

int CPalette::GetEntryCount() const
{
    WORD nEntries = 0;
    return GetObject(sizeof(WORD), &nEntries) ? nEntries : 0;
}

UINT CPalette::GetPaletteEntries(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors) const
{
    return m_hObject ? ::GetPaletteEntries((HPALETTE)m_hObject, nStartIndex, nNumEntries, lpPaletteColors) : 0;
}
