#include "controls/skin/ButtonST.h"

#include "framework/Menu.h"

#include <mmsystem.h>
#include <vector>

namespace {

// The tick of a checked box, three strokes thick, inside the 9 x 9 area.
void DrawTick(CDC* pDC, const CRect& rc, COLORREF crMark)
{
    CPen pen(PS_SOLID, 1, crMark);
    CPen* pOldPen = pDC->SelectObject(&pen);
    int h = rc.Height() / 2 - 2;
    for (int k = 0; k < 3; k++)
    {
        pDC->MoveTo(rc.left + 1, rc.top + 3 - k + h);
        pDC->LineTo(rc.left + 3, rc.bottom - 2 - k);
        pDC->LineTo(rc.right - 1, rc.top + 2 - k);
    }
    pDC->SelectObject(pOldPen);
}

// Selects a bitmap into a DC for the life of the scope.
class SelectedBitmap
{
public:
    SelectedBitmap(HDC hDC, HBITMAP hBitmap) : m_hDC(hDC), m_hOld(::SelectObject(hDC, hBitmap)) {}
    ~SelectedBitmap() { ::SelectObject(m_hDC, m_hOld); }

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};

// A memory DC deleted with the scope.
class ScopedMemDC
{
public:
    explicit ScopedMemDC(HDC hRef = NULL) : m_hDC(::CreateCompatibleDC(hRef)) {}
    ~ScopedMemDC()
    {
        if (m_hDC != NULL)
            ::DeleteDC(m_hDC);
    }
    operator HDC() const { return m_hDC; }

private:
    HDC m_hDC;
};

} // namespace

BEGIN_MESSAGE_MAP(CButtonST, CButton)
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSELEAVE()
    ON_MESSAGE(WM_MOUSEHOVER, OnMouseHover)
    ON_WM_SETCURSOR()
    ON_WM_KILLFOCUS()
    ON_WM_ACTIVATE()
    ON_WM_ENABLE()
    ON_WM_CANCELMODE()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_ERASEBKGND()
    ON_WM_GETDLGCODE()
    ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
    ON_WM_CTLCOLOR_REFLECT()
    ON_MESSAGE(BM_SETSTYLE, OnSetStyle)
    ON_MESSAGE(BM_SETCHECK, OnSetCheck)
    ON_MESSAGE(BM_GETCHECK, OnGetCheck)
END_MESSAGE_MAP()

CButtonST::CButtonST()
{
    m_crCheckBoxFrame = GetSysColor(COLOR_HIGHLIGHT);
    m_crCheckMark = RGB(0, 170, 170);
    m_bShowDisabledBitmap = TRUE;
    m_ptImageOrg.x = 3;
    m_ptImageOrg.y = 3;
    m_ptPressedOffset.x = 1;
    m_ptPressedOffset.y = 1;
    m_bIsFlat = TRUE;
    m_bMouseOnButton = FALSE;
    m_bDrawTransparent = FALSE;
    m_bIsPressed = FALSE;
    m_bIsFocused = FALSE;
    m_bIsDisabled = FALSE;
    m_bIsDefault = FALSE;
    m_bIsCheckBox = FALSE;
    m_byAlign = ST_ALIGN_HORIZ;
    m_bDrawBorder = TRUE;
    m_bDrawFlatFocus = FALSE;
    m_hParentWndMenu = NULL;
    m_bMenuDisplayed = FALSE;
    m_hMenu = NULL;
    m_hCursor = NULL;
    m_hOldBk = NULL;
    m_bAlwaysTrack = TRUE;
    m_nCheck = 0;
    m_nTypeStyle = 0x1F;
    m_dwToolTipStyle = 0;
    m_bToolTipWanted = FALSE;
    m_bToolTipActive = FALSE;
    m_szURL[0] = L'\0';
    ZeroMemory(m_csIcons, sizeof(m_csIcons));
    ZeroMemory(m_csBitmaps, sizeof(m_csBitmaps));
    ZeroMemory(&m_csCallbacks, sizeof(m_csCallbacks));
    ZeroMemory(m_csSounds, sizeof(m_csSounds));
    SetDefaultColors(FALSE);
}

CButtonST::~CButtonST()
{
    ReleaseBackground();
    FreeResources();
    if (m_hCursor != NULL)
        ::DestroyCursor(m_hCursor);
    if (m_hMenu != NULL)
        ::DestroyMenu(m_hMenu);
}

void CButtonST::PreSubclassWindow()
{
    UINT nStyle = (UINT)GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    m_nTypeStyle = nStyle & 0x1F;
    if (nStyle & BS_CHECKBOX)
        m_bIsCheckBox = TRUE;
    if (m_nTypeStyle == BS_DEFPUSHBUTTON)
    {
        m_bIsDefault = TRUE;
        m_nTypeStyle = BS_PUSHBUTTON;
    }
    CButton::PreSubclassWindow();
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW, SWP_FRAMECHANGED);
}

void CButtonST::Repaint(BOOL bRepaint)
{
    if (bRepaint && m_hWnd != NULL)
        Invalidate();
}

// ---- Images ------------------------------------------------------------------

void CButtonST::FreeResources(BOOL bCheckForNULL)
{
    if (bCheckForNULL)
    {
        // The disabled icon may be the same handle as the normal one.
        if (m_csIcons[0].hIcon != NULL)
            ::DestroyIcon(m_csIcons[0].hIcon);
        if (m_csIcons[1].hIcon != NULL && m_csIcons[1].hIcon != m_csIcons[0].hIcon)
            ::DestroyIcon(m_csIcons[1].hIcon);
        for (BitmapRecord& rec : m_csBitmaps)
        {
            if (rec.hBitmap != NULL)
                ::DeleteObject(rec.hBitmap);
            if (rec.hMask != NULL)
                ::DeleteObject(rec.hMask);
        }
    }
    ZeroMemory(m_csIcons, sizeof(m_csIcons));
    ZeroMemory(m_csBitmaps, sizeof(m_csBitmaps));
}

HBITMAP CButtonST::CreateBitmapMask(HBITMAP hSourceBitmap, DWORD dwWidth, DWORD dwHeight, COLORREF crTransColor)
{
    HBITMAP hMask = ::CreateBitmap((int)dwWidth, (int)dwHeight, 1, 1, NULL);
    if (hMask == NULL)
        return NULL;
    ScopedMemDC dcSrc, dcDest;
    if ((HDC)dcSrc == NULL || (HDC)dcDest == NULL)
    {
        ::DeleteObject(hMask);
        return NULL;
    }
    SelectedBitmap selSrc(dcSrc, hSourceBitmap);
    SelectedBitmap selDest(dcDest, hMask);
    // White where the image has the key colour...
    ::SetBkColor(dcSrc, crTransColor);
    ::BitBlt(dcDest, 0, 0, (int)dwWidth, (int)dwHeight, dcSrc, 0, 0, SRCCOPY);
    // ...and the key pixels of the image turned black, ready for SRCPAINT.
    ::SetTextColor(dcSrc, RGB(255, 255, 255));
    ::SetBkColor(dcSrc, RGB(0, 0, 0));
    ::BitBlt(dcSrc, 0, 0, (int)dwWidth, (int)dwHeight, dcDest, 0, 0, SRCAND);
    return hMask;
}

HBITMAP CButtonST::CreateDerivedBitmap(HBITMAP hSource, COLORREF crTransColor, BOOL bGray, BOOL bKeepBlack)
{
    BITMAP bm;
    if (hSource == NULL || ::GetObjectW(hSource, sizeof(bm), &bm) == 0)
        return NULL;
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = bm.bmWidth;
    bmi.bmiHeader.biHeight = -bm.bmHeight;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels((size_t)bm.bmWidth * bm.bmHeight);
    HDC hScreen = ::GetDC(NULL);
    HBITMAP hResult = NULL;
    if (::GetDIBits(hScreen, hSource, 0, (UINT)bm.bmHeight, pixels.data(), &bmi, DIB_RGB_COLORS) != 0)
    {
        COLORREF crKey = RGB(GetBValue(crTransColor), GetGValue(crTransColor), GetRValue(crTransColor));
        for (DWORD& px : pixels)
        {
            DWORD rgb = px & 0xFFFFFF;
            if (bKeepBlack ? rgb == 0 : rgb == crKey)
                continue;
            int b = px & 0xFF, g = (px >> 8) & 0xFF, r = (px >> 16) & 0xFF;
            if (bGray)
            {
                int y = (int)(0.299 * r + 0.587 * g + 0.114 * b);
                r = g = b = y;
            }
            else
            {
                r = (int)(r - 0.25 * r);
                g = (int)(g - 0.25 * g);
                b = (int)(b - 0.25 * b);
            }
            px = (DWORD)((r << 16) | (g << 8) | b);
        }
        hResult = ::CreateCompatibleBitmap(hScreen, bm.bmWidth, bm.bmHeight);
        if (hResult != NULL &&
            ::SetDIBits(hScreen, hResult, 0, (UINT)bm.bmHeight, pixels.data(), &bmi, DIB_RGB_COLORS) == 0)
        {
            ::DeleteObject(hResult);
            hResult = NULL;
        }
    }
    ::ReleaseDC(NULL, hScreen);
    return hResult;
}

HICON CButtonST::CreateDerivedIcon(HICON hSource, BOOL bGray)
{
    ICONINFO ii;
    if (hSource == NULL || !::GetIconInfo(hSource, &ii))
        return NULL;
    HICON hResult = NULL;
    HBITMAP hColor = ii.hbmColor != NULL ? CreateDerivedBitmap(ii.hbmColor, 0, bGray, TRUE) : NULL;
    if (hColor != NULL)
    {
        ICONINFO iiNew = ii;
        iiNew.fIcon = TRUE;
        iiNew.hbmColor = hColor;
        hResult = ::CreateIconIndirect(&iiNew);
        ::DeleteObject(hColor);
    }
    if (ii.hbmColor != NULL)
        ::DeleteObject(ii.hbmColor);
    if (ii.hbmMask != NULL)
        ::DeleteObject(ii.hbmMask);
    return hResult;
}

DWORD CButtonST::SetBitmaps(UINT nBitmapIn, COLORREF crTransColorIn, UINT nBitmapOut, COLORREF crTransColorOut)
{
    HINSTANCE hInst = AfxGetResourceHandle();
    HBITMAP hIn = NULL;
    if (nBitmapIn != 0)
    {
        hIn = (HBITMAP)::LoadImageW(hInst, MAKEINTRESOURCEW(nBitmapIn), IMAGE_BITMAP, 0, 0, 0);
        if (hIn == NULL)
        {
            FreeResources();
            return BTNST_INVALIDRESOURCE;
        }
    }
    HBITMAP hOut = NULL;
    if (nBitmapOut == BTNST_AUTO_GRAY || nBitmapOut == BTNST_AUTO_DARKER)
        hOut = (HBITMAP)(INT_PTR)(int)nBitmapOut;
    else if (nBitmapOut != 0)
    {
        hOut = (HBITMAP)::LoadImageW(hInst, MAKEINTRESOURCEW(nBitmapOut), IMAGE_BITMAP, 0, 0, 0);
        if (hOut == NULL)
        {
            if (hIn != NULL)
                ::DeleteObject(hIn);
            FreeResources();
            return BTNST_INVALIDRESOURCE;
        }
    }
    return SetBitmapHandles(hIn, crTransColorIn, hOut, crTransColorOut);
}

DWORD CButtonST::SetBitmapHandles(HBITMAP hBitmapIn, COLORREF crTransColorIn, HBITMAP hBitmapOut,
                                  COLORREF crTransColorOut)
{
    bool bAutoGray = hBitmapOut == (HBITMAP)(INT_PTR)(int)BTNST_AUTO_GRAY;
    bool bAutoDarker = hBitmapOut == (HBITMAP)(INT_PTR)(int)BTNST_AUTO_DARKER;
    if (bAutoGray || bAutoDarker)
        hBitmapOut = NULL;
    FreeResources();

    if (hBitmapIn != NULL)
    {
        BITMAP bm;
        m_csBitmaps[0].hBitmap = hBitmapIn;
        m_csBitmaps[0].crTransparent = crTransColorIn;
        if (::GetObjectW(hBitmapIn, sizeof(bm), &bm) == 0)
        {
            if (hBitmapOut != NULL)
                ::DeleteObject(hBitmapOut);
            FreeResources();
            return BTNST_INVALIDRESOURCE;
        }
        m_csBitmaps[0].dwWidth = (DWORD)bm.bmWidth;
        m_csBitmaps[0].dwHeight = (DWORD)bm.bmHeight;

        if (bAutoGray || bAutoDarker)
        {
            hBitmapOut = CreateDerivedBitmap(hBitmapIn, crTransColorIn, bAutoGray);
            crTransColorOut = crTransColorIn;
        }

        // Derive before masking: the mask step blackens the key pixels.
        m_csBitmaps[0].hMask = CreateBitmapMask(hBitmapIn, m_csBitmaps[0].dwWidth, m_csBitmaps[0].dwHeight,
                                                crTransColorIn);
        if (m_csBitmaps[0].hMask == NULL)
        {
            if (hBitmapOut != NULL)
                ::DeleteObject(hBitmapOut);
            FreeResources();
            return BTNST_FAILEDMASK;
        }

        if (hBitmapOut != NULL)
        {
            m_csBitmaps[1].hBitmap = hBitmapOut;
            m_csBitmaps[1].crTransparent = crTransColorOut;
            if (::GetObjectW(hBitmapOut, sizeof(bm), &bm) == 0)
            {
                FreeResources();
                return BTNST_INVALIDRESOURCE;
            }
            m_csBitmaps[1].dwWidth = (DWORD)bm.bmWidth;
            m_csBitmaps[1].dwHeight = (DWORD)bm.bmHeight;
            m_csBitmaps[1].hMask = CreateBitmapMask(hBitmapOut, m_csBitmaps[1].dwWidth, m_csBitmaps[1].dwHeight,
                                                    crTransColorOut);
            if (m_csBitmaps[1].hMask == NULL)
            {
                FreeResources();
                return BTNST_FAILEDMASK;
            }
        }
    }
    else if (hBitmapOut != NULL)
    {
        ::DeleteObject(hBitmapOut);
    }
    Repaint(TRUE);
    return BTNST_OK;
}

DWORD CButtonST::SetIcons(UINT nIconIn, int cxIn, int cyIn, UINT nIconOut, int cxOut, int cyOut)
{
    HINSTANCE hInst = AfxGetResourceHandle();
    HICON hIn = NULL;
    if (nIconIn != 0)
    {
        hIn = (HICON)::LoadImageW(hInst, MAKEINTRESOURCEW(nIconIn), IMAGE_ICON, cxIn, cyIn, 0);
        if (hIn == NULL)
        {
            FreeResources();
            return BTNST_INVALIDRESOURCE;
        }
    }
    HICON hOut = NULL;
    if (nIconOut == BTNST_AUTO_GRAY || nIconOut == BTNST_AUTO_DARKER)
        hOut = (HICON)(INT_PTR)(int)nIconOut;
    else if (nIconOut != 0)
        hOut = (HICON)::LoadImageW(hInst, MAKEINTRESOURCEW(nIconOut), IMAGE_ICON, cxOut, cyOut, 0);
    return SetIconHandles(hIn, hOut);
}

DWORD CButtonST::SetIcons(UINT nIconIn, UINT nIconOut)
{
    return SetIcons(nIconIn, 0, 0, nIconOut, 0, 0);
}

DWORD CButtonST::SetIconHandles(HICON hIconIn, HICON hIconOut)
{
    bool bAutoGray = hIconOut == (HICON)(INT_PTR)(int)BTNST_AUTO_GRAY;
    bool bAutoDarker = hIconOut == (HICON)(INT_PTR)(int)BTNST_AUTO_DARKER;
    if (bAutoGray || bAutoDarker)
        hIconOut = NULL;
    FreeResources();

    if (hIconIn != NULL)
    {
        if (bAutoGray || bAutoDarker)
            hIconOut = CreateDerivedIcon(hIconIn, bAutoGray);
        HICON ahIcons[2] = { hIconIn, hIconOut };
        for (int i = 0; i < 2; i++)
        {
            if (ahIcons[i] == NULL)
                continue;
            m_csIcons[i].hIcon = ahIcons[i];
            ICONINFO ii;
            if (!::GetIconInfo(ahIcons[i], &ii))
            {
                if (i == 0 && hIconOut != NULL)
                    ::DestroyIcon(hIconOut);
                FreeResources();
                return BTNST_INVALIDRESOURCE;
            }
            m_csIcons[i].dwWidth = ii.xHotspot * 2;
            m_csIcons[i].dwHeight = ii.yHotspot * 2;
            if (ii.hbmMask != NULL)
                ::DeleteObject(ii.hbmMask);
            if (ii.hbmColor != NULL)
                ::DeleteObject(ii.hbmColor);
        }
    }
    else if (hIconOut != NULL)
    {
        ::DestroyIcon(hIconOut);
    }
    Repaint(TRUE);
    return BTNST_OK;
}

DWORD CButtonST::SizeToContent()
{
    if (m_csIcons[0].hIcon != NULL)
    {
        m_ptImageOrg.x = m_ptImageOrg.y = 0;
        SetWindowPos(NULL, -1, -1, (int)m_csIcons[0].dwWidth, (int)m_csIcons[0].dwHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
    }
    else if (m_csBitmaps[0].hBitmap != NULL)
    {
        m_ptImageOrg.x = m_ptImageOrg.y = 0;
        SetWindowPos(NULL, -1, -1, (int)m_csBitmaps[0].dwWidth, (int)m_csBitmaps[0].dwHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
    }
    return BTNST_OK;
}

// ---- Check state and look ------------------------------------------------------

DWORD CButtonST::SetCheck(int nCheck, BOOL bRepaint)
{
    if (m_bIsCheckBox)
    {
        m_nCheck = nCheck != 0 ? 1 : 0;
        Repaint(bRepaint);
    }
    return BTNST_OK;
}

int CButtonST::GetCheck() const
{
    return m_bIsCheckBox ? m_nCheck : -1;
}

DWORD CButtonST::DrawBorder(BOOL bDrawBorder, BOOL bRepaint)
{
    m_bDrawBorder = bDrawBorder;
    Repaint(bRepaint);
    return BTNST_OK;
}

DWORD CButtonST::DrawTransparent(BOOL bRepaint)
{
    m_bDrawTransparent = TRUE;
    ReleaseBackground();
    Repaint(bRepaint);
    return BTNST_OK;
}

void CButtonST::ReleaseBackground()
{
    if (m_dcBk.m_hDC != NULL && m_hOldBk != NULL)
        ::SelectObject(m_dcBk.m_hDC, m_hOldBk);
    m_hOldBk = NULL;
    m_bmpBk.DeleteObject();
    m_dcBk.DeleteDC();
}

DWORD CButtonST::SetBk(CDC* pDC)
{
    if (!m_bDrawTransparent || pDC == NULL)
        return BTNST_BADPARAM;
    ReleaseBackground();
    CRect rect, rectWindow;
    GetClientRect(&rect);
    GetWindowRect(&rectWindow);
    GetParent()->ScreenToClient(&rectWindow);
    if (!m_dcBk.CreateCompatibleDC(pDC) || !m_bmpBk.CreateCompatibleBitmap(pDC, rect.Width(), rect.Height()))
    {
        ReleaseBackground();
        return BTNST_BADPARAM;
    }
    m_hOldBk = ::SelectObject(m_dcBk.m_hDC, m_bmpBk.m_hObject);
    m_dcBk.BitBlt(0, 0, rect.Width(), rect.Height(), pDC, rectWindow.left, rectWindow.top, SRCCOPY);
    return BTNST_OK;
}

void CButtonST::PaintBk(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    if (m_dcBk.m_hDC == NULL)
    {
        CWnd* pParent = GetParent();
        if (pParent == NULL)
            return;
        CClientDC dcParent(pParent);
        SetBk(&dcParent);
    }
    if (m_dcBk.m_hDC != NULL)
        pDC->BitBlt(0, 0, rect.Width(), rect.Height(), &m_dcBk, 0, 0, SRCCOPY);
}

DWORD CButtonST::SetFlat(BOOL bFlat, BOOL bRepaint)
{
    m_bIsFlat = bFlat;
    Repaint(bRepaint);
    return BTNST_OK;
}

DWORD CButtonST::SetAlign(BYTE byAlign, BOOL bRepaint)
{
    if (byAlign > ST_ALIGN_OVERLAP)
        return BTNST_INVALIDALIGN;
    m_byAlign = byAlign;
    Repaint(bRepaint);
    return BTNST_OK;
}

DWORD CButtonST::SetPressedStyle(BYTE byStyle, BOOL bRepaint)
{
    if (byStyle == 0)
        m_ptPressedOffset = { 1, 1 };
    else if (byStyle == 1)
        m_ptPressedOffset = { 0, 2 };
    else
        return BTNST_INVALIDPRESSEDSTYLE;
    Repaint(bRepaint);
    return BTNST_OK;
}

DWORD CButtonST::SetDefaultColors(BOOL bRepaint)
{
    m_crColors[BTNST_COLOR_BK_IN] = GetSysColor(COLOR_BTNFACE);
    m_crColors[BTNST_COLOR_FG_IN] = GetSysColor(COLOR_BTNTEXT);
    m_crColors[BTNST_COLOR_BK_OUT] = GetSysColor(COLOR_BTNFACE);
    m_crColors[BTNST_COLOR_FG_OUT] = GetSysColor(COLOR_BTNTEXT);
    m_crColors[BTNST_COLOR_BK_FOCUS] = GetSysColor(COLOR_BTNFACE);
    m_crColors[BTNST_COLOR_FG_FOCUS] = GetSysColor(COLOR_BTNTEXT);
    Repaint(bRepaint);
    return BTNST_OK;
}

DWORD CButtonST::SetColor(BYTE byColorIndex, COLORREF crColor, BOOL bRepaint)
{
    if (byColorIndex >= BTNST_MAX_COLORS)
        return BTNST_INVALIDINDEX;
    m_crColors[byColorIndex] = crColor;
    Repaint(bRepaint);
    return BTNST_OK;
}

DWORD CButtonST::GetColor(BYTE byColorIndex, COLORREF* pcrColor)
{
    if (byColorIndex >= BTNST_MAX_COLORS)
        return BTNST_INVALIDINDEX;
    if (pcrColor != NULL)
        *pcrColor = m_crColors[byColorIndex];
    return BTNST_OK;
}

DWORD CButtonST::OffsetColor(BYTE byColorIndex, short shOffset, BOOL bRepaint)
{
    if (byColorIndex >= BTNST_MAX_COLORS)
        return BTNST_INVALIDINDEX;
    if (shOffset < -255 || shOffset > 255)
        return BTNST_BADPARAM;
    COLORREF cr = m_crColors[byColorIndex];
    int anColor[3] = { GetRValue(cr), GetGValue(cr), GetBValue(cr) };
    // The smallest shift that keeps every component inside 0..255.
    int nOffset = shOffset;
    for (int c : anColor)
    {
        if (shOffset > 0 && c + nOffset > 255)
            nOffset = 255 - c;
        else if (shOffset < 0 && c + nOffset < 0)
            nOffset = -c;
    }
    m_crColors[byColorIndex] = RGB(anColor[0] + nOffset, anColor[1] + nOffset, anColor[2] + nOffset);
    Repaint(bRepaint);
    return BTNST_OK;
}

DWORD CButtonST::DrawFlatFocus(BOOL bDrawFlatFocus, BOOL bRepaint)
{
    m_bDrawFlatFocus = bDrawFlatFocus;
    Repaint(bRepaint);
    return BTNST_OK;
}

DWORD CButtonST::SetAlwaysTrack(BOOL bAlwaysTrack)
{
    m_bAlwaysTrack = bAlwaysTrack;
    return BTNST_OK;
}

// ---- Tooltip ---------------------------------------------------------------------

void CButtonST::EnsureToolTip()
{
    if (!m_bToolTipWanted || m_ToolTip.m_hWnd != NULL || m_hWnd == NULL)
        return;
    if (!m_ToolTip.Create(this, m_dwToolTipStyle))
        return;
    m_ToolTip.SetMaxTipWidth(400);
    CRect rectBtn;
    GetClientRect(&rectBtn);
    m_ToolTip.AddTool(this, m_strToolTip, &rectBtn, 1);
    m_ToolTip.Activate(m_bToolTipActive);
}

CToolTipCtrl& CButtonST::GetToolTip()
{
    EnsureToolTip();
    return m_ToolTip;
}

void CButtonST::SetTooltipText(LPCTSTR lpszText, BOOL bActivate)
{
    if (lpszText == NULL)
        return;
    m_strToolTip = lpszText;
    m_bToolTipWanted = TRUE;
    m_bToolTipActive = bActivate;
    // Once made, the tooltip carries its one tool.
    if (m_ToolTip.m_hWnd == NULL)
        return;
    m_ToolTip.UpdateTipText(lpszText, this, 1);
    m_ToolTip.Activate(bActivate);
}

void CButtonST::SetTooltipText(UINT nText, BOOL bActivate)
{
    CString strText;
    if (!strText.LoadString(nText) || strText.IsEmpty())
        return;
    SetTooltipText((LPCTSTR)strText, bActivate);
}

void CButtonST::ActivateTooltip(BOOL bActivate)
{
    m_bToolTipActive = bActivate;
    if (m_ToolTip.m_hWnd != NULL)
        m_ToolTip.Activate(bActivate);
}

DWORD CButtonST::EnableBalloonTooltip()
{
    m_dwToolTipStyle |= TTS_BALLOON;
    return BTNST_OK;
}

// ---- Cursor, URL, menu, sounds -----------------------------------------------------

DWORD CButtonST::SetBtnCursor(UINT nCursorId, BOOL bRepaint)
{
    if (m_hCursor != NULL)
        ::DestroyCursor(m_hCursor);
    m_hCursor = NULL;
    if (nCursorId != 0)
    {
        m_hCursor = (HCURSOR)::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nCursorId), IMAGE_CURSOR, 0, 0, 0);
        Repaint(bRepaint);
        if (m_hCursor == NULL)
            return BTNST_INVALIDRESOURCE;
    }
    return BTNST_OK;
}

DWORD CButtonST::SetURL(LPCTSTR lpszURL)
{
    if (lpszURL == NULL)
        m_szURL[0] = L'\0';
    else
        lstrcpynW(m_szURL, lpszURL, MAX_PATH);
    return BTNST_OK;
}

DWORD CButtonST::SetButtonMenu(UINT nMenu, HWND hParentWnd, BOOL bRepaint)
{
    if (m_hMenu != NULL)
        ::DestroyMenu(m_hMenu);
    m_hMenu = NULL;
    m_hParentWndMenu = NULL;
    m_bMenuDisplayed = FALSE;
    if (nMenu != 0)
    {
        m_hMenu = ::LoadMenuW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nMenu));
        if (m_hMenu == NULL)
        {
            Repaint(bRepaint);
            return BTNST_INVALIDRESOURCE;
        }
        m_hParentWndMenu = hParentWnd;
    }
    Repaint(bRepaint);
    return BTNST_OK;
}

DWORD CButtonST::SetMenuCallback(HWND hWnd, UINT nMessage, LPARAM lParam)
{
    m_csCallbacks.hWnd = hWnd;
    m_csCallbacks.nMessage = nMessage;
    m_csCallbacks.lParam = lParam;
    return BTNST_OK;
}

DWORD CButtonST::SetSound(LPCTSTR lpszSound, HMODULE hModule, BOOL bPlayOnClick, BOOL bAsync)
{
    SoundRecord& rec = m_csSounds[bPlayOnClick ? 1 : 0];
    if (lpszSound == NULL)
    {
        ZeroMemory(&rec, sizeof(rec));
        return BTNST_OK;
    }
    if (hModule != NULL)
    {
        rec.lpszSound = lpszSound;
        rec.dwFlags = SND_NODEFAULT | SND_NOWAIT | SND_RESOURCE;
    }
    else
    {
        lstrcpynW(rec.szSound, lpszSound, MAX_PATH);
        rec.lpszSound = rec.szSound;
        rec.dwFlags = SND_NODEFAULT | SND_NOWAIT | SND_FILENAME;
    }
    rec.hModule = hModule;
    if (bAsync)
        rec.dwFlags |= SND_ASYNC;
    return BTNST_OK;
}

// ---- Messages ----------------------------------------------------------------------

BOOL CButtonST::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_MOUSEMOVE)
        EnsureToolTip();
    if (m_ToolTip.m_hWnd != NULL)
        m_ToolTip.RelayEvent(pMsg);
    if (pMsg->message == WM_LBUTTONDBLCLK)
        pMsg->message = WM_LBUTTONDOWN;
    return CButton::PreTranslateMessage(pMsg);
}

void CButtonST::CancelHover()
{
    if (m_bIsFlat && m_bMouseOnButton)
    {
        m_bMouseOnButton = FALSE;
        Invalidate();
    }
}

void CButtonST::OnMouseMove(UINT nFlags, CPoint point)
{
    Default();
    if ((nFlags & MK_LBUTTON) && !m_bMouseOnButton)
        return;
    if (!m_bIsFlat)
        return;
    POINT ptScreen = point;
    ClientToScreen(&ptScreen);
    HWND hWndUnder = ::WindowFromPoint(ptScreen);
    if (hWndUnder == m_hWnd && (m_bAlwaysTrack || ::GetActiveWindow() != NULL))
    {
        if (!m_bMouseOnButton)
        {
            m_bMouseOnButton = TRUE;
            Invalidate();
            if (m_csSounds[0].lpszSound != NULL)
                ::PlaySoundW(m_csSounds[0].lpszSound, m_csSounds[0].hModule, m_csSounds[0].dwFlags);
            TRACKMOUSEEVENT tme = { sizeof(tme), TME_LEAVE, m_hWnd, 0 };
            ::TrackMouseEvent(&tme);
        }
    }
    else
    {
        CancelHover();
    }
}

void CButtonST::OnMouseLeave()
{
    CancelHover();
}

LRESULT CButtonST::OnMouseHover(WPARAM, LPARAM)
{
    Invalidate();
    if (m_ToolTip.m_hWnd != NULL && m_ToolTip.GetToolCount() > 0)
    {
        CString strText;
        m_ToolTip.GetText(strText, this, 1);
        m_ToolTip.UpdateTipText((LPCTSTR)strText, this, 1);
    }
    return 0;
}

BOOL CButtonST::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (m_hCursor != NULL)
    {
        ::SetCursor(m_hCursor);
        return TRUE;
    }
    return (BOOL)Default();
}

void CButtonST::OnKillFocus(CWnd*)
{
    Default();
    CancelHover();
}

void CButtonST::OnActivate(UINT nState, CWnd*, BOOL)
{
    Default();
    if (nState == WA_INACTIVE)
        CancelHover();
}

void CButtonST::OnEnable(BOOL bEnable)
{
    Default();
    if (!bEnable)
    {
        // The system has already taken the focus from a disabled button;
        // it goes on to the next tab item, but is never taken from another
        // window that holds it.
        CWnd* pParent = GetParent();
        HWND hFocus = ::GetFocus();
        if (pParent != NULL && (hFocus == NULL || hFocus == m_hWnd))
        {
            CWnd* pNext = pParent->GetNextDlgTabItem(this);
            if (pNext != NULL && pNext->m_hWnd != m_hWnd)
                pNext->SetFocus();
            else
                pParent->SetFocus();
        }
        CancelHover();
    }
}

void CButtonST::OnCancelMode()
{
    Default();
    CancelHover();
}

void CButtonST::OnSysColorChange()
{
    Default();
    ReleaseBackground();
    SetDefaultColors(TRUE);
}

BOOL CButtonST::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

UINT CButtonST::OnGetDlgCode()
{
    UINT nCode = (UINT)Default();
    nCode |= m_bIsDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
    return nCode;
}

HBRUSH CButtonST::CtlColor(CDC*, UINT)
{
    return (HBRUSH)::GetStockObject(NULL_BRUSH);
}

LRESULT CButtonST::OnSetStyle(WPARAM wParam, LPARAM lParam)
{
    UINT nNewType = (UINT)wParam & BS_TYPEMASK;
    if (nNewType == BS_DEFPUSHBUTTON)
        m_bIsDefault = TRUE;
    else if (nNewType == BS_PUSHBUTTON)
        m_bIsDefault = FALSE;
    return DefWindowProc(BM_SETSTYLE, (wParam & ~(WPARAM)BS_TYPEMASK) | BS_OWNERDRAW, lParam);
}

LRESULT CButtonST::OnSetCheck(WPARAM wParam, LPARAM)
{
    m_nCheck = (wParam == BST_CHECKED || wParam == BST_INDETERMINATE) ? 1 : 0;
    Invalidate();
    return 0;
}

LRESULT CButtonST::OnGetCheck(WPARAM, LPARAM)
{
    return GetCheck();
}

BOOL CButtonST::OnClicked()
{
    SetFocus();
    if (m_csSounds[1].lpszSound != NULL)
        ::PlaySoundW(m_csSounds[1].lpszSound, m_csSounds[1].hModule, m_csSounds[1].dwFlags);

    if (m_bIsCheckBox)
    {
        m_nCheck = !m_nCheck;
        Invalidate();
    }
    else if (m_hMenu != NULL)
    {
        m_bMenuDisplayed = TRUE;
        Invalidate();
        HMENU hSubMenu = ::GetSubMenu(m_hMenu, 0);
        if (m_csCallbacks.hWnd != NULL)
            ::SendMessageW(m_csCallbacks.hWnd, m_csCallbacks.nMessage, (WPARAM)hSubMenu, m_csCallbacks.lParam);
        CRect rWnd;
        GetWindowRect(&rWnd);
        UINT nCommand = (UINT)::TrackPopupMenuEx(hSubMenu, TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RIGHTBUTTON |
                                                               TPM_RETURNCMD,
                                                 rWnd.left, rWnd.bottom, m_hParentWndMenu, NULL);
        m_bMenuDisplayed = FALSE;
        Invalidate();
        if (nCommand != 0)
            ::PostMessageW(m_hParentWndMenu, WM_COMMAND, MAKEWPARAM(nCommand, 0), 0);
    }
    else if (m_szURL[0] != L'\0')
    {
        SHELLEXECUTEINFOW sei = {};
        sei.cbSize = sizeof(sei);
        sei.fMask = SEE_MASK_FLAG_NO_UI;
        sei.lpVerb = L"open";
        sei.lpFile = m_szURL;
        sei.nShow = SW_SHOWMAXIMIZED;
        ::ShellExecuteExW(&sei);
    }
    // The parent still gets its BN_CLICKED.
    return FALSE;
}

// ---- Painting ------------------------------------------------------------------------

void CButtonST::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    CMemDC memDC(CDC::FromHandle(lpDIS->hDC));
    CDC* pDC = &memDC;

    if (m_bIsCheckBox)
        m_bIsPressed = (lpDIS->itemState & ODS_SELECTED) || m_nCheck != 0;
    else
        m_bIsPressed = (lpDIS->itemState & ODS_SELECTED) || m_bMenuDisplayed;
    m_bIsFocused = (lpDIS->itemState & ODS_FOCUS) != 0;
    m_bIsDisabled = (lpDIS->itemState & ODS_DISABLED) != 0;

    CRect itemRect = lpDIS->rcItem;
    pDC->SetBkMode(TRANSPARENT);

    if (m_bDrawTransparent)
        PaintBk(pDC);
    else
        OnDrawBackground(pDC, &itemRect);
    OnDrawBorder(pDC, &itemRect);

    CString strTitle;
    GetWindowText(strTitle);
    CRect captionRect = lpDIS->rcItem;

    if (m_bIsCheckBox)
    {
        CRect rcBox(itemRect.left, itemRect.top, itemRect.left + 13, itemRect.top + 13);
        if (itemRect.Height() > 13)
            rcBox.OffsetRect(0, (itemRect.Height() - 13) / 2);
        CBrush brFrame(m_crCheckBoxFrame);
        pDC->FrameRect(&rcBox, &brFrame);
        rcBox.DeflateRect(1, 1);
        DrawCheckBoxFace(pDC, rcBox);
        rcBox.DeflateRect(1, 1);
        if (m_nCheck == 1)
            DrawTick(pDC, rcBox, m_crCheckMark);
        if (m_csBitmaps[0].hBitmap != NULL)
        {
            itemRect.left += 13;
            captionRect.left += 13;
        }
    }

    if (m_csIcons[0].hIcon != NULL)
        DrawTheIcon(pDC, !strTitle.IsEmpty(), &lpDIS->rcItem, &captionRect, m_bIsPressed, m_bIsDisabled);
    if (m_csBitmaps[0].hBitmap != NULL)
    {
        pDC->SetBkColor(RGB(255, 255, 255));
        DrawTheBitmap(pDC, !strTitle.IsEmpty(), &itemRect, &captionRect, m_bIsPressed, m_bIsDisabled);
    }
    if (!strTitle.IsEmpty())
        DrawTheText(pDC, (LPCTSTR)strTitle, &lpDIS->rcItem, &captionRect, m_bIsPressed, m_bIsDisabled);

    if (m_bIsFocused && (!m_bIsFlat || m_bDrawFlatFocus))
    {
        CRect focusRect = itemRect;
        focusRect.DeflateRect(3, 3);
        pDC->DrawFocusRect(&focusRect);
    }
}

void CButtonST::DrawCheckBoxFace(CDC* pDC, const CRect& rcFace)
{
    if (!m_bMouseOnButton)
    {
        pDC->FillSolidRect(&rcFace, GetSysColor(COLOR_3DHILIGHT));
        return;
    }
    CBrush brOuter(RGB(255, 203, 121)), brInner(RGB(255, 204, 122));
    pDC->FrameRect(&rcFace, &brOuter);
    CRect rcInner = rcFace;
    rcInner.DeflateRect(1, 1);
    pDC->FrameRect(&rcInner, &brInner);
    int x = rcFace.left, y = rcFace.top;
    pDC->SetPixelV(x, y, RGB(254, 255, 255));
    pDC->SetPixelV(x, y + 1, RGB(254, 255, 255));
    for (int i = y + 2; i <= y + 9; i++)
        pDC->SetPixelV(x, i, RGB(255, 243, 217));
    for (int i = x + 1; i <= x + 7; i++)
    {
        pDC->SetPixelV(i, y, RGB(255, 243, 217));
        pDC->SetPixelV(i, y + 1, RGB(254, 220, 139));
    }
    pDC->SetPixelV(x + 1, y + 2, GetSysColor(COLOR_3DHILIGHT));
    for (int i = y + 3; i <= y + 6; i++)
        pDC->SetPixelV(x + 1, i, RGB(255, 220, 185));
}

DWORD CButtonST::OnDrawBackground(CDC* pDC, CRect* pRect)
{
    // The black frame of the default button stays outside the border, which
    // is drawn on the shrunk rectangle.
    if (!m_bIsFlat && (m_bIsFocused || m_bIsDefault))
    {
        CBrush brBlack(RGB(0, 0, 0));
        pDC->FrameRect(pRect, &brBlack);
        pRect->DeflateRect(1, 1);
    }
    pDC->FillSolidRect(pRect, RGB(255, 255, 255));
    return BTNST_OK;
}

DWORD CButtonST::OnDrawBorder(CDC* pDC, CRect* pRect)
{
    if (m_bIsPressed)
    {
        if (m_bIsFlat)
        {
            if (m_bDrawBorder)
                pDC->Draw3dRect(pRect, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHILIGHT));
        }
        else
        {
            CBrush brShadow(GetSysColor(COLOR_BTNSHADOW));
            pDC->FrameRect(pRect, &brShadow);
        }
        return BTNST_OK;
    }
    if (!m_bIsFlat)
    {
        CPen penHilight(PS_SOLID, 1, GetSysColor(COLOR_BTNHILIGHT));
        CPen penLight(PS_SOLID, 1, GetSysColor(COLOR_3DLIGHT));
        CPen penDkShadow(PS_SOLID, 1, GetSysColor(COLOR_3DDKSHADOW));
        CPen penShadow(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
        const CRect& r = *pRect;
        CPen* pOld = pDC->SelectObject(&penHilight);
        pDC->MoveTo(r.left, r.bottom - 1);
        pDC->LineTo(r.left, r.top);
        pDC->LineTo(r.right, r.top);
        pDC->SelectObject(&penLight);
        pDC->MoveTo(r.left + 1, r.bottom - 1);
        pDC->LineTo(r.left + 1, r.top + 1);
        pDC->LineTo(r.right, r.top + 1);
        pDC->SelectObject(&penDkShadow);
        pDC->MoveTo(r.left, r.bottom - 1);
        pDC->LineTo(r.right - 1, r.bottom - 1);
        pDC->LineTo(r.right - 1, r.top - 1);
        pDC->SelectObject(&penShadow);
        pDC->MoveTo(r.left + 1, r.bottom - 2);
        pDC->LineTo(r.right - 2, r.bottom - 2);
        pDC->LineTo(r.right - 2, r.top);
        pDC->SelectObject(pOld);
    }
    else if (m_bMouseOnButton && m_bDrawBorder)
    {
        pDC->Draw3dRect(pRect, GetSysColor(COLOR_BTNHILIGHT), GetSysColor(COLOR_BTNSHADOW));
    }
    return BTNST_OK;
}

void CButtonST::PrepareImageRect(BOOL bHasTitle, RECT* rpItem, CRect* rpTitle, DWORD dwWidth, DWORD dwHeight,
                                 CRect* rpImage)
{
    CRect rBtn;
    rpImage->CopyRect(rpItem);
    int nWidth = (int)dwWidth, nHeight = (int)dwHeight;
    int nItemWidth = rpItem->right - rpItem->left, nItemHeight = rpItem->bottom - rpItem->top;

    switch (m_byAlign)
    {
    case ST_ALIGN_HORIZ:
        if (!bHasTitle)
            rpImage->left += (nItemWidth - nWidth) / 2;
        else
        {
            rpImage->left += m_ptImageOrg.x;
            rpTitle->left += nWidth + m_ptImageOrg.x;
        }
        rpImage->top += (nItemHeight - nHeight) / 2;
        break;
    case ST_ALIGN_HORIZ_RIGHT:
        GetClientRect(&rBtn);
        if (!bHasTitle)
            rpImage->left += (nItemWidth - nWidth) / 2;
        else
        {
            rpTitle->right = rpTitle->Width() - nWidth - m_ptImageOrg.x;
            rpTitle->left = m_ptImageOrg.x;
            rpImage->left = rBtn.right - nWidth - m_ptImageOrg.x;
        }
        rpImage->top += (nItemHeight - nHeight) / 2;
        break;
    case ST_ALIGN_VERT:
        rpImage->left += (nItemWidth - nWidth) / 2;
        if (!bHasTitle)
            rpImage->top += (nItemHeight - nHeight) / 2;
        else
        {
            rpImage->top = m_ptImageOrg.y;
            rpTitle->top += nHeight;
        }
        break;
    case ST_ALIGN_OVERLAP:
        break;
    }
    rpImage->right = rpImage->left + nWidth;
    rpImage->bottom = rpImage->top + nHeight;
}

void CButtonST::DrawTheIcon(CDC* pDC, BOOL bHasTitle, RECT* rpItem, CRect* rpCaption, BOOL, BOOL bIsDisabled)
{
    int nIndex = (bIsDisabled && m_csIcons[1].hIcon != NULL) ? 1 : 0;
    CRect rImage;
    PrepareImageRect(bHasTitle, rpItem, rpCaption, m_csIcons[nIndex].dwWidth, m_csIcons[nIndex].dwHeight, &rImage);
    pDC->DrawState(rImage.TopLeft(), rImage.Size(), m_csIcons[nIndex].hIcon, DSS_NORMAL, (HBRUSH)NULL);
}

void CButtonST::DrawTheBitmap(CDC* pDC, BOOL bHasTitle, RECT* rpItem, CRect* rpCaption, BOOL bIsPressed,
                              BOOL bIsDisabled)
{
    int nIndex = 0;
    bool bUseIn = m_bIsCheckBox ? bIsPressed : (bIsPressed || m_bMouseOnButton);
    if (!bUseIn && m_csBitmaps[1].hBitmap != NULL)
        nIndex = 1;
    const BitmapRecord& rec = m_csBitmaps[nIndex];

    CRect rImage;
    PrepareImageRect(bHasTitle, rpItem, rpCaption, rec.dwWidth, rec.dwHeight, &rImage);

    ScopedMemDC dcSrc(pDC->m_hDC);
    if ((HDC)dcSrc == NULL)
        return;
    int w = (int)rec.dwWidth, h = (int)rec.dwHeight;
    if (bIsDisabled && m_bShowDisabledBitmap)
    {
        ScopedMemDC dcComposed(pDC->m_hDC);
        HBITMAP hComposed = ::CreateCompatibleBitmap(pDC->m_hDC, w, h);
        if (hComposed == NULL)
            return;
        {
            SelectedBitmap selComposed(dcComposed, hComposed);
            ::PatBlt(dcComposed, 0, 0, w, h, WHITENESS);
            ::SetBkColor(dcComposed, RGB(255, 255, 255));
            {
                SelectedBitmap selMask(dcSrc, rec.hMask);
                ::BitBlt(dcComposed, 0, 0, w, h, dcSrc, 0, 0, SRCAND);
            }
            SelectedBitmap selImage(dcSrc, rec.hBitmap);
            ::BitBlt(dcComposed, 0, 0, w, h, dcSrc, 0, 0, SRCPAINT);
        }
        pDC->DrawState(rImage.TopLeft(), rImage.Size(), hComposed, DST_BITMAP | DSS_DISABLED, (HBRUSH)NULL);
        ::DeleteObject(hComposed);
        return;
    }
    {
        SelectedBitmap selMask(dcSrc, rec.hMask);
        pDC->BitBlt(rImage.left, rImage.top, w, h, CDC::FromHandle(dcSrc), 0, 0, SRCAND);
    }
    SelectedBitmap selImage(dcSrc, rec.hBitmap);
    pDC->BitBlt(rImage.left, rImage.top, w, h, CDC::FromHandle(dcSrc), 0, 0, SRCPAINT);
}

void CButtonST::DrawTheText(CDC* pDC, LPCTSTR lpszText, RECT*, CRect* rpCaption, BOOL bIsPressed, BOOL bIsDisabled)
{
    if (bIsPressed && !m_bIsCheckBox)
        rpCaption->OffsetRect(m_ptPressedOffset.x, m_ptPressedOffset.y);

    CFont font;
    font.CreateFont(13, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, FF_SWISS, L"Verdana");
    CFont* pOldFont = pDC->SelectObject(&font);

    CRect centerRect = *rpCaption;
    // A check box's caption starts right of its box (or of its picture): it is
    // measured in the room left there, so that it wraps rather than runs out.
    int nTextLeft = centerRect.left;
    if (m_bIsCheckBox)
        nTextLeft += m_csBitmaps[0].hBitmap == NULL ? CHECKBOX_TEXT_OFFSET : m_ptImageOrg.x;
    rpCaption->left = nTextLeft;
    pDC->DrawText(lpszText, -1, rpCaption, DT_WORDBREAK | DT_CENTER | DT_CALCRECT);
    int dy = (centerRect.Height() - rpCaption->Height()) / 2;
    if (!m_bIsCheckBox)
        rpCaption->OffsetRect((centerRect.Width() - rpCaption->Width()) / 2, dy);
    else
        rpCaption->OffsetRect(0, dy);

    if (bIsDisabled)
    {
        rpCaption->OffsetRect(1, 1);
        pDC->SetTextColor(GetSysColor(COLOR_3DHILIGHT));
        pDC->DrawText(lpszText, -1, rpCaption, DT_WORDBREAK | DT_CENTER);
        rpCaption->OffsetRect(-1, -1);
        pDC->SetTextColor(GetSysColor(COLOR_3DSHADOW));
        pDC->DrawText(lpszText, -1, rpCaption, DT_WORDBREAK | DT_CENTER);
    }
    else
    {
        int nFg, nBk;
        if (m_bMouseOnButton || bIsPressed)
            nFg = BTNST_COLOR_FG_IN, nBk = BTNST_COLOR_BK_IN;
        else if (m_bIsFocused)
            nFg = BTNST_COLOR_FG_FOCUS, nBk = BTNST_COLOR_BK_FOCUS;
        else
            nFg = BTNST_COLOR_FG_OUT, nBk = BTNST_COLOR_BK_OUT;
        pDC->SetTextColor(m_crColors[nFg]);
        pDC->SetBkColor(m_crColors[nBk]);
        pDC->DrawText(lpszText, -1, rpCaption, DT_WORDBREAK | DT_CENTER);
    }
    pDC->SelectObject(pOldFont);
}
