#include "app/SkinDialog.h"
#include <vector>

BEGIN_MESSAGE_MAP(CSkinDialog, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CSkinDialog::CSkinDialog()
{
    ResetSkin();
}

CSkinDialog::CSkinDialog(UINT nIDTemplate, CWnd* pParent) : CDialog(nIDTemplate, pParent)
{
    ResetSkin();
}

CSkinDialog::CSkinDialog(LPCTSTR lpszTemplateName, CWnd* pParent) : CDialog(lpszTemplateName, pParent)
{
    ResetSkin();
}

CSkinDialog::~CSkinDialog()
{
    ReleaseSkin(TRUE);
}

void CSkinDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
}

void CSkinDialog::ResetSkin()
{
    m_hBitmap = NULL;
    m_hRgn = NULL;
    m_nBitmapWidth = 0;
    m_nBitmapHeight = 0;
    m_nLayout = 0;
    m_bClientDrag = FALSE;
    m_bRegionHanded = FALSE;
}

void CSkinDialog::ReleaseSkin(BOOL bDeleteBitmap)
{
    if (bDeleteBitmap && m_hBitmap != NULL)
        ::DeleteObject(m_hBitmap);
    if (m_hRgn != NULL)
    {
        // A region the window took belongs to the window; one it never got is ours.
        if (!m_bRegionHanded)
            ::DeleteObject(m_hRgn);
        else if (m_hWnd != NULL)
            ::SetWindowRgn(m_hWnd, NULL, FALSE);
    }
    m_hBitmap = NULL;
    m_hRgn = NULL;
    m_bRegionHanded = FALSE;
    m_nBitmapWidth = 0;
    m_nBitmapHeight = 0;
}

DWORD CSkinDialog::SetBitmap(UINT nIDResource, COLORREF crTransparent)
{
    HBITMAP hBitmap = (HBITMAP)::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDResource), IMAGE_BITMAP, 0,
                                            0, LR_DEFAULTCOLOR);
    return SetBitmap(hBitmap, crTransparent);
}

DWORD CSkinDialog::SetBitmap(HBITMAP hBitmap, COLORREF crTransparent)
{
    ReleaseSkin(TRUE);
    if (hBitmap != NULL)
    {
        m_hBitmap = hBitmap;
        BITMAP bm = {};
        if (::GetObjectW(hBitmap, sizeof(bm), &bm) == 0)
        {
            ReleaseSkin(TRUE);
            return 1;
        }
        m_nBitmapWidth = bm.bmWidth;
        m_nBitmapHeight = bm.bmHeight;
        if (crTransparent != 0xFFFFFFFF)
        {
            m_hRgn = CreateRegionFromBitmap(hBitmap, GetRValue(crTransparent), GetGValue(crTransparent),
                                            GetBValue(crTransparent));
            if (m_hRgn == NULL)
            {
                ReleaseSkin(TRUE);
                return 3;
            }
            if (m_hWnd != NULL)
                m_bRegionHanded = ::SetWindowRgn(m_hWnd, m_hRgn, FALSE) != 0;
        }
    }
    if (m_hWnd != NULL)
        Invalidate(TRUE);
    return 0;
}

DWORD CSkinDialog::SetLayout(BYTE nLayout, BOOL bRepaint)
{
    if (nLayout >= 13)
        return 2;
    m_nLayout = nLayout;
    if (bRepaint == 1 && m_hWnd != NULL)
        Invalidate(TRUE);
    return 0;
}

DWORD CSkinDialog::EnableClientDrag(BOOL bEnable)
{
    m_bClientDrag = bEnable;
    return 0;
}

DWORD CSkinDialog::FitWindowToBitmap(BOOL bRepaint)
{
    CRect rcWindow, rcClient;
    GetWindowRect(&rcWindow);
    GetClientRect(&rcClient);
    int dx = rcWindow.Width() - rcClient.Width();
    int dy = rcWindow.Height() - rcClient.Height();
    m_nLayout = 1;
    MoveWindow(rcWindow.left, rcWindow.top, m_nBitmapWidth + dx, m_nBitmapHeight + dy, bRepaint);
    return 0;
}

void CSkinDialog::SetButtonsBk(CDC*)
{
}

BYTE* CSkinDialog::ReadBitmapPixels(HBITMAP hBitmap, DWORD* pWidth, DWORD* pHeight)
{
    BITMAP bm = {};
    if (::GetObjectW(hBitmap, sizeof(bm), &bm) == 0)
        return NULL;
    DWORD w = (DWORD)bm.bmWidth & ~3u;
    DWORD h = (DWORD)bm.bmHeight;
    if (w == 0 || h == 0)
        return NULL;
    BYTE* pBits = new (std::nothrow) BYTE[(size_t)w * h * 3];
    if (pBits == NULL)
        return NULL;
    BITMAPINFOHEADER bih = {};
    bih.biSize = sizeof(bih);
    bih.biWidth = (LONG)w;
    bih.biHeight = -(LONG)h;
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    bih.biCompression = BI_RGB;
    bih.biSizeImage = w * h * 3;
    HDC hDC = ::GetWindowDC(NULL);
    int nLines = ::GetDIBits(hDC, hBitmap, 0, h, pBits, (BITMAPINFO*)&bih, DIB_RGB_COLORS);
    ::ReleaseDC(NULL, hDC);
    if (nLines == 0)
    {
        delete[] pBits;
        return NULL;
    }
    *pWidth = w;
    *pHeight = h;
    return pBits;
}

HRGN CSkinDialog::CreateRegionFromBitmap(HBITMAP hBitmap, BYTE r, BYTE g, BYTE b)
{
    DWORD w = 0, h = 0;
    BYTE* pBits = ReadBitmapPixels(hBitmap, &w, &h);
    if (pBits == NULL)
        return NULL;
    HRGN hRgn = ::CreateRectRgn(0, 0, (int)w, (int)h);
    if (hRgn == NULL)
    {
        delete[] pBits;
        return NULL;
    }
    const BYTE* p = pBits;
    for (DWORD y = 0; y < h; y++)
    {
        for (DWORD x = 0; x < w; x++, p += 3)
        {
            if (p[0] != b || p[1] != g || p[2] != r)
                continue;
            HRGN hPixel = ::CreateRectRgn((int)x, (int)y, (int)x + 1, (int)y + 1);
            ::CombineRgn(hRgn, hRgn, hPixel, RGN_XOR);
            ::DeleteObject(hPixel);
        }
    }
    delete[] pBits;
    return hRgn;
}

BOOL CSkinDialog::OnEraseBkgnd(CDC* pDC)
{
    BOOL bResult = CDialog::OnEraseBkgnd(pDC);
    if (m_hBitmap == NULL)
        return bResult;
    CRect rcClient;
    GetClientRect(&rcClient);
    int W = rcClient.Width(), H = rcClient.Height();
    int bw = m_nBitmapWidth, bh = m_nBitmapHeight;
    CDC dcMem, dcSkin;
    dcMem.CreateCompatibleDC(pDC);
    dcSkin.CreateCompatibleDC(pDC);
    CBitmap bmpWork;
    bmpWork.CreateCompatibleBitmap(pDC, W, H);
    CBitmap* pOldWork = dcMem.SelectObject(&bmpWork);
    dcMem.FillSolidRect(0, 0, W, H, pDC->GetBkColor());
    HGDIOBJ hOldSkin = dcSkin.SelectObject((HGDIOBJ)m_hBitmap);
    auto blit = [&](int x, int y) { dcMem.BitBlt(x, y, bw, bh, &dcSkin, 0, 0, SRCCOPY); };
    switch (m_nLayout)
    {
    case 0:
        for (int y = 0; y < H; y += bh)
            for (int x = 0; x < W; x += bw)
                blit(x, y);
        break;
    case 1: blit((W - bw) / 2, (H - bh) / 2); break;
    case 2: dcMem.StretchBlt(0, 0, W, H, &dcSkin, 0, 0, bw, bh, SRCCOPY); break;
    case 3: for (int x = 0; x < W; x += bw) blit(x, 0); break;
    case 4: for (int x = 0; x < W; x += bw) blit(x, H - bh); break;
    case 5: for (int y = 0; y < H; y += bh) blit(0, y); break;
    case 6: for (int y = 0; y < H; y += bh) blit(W - bw, y); break;
    case 7: blit(0, 0); break;
    case 8: blit(W - bw, 0); break;
    case 9: blit((W - bw) / 2, 0); break;
    case 10: blit(0, H - bh); break;
    case 11: blit(W - bw, H - bh); break;
    case 12: blit((W - bw) / 2, H - bh); break;
    default: break;
    }
    pDC->BitBlt(0, 0, W, H, &dcMem, 0, 0, SRCCOPY);
    SetButtonsBk(&dcMem);
    dcSkin.SelectObject(hOldSkin);
    dcMem.SelectObject(pOldWork);
    return bResult;
}

void CSkinDialog::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    if (m_hBitmap != NULL)
        Invalidate(TRUE);
}

void CSkinDialog::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (m_bClientDrag == 1)
        PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
    CDialog::OnLButtonDown(nFlags, point);
}
