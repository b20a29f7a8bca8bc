#include "app/TaskPage.h"
#include "controls/skin/ButtonVE_Image.h"

// ---- CTaskPageLabel -------------------------------------------------------------

BEGIN_MESSAGE_MAP(CTaskPageLabel, CStatic)
    ON_WM_PAINT()
    ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

CTaskPageLabel::CTaskPageLabel() : m_pFont(NULL), m_bCustomTextColor(FALSE), m_bCustomBkColor(FALSE)
{
    SetTextColor(0xFFFFFFFF);
    SetBkColor(0xFFFFFFFF);
}

CTaskPageLabel::~CTaskPageLabel()
{
    delete m_pFont;
}

void CTaskPageLabel::SetTextColor(COLORREF cr)
{
    m_bCustomTextColor = cr != 0xFFFFFFFF;
    m_crText = m_bCustomTextColor ? cr : ::GetSysColor(COLOR_BTNTEXT);
}

void CTaskPageLabel::SetBkColor(COLORREF cr)
{
    m_bCustomBkColor = cr != 0xFFFFFFFF;
    m_crBk = m_bCustomBkColor ? cr : ::GetSysColor(COLOR_BTNFACE);
}

void CTaskPageLabel::SetFontScale(double dFactor)
{
    delete m_pFont;
    m_pFont = NULL;
    NONCLIENTMETRICSW ncm = {};
    ncm.cbSize = 500;
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0))
    {
        // Older structure sizes are refused by some systems.
        ncm.cbSize = sizeof(ncm);
        ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0);
    }
    LOGFONTW lf = ncm.lfMessageFont;
    lf.lfHeight = (LONG)(lf.lfHeight * dFactor);
    m_pFont = new CFont;
    m_pFont->CreateFontIndirect(&lf);
    if (m_hWnd != NULL)
        Invalidate(TRUE);
}

int CTaskPageLabel::GrowToFitText(CDC* pDC, CRect* pOldWindowRect)
{
    if (m_pFont == NULL)
        SetFontScale(1.0);
    CRect rcClient;
    GetClientRect(&rcClient);
    CString strText;
    GetWindowText(strText);
    CRect rcText(0, 0, rcClient.Width(), 9999);
    CFont* pOldFont = pDC->SelectObject(m_pFont);
    pDC->DrawText(strText, &rcText, DT_CALCRECT | DT_WORDBREAK);
    pDC->SelectObject(pOldFont);
    if (rcText.bottom <= rcClient.bottom)
        return 0;
    int nExtra = rcText.bottom - rcClient.bottom;
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    if (pOldWindowRect != NULL)
        *pOldWindowRect = rcWindow;
    SetWindowPos(NULL, 0, 0, rcWindow.Width(), rcWindow.Height() + nExtra, SWP_NOMOVE | SWP_NOZORDER);
    Invalidate(TRUE);
    return nExtra;
}

void CTaskPageLabel::OnPaint()
{
    if (m_pFont == NULL)
        SetFontScale(1.0);
    PAINTSTRUCT ps;
    CDC* pDC = BeginPaint(&ps);
    CRect rcClient;
    GetClientRect(&rcClient);
    HBRUSH hBrush = NULL;
    if (GetParent() != NULL)
        hBrush = (HBRUSH)GetParent()->SendMessage(WM_CTLCOLORSTATIC, (WPARAM)pDC->GetSafeHdc(), (LPARAM)m_hWnd);
    if (m_bCustomBkColor || hBrush == NULL)
        pDC->FillSolidRect(&rcClient, m_crBk);
    else
        ::FillRect(pDC->GetSafeHdc(), &rcClient, hBrush);
    CFont* pOldFont = pDC->SelectObject(m_pFont);
    TEXTMETRICW tm = {};
    pDC->GetTextMetrics(&tm);
    CRect rcText = rcClient;
    rcText.top -= (tm.tmInternalLeading + tm.tmExternalLeading) / 2;
    if (m_bCustomTextColor)
        pDC->SetTextColor(m_crText);
    if (m_bCustomBkColor)
        pDC->SetBkColor(m_crBk);
    CString strText;
    GetWindowText(strText);
    CRect rcMeasure = rcText;
    pDC->DrawText(strText, &rcMeasure, DT_CALCRECT | DT_WORDBREAK);
    if (rcMeasure.Height() < rcText.Height())
        rcText.top += (rcText.Height() - rcMeasure.Height()) / 2;
    pDC->DrawText(strText, &rcText, DT_WORDBREAK);
    pDC->SelectObject(pOldFont);
    EndPaint(&ps);
}

void CTaskPageLabel::OnSysColorChange()
{
    if (!m_bCustomBkColor)
        m_crBk = ::GetSysColor(COLOR_BTNFACE);
}

// ---- CTaskPagePicture -----------------------------------------------------------

BEGIN_MESSAGE_MAP(CTaskPagePicture, CStatic)
    ON_WM_PAINT()
    ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

CTaskPagePicture::CTaskPagePicture()
    : m_bShadow(TRUE), m_bCustomBkColor(FALSE), m_crBk(::GetSysColor(COLOR_BTNFACE)), m_crTransparent(0xFFFFFFFF)
{
}

void CTaskPagePicture::SetShadow(BOOL bShadow)
{
    m_bShadow = bShadow;
    if (m_hWnd != NULL)
        Invalidate(TRUE);
}

CSize CTaskPagePicture::GetImageSize()
{
    HBITMAP hBitmap = (HBITMAP)SendMessage(STM_GETIMAGE, IMAGE_BITMAP, 0);
    BITMAP bm = {};
    if (hBitmap != NULL && ::GetObjectW(hBitmap, sizeof(bm), &bm))
        return CSize(bm.bmWidth, bm.bmHeight);
    HICON hIcon = (HICON)SendMessage(STM_GETICON, 0, 0);
    ICONINFO ii = {};
    if (hIcon == NULL || !::GetIconInfo(hIcon, &ii))
        return CSize(0, 0);
    CSize size(0, 0);
    if (ii.hbmColor != NULL && ::GetObjectW(ii.hbmColor, sizeof(bm), &bm))
        size = CSize(bm.bmWidth, bm.bmHeight);
    else if (ii.hbmMask != NULL && ::GetObjectW(ii.hbmMask, sizeof(bm), &bm))
        size = CSize(bm.bmWidth, bm.bmHeight / 2);
    if (ii.hbmColor != NULL)
        ::DeleteObject(ii.hbmColor);
    if (ii.hbmMask != NULL)
        ::DeleteObject(ii.hbmMask);
    return size;
}

void CTaskPagePicture::OnPaint()
{
    PAINTSTRUCT ps;
    CDC* pDC = BeginPaint(&ps);
    CRect rcClient;
    GetClientRect(&rcClient);
    HBITMAP hBitmap = (HBITMAP)SendMessage(STM_GETIMAGE, IMAGE_BITMAP, 0);
    HICON hIcon = (HICON)SendMessage(STM_GETICON, 0, 0);
    HBRUSH hBrush = NULL;
    if (GetParent() != NULL)
        hBrush = (HBRUSH)GetParent()->SendMessage(WM_CTLCOLORSTATIC, (WPARAM)pDC->GetSafeHdc(), (LPARAM)m_hWnd);
    auto fill = [&](const CRect& rc) {
        if (m_bCustomBkColor || hBrush == NULL)
            pDC->FillSolidRect(&rc, m_crBk);
        else
            ::FillRect(pDC->GetSafeHdc(), &rc, hBrush);
    };
    CSize size = GetImageSize();
    if ((hBitmap == NULL && hIcon == NULL) || size.cx == 0)
    {
        fill(rcClient);
        EndPaint(&ps);
        return;
    }
    CDC dcImage;
    dcImage.CreateCompatibleDC(pDC);
    CBitmap bmpImage;
    bmpImage.CreateCompatibleBitmap(pDC, size.cx, size.cy);
    CBitmap* pOldBitmap = dcImage.SelectObject(&bmpImage);
    dcImage.FillSolidRect(0, 0, size.cx, size.cy, m_crTransparent == 0xFFFFFFFF ? RGB(1, 1, 1) : m_crTransparent);
    if (hBitmap != NULL)
        ::DrawStateW(dcImage.GetSafeHdc(), NULL, NULL, (LPARAM)hBitmap, 0, 0, 0, size.cx, size.cy, DST_BITMAP);
    else
        ::DrawStateW(dcImage.GetSafeHdc(), NULL, NULL, (LPARAM)hIcon, 0, 0, 0, size.cx, size.cy, DST_ICON);
    CRect rcImage(0, 0, size.cx, size.cy);
    rcImage.InflateRect(2, 2);
    rcImage.OffsetRect(1, 1);
    fill(rcImage);
    COLORREF crTransparent = m_crTransparent == 0xFFFFFFFF ? dcImage.GetPixel(0, 0) : m_crTransparent;
    if (GetStyle() & WS_DISABLED)
        CButtonVE_Image::DrawBitmapDisabled(pDC, &dcImage, 0, 0, size.cx, size.cy, crTransparent);
    else
    {
        if (m_bShadow)
            CButtonVE_Image::DrawBitmapShadow(pDC, &dcImage, -1, -1, size.cx, size.cy, crTransparent);
        if (hBitmap != NULL)
            CButtonVE_Image::DrawBitmapTransparent(pDC, &dcImage, 0, 0, size.cx, size.cy, crTransparent);
        else
            ::DrawStateW(pDC->GetSafeHdc(), NULL, NULL, (LPARAM)hIcon, 0, 0, 0, 0, 0, DST_ICON);
    }
    dcImage.SelectObject(pOldBitmap);
    EndPaint(&ps);
}

void CTaskPagePicture::OnSysColorChange()
{
    if (!m_bCustomBkColor)
        m_crBk = ::GetSysColor(COLOR_BTNFACE);
}

// ---- CTaskPage --------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CTaskPage, CDialog)
    ON_WM_PAINT()
    ON_WM_CTLCOLOR()
    ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

CTaskPage::CTaskPage(UINT nIDTemplate, CWnd* pParent) : CDialog(nIDTemplate, pParent)
{
    CommonConstruct();
}

CTaskPage::CTaskPage()
{
    CommonConstruct();
}

namespace {

struct TaskButton
{
    UINT nFlag;
    WORD wID;
    LPCWSTR pszText;
};

// In the order they stand in the row.
const TaskButton s_buttons[] = {
    {CTaskPage::TASKBTN_OK, IDOK, L"&OK"},
    {CTaskPage::TASKBTN_YES, IDYES, L"&Yes"},
    {CTaskPage::TASKBTN_NO, IDNO, L"&No"},
    {CTaskPage::TASKBTN_ABORT, IDABORT, L"&Abort"},
    {CTaskPage::TASKBTN_CANCEL, IDCANCEL, L"Cancel"},
    {CTaskPage::TASKBTN_RETRY, IDRETRY, L"&Retry"},
    {CTaskPage::TASKBTN_TRYAGAIN, IDTRYAGAIN, L"&Try Again"},
    {CTaskPage::TASKBTN_IGNORE, IDIGNORE, L"&Ignore"},
    {CTaskPage::TASKBTN_CONTINUE, IDCONTINUE, L"C&ontinue"},
    {CTaskPage::TASKBTN_CLOSE, IDCLOSE, L"&Close"},
};

const WORD ATOM_BUTTON = 0x0080;
const WORD ATOM_STATIC = 0x0082;

} // namespace

CTaskPage::CTaskPage(CWnd* pParent, HINSTANCE hResources, LPCTSTR lpszCaption, LPCTSTR lpszTitle,
                     LPCTSTR lpszSubtitle, UINT nButtonFlags, UINT nIconCode)
{
    CommonConstruct();
    m_nDividerID = 255;
    m_hTemplate = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 4096);
    m_pTemplate = m_hTemplate != NULL ? ::GlobalLock(m_hTemplate) : NULL;
    if (m_pTemplate == NULL && m_hTemplate != NULL)
    {
        ::GlobalFree(m_hTemplate);
        m_hTemplate = NULL;
    }
    m_nTemplateSize = m_pTemplate != NULL ? 4096 : 0;
    m_nIconID = nIconCode;

    CString strCaption(lpszCaption != NULL ? lpszCaption : L"");
    if (lpszCaption == NULL)
    {
        WCHAR szPath[MAX_PATH] = L"";
        ::GetModuleFileNameW(NULL, szPath, MAX_PATH);
        strCaption = szPath;
        strCaption = strCaption.Mid(strCaption.ReverseFind(L'\\') + 1);
        int nDot = strCaption.Find(L'.');
        if (nDot >= 0)
            strCaption = strCaption.Left(nDot);
    }
    if (nButtonFlags == 0)
        nButtonFlags = TASKBTN_OK;

    short cx = 242, cy = 92;
    int nButtons = 0;
    for (const TaskButton& button : s_buttons)
        nButtons += (nButtonFlags & button.nFlag) ? 1 : 0;
    int nRowWidth = 56 * nButtons + 6;
    int x = 0;
    if (nRowWidth > cx)
    {
        cx = (short)nRowWidth;
        x = 6;
    }
    else
        x = cx - 6 - 56 * nButtons;

    DLGTEMPLATE* pHeader = (DLGTEMPLATE*)TemplateAlloc(sizeof(DLGTEMPLATE));
    if (pHeader != NULL)
    {
        pHeader->style = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
        pHeader->dwExtendedStyle = WS_EX_DLGMODALFRAME;
        pHeader->cx = cx;
        pHeader->cy = cy;
    }
    TemplateAddWord(0);  // no menu
    TemplateAddWord(0);  // the default class
    TemplateAddString(strCaption);
    TemplateAddWord(8);
    TemplateAddString(L"MS Sans Serif");

    HINSTANCE hApp = hResources != NULL ? hResources : AfxGetResourceHandle();
    for (const TaskButton& button : s_buttons)
    {
        if (!(nButtonFlags & button.nFlag))
            continue;
        CString strText;
        WCHAR szText[128] = L"";
        strText = ::LoadStringW(hApp, button.wID, szText, 128) > 0 ? szText : button.pszText;
        TemplateAddItem(ATOM_BUTTON, WS_VISIBLE | WS_TABSTOP, 0, (short)x, (short)(cy - 21), 50, 15, button.wID);
        TemplateAddString(strText);
        TemplateAddWord(0);
        x += 56;
    }
    TemplateAddItem(ATOM_STATIC, SS_ETCHEDHORZ, 0, 0, (short)(cy - 29), cx, 1, 255);
    TemplateAddString(L"");
    TemplateAddWord(0);

    short xText = 8;
    if (nIconCode != 0 && nIconCode < 0x10000)
    {
        HINSTANCE hImages = nIconCode > 32000 ? NULL : hApp;
        DWORD dwImageStyle = 0;
        HANDLE hBitmap = ::LoadImageW(hImages, MAKEINTRESOURCEW(nIconCode), IMAGE_BITMAP, 0, 0, LR_SHARED);
        HANDLE hIcon = hBitmap == NULL ? ::LoadImageW(hImages, MAKEINTRESOURCEW(nIconCode), IMAGE_ICON, 0, 0, LR_SHARED)
                                       : NULL;
        if (hBitmap != NULL)
            dwImageStyle = SS_BITMAP;
        else if (hIcon != NULL)
            dwImageStyle = SS_ICON;
        if (dwImageStyle != 0)
        {
            TemplateAddItem(ATOM_STATIC, WS_VISIBLE | dwImageStyle, 0, 8, 8, 20, 20, 254);
            TemplateAddWord(0xFFFF);
            TemplateAddWord((WORD)nIconCode);
            TemplateAddWord(0);
            xText = 36;
        }
        // Shared images stay with the system; nothing to free.
    }
    TemplateAddItem(ATOM_STATIC, WS_VISIBLE | SS_CENTERIMAGE, 0, xText, 5, (short)(cx - xText - 8), 28, 253);
    TemplateAddString(lpszTitle);
    TemplateAddWord(0);
    TemplateAddItem(ATOM_STATIC, WS_VISIBLE | SS_CENTERIMAGE, 0, xText, 38, (short)(cx - xText - 8), 20, 252);
    TemplateAddString(lpszSubtitle);
    TemplateAddWord(0);

    InitModalIndirect((LPCDLGTEMPLATE)m_pTemplate, pParent);
}

BOOL CTaskPage::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (m_pTemplate != NULL && HIWORD(wParam) == BN_CLICKED && lParam != 0)
    {
        for (const TaskButton& button : s_buttons)
        {
            if (button.wID == LOWORD(wParam))
            {
                EndDialog(button.wID);
                return TRUE;
            }
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

LPVOID CTaskPage::TemplateAlloc(DWORD nBytes)
{
    if (m_pTemplate == NULL)
        return NULL;
    if (m_nTemplateUsed + nBytes >= m_nTemplateSize)
    {
        DWORD nNewSize = m_nTemplateUsed + nBytes + 4096;
        HGLOBAL hNew = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, nNewSize);
        LPVOID pNew = hNew != NULL ? ::GlobalLock(hNew) : NULL;
        if (pNew == NULL)
        {
            // Both blocks go: every later step writes nothing.
            if (hNew != NULL)
                ::GlobalFree(hNew);
            ::GlobalUnlock(m_hTemplate);
            ::GlobalFree(m_hTemplate);
            m_hTemplate = NULL;
            m_pTemplate = NULL;
            return NULL;
        }
        memcpy(pNew, m_pTemplate, m_nTemplateUsed);
        ::GlobalUnlock(m_hTemplate);
        ::GlobalFree(m_hTemplate);
        m_hTemplate = hNew;
        m_pTemplate = pNew;
        m_nTemplateSize = nNewSize;
    }
    LPVOID pResult = (BYTE*)m_pTemplate + m_nTemplateUsed;
    m_nTemplateUsed += nBytes;
    return pResult;
}

void CTaskPage::TemplateAddWord(WORD w)
{
    WORD* pWord = (WORD*)TemplateAlloc(sizeof(WORD));
    if (pWord != NULL)
        *pWord = w;
}

void CTaskPage::TemplateAddString(LPCTSTR lpszText)
{
    LPCWSTR pszText = lpszText != NULL && lpszText[0] != L'\0' ? lpszText : L" ";
    DWORD nBytes = (DWORD)(wcslen(pszText) + 1) * sizeof(WCHAR);
    LPVOID pDest = TemplateAlloc(nBytes);
    if (pDest != NULL)
        memcpy(pDest, pszText, nBytes);
}

void CTaskPage::TemplateAlign()
{
    if (m_nTemplateUsed % 4 != 0)
        TemplateAddWord(0);
}

void CTaskPage::TemplateAddItem(WORD wClass, DWORD dwStyle, DWORD dwExStyle, short x, short y, short cx, short cy,
                                WORD wID)
{
    TemplateAlign();
    DLGITEMTEMPLATE* pItem = (DLGITEMTEMPLATE*)TemplateAlloc(sizeof(DLGITEMTEMPLATE));
    if (pItem == NULL)
        return;
    pItem->style = dwStyle | WS_CHILD;
    pItem->dwExtendedStyle = dwExStyle;
    pItem->x = x;
    pItem->y = y;
    pItem->cx = cx;
    pItem->cy = cy;
    pItem->id = wID;
    ((DLGTEMPLATE*)m_pTemplate)->cdit++;
    TemplateAddWord(0xFFFF);
    TemplateAddWord(wClass);
}

void CTaskPage::CommonConstruct()
{
    m_nDividerID = 0xFFFFFFFF;
    m_hTemplate = NULL;
    m_pTemplate = NULL;
    m_nTemplateUsed = 0;
    m_nTemplateSize = 0;
    m_nIconID = 0;
    m_crBackground = RGB(255, 255, 255);
    m_hbrBackground = NULL;
    OnSysColorChange();
}

CTaskPage::~CTaskPage()
{
    if (m_hbrBackground != NULL)
        ::DeleteObject(m_hbrBackground);
    if (m_hTemplate != NULL)
    {
        ::GlobalUnlock(m_hTemplate);
        ::GlobalFree(m_hTemplate);
        m_hTemplate = NULL;
        m_pTemplate = NULL;
    }
    m_lblSubtitle.DestroyWindow();
    m_lblTitle.DestroyWindow();
    m_picHeader.DestroyWindow();
}

void CTaskPage::SetHeaderDivider(UINT nID)
{
    m_nDividerID = nID;
    if (m_hWnd != NULL && nID != 0xFFFFFFFF)
    {
        CWnd* pDivider = GetDlgItem(nID);
        if (pDivider != NULL)
            pDivider->ShowWindow(SW_HIDE);
    }
}

BOOL CTaskPage::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_pTemplate != NULL)
    {
        CDC* pDC = GetDC();
        if (m_picHeader.SubclassDlgItem(m_nDividerID - 1, this) && HIWORD(m_nIconID) == 0 &&
            LOWORD(m_nIconID) > 32000)
            m_picHeader.SetShadow(FALSE);
        if (m_lblTitle.SubclassDlgItem(m_nDividerID - 2, this))
        {
            m_lblTitle.SetFontScale(1.6);
            m_lblTitle.SetTextColor(RGB(0, 50, 150));
            GrowForLabel(m_lblTitle, pDC);
        }
        if (m_lblSubtitle.SubclassDlgItem(m_nDividerID - 3, this))
        {
            m_lblSubtitle.SetFontScale(1.2);
            GrowForLabel(m_lblSubtitle, pDC);
        }
        ReleaseDC(pDC);
    }
    if (m_nDividerID != 0xFFFFFFFF && GetDlgItem(m_nDividerID) != NULL)
        GetDlgItem(m_nDividerID)->ShowWindow(SW_HIDE);
    OnSysColorChange();
    return TRUE;
}

namespace {
struct ShiftData
{
    HWND hPage;
    int nBelow;  // screen y of the label's old bottom edge
    int nExtra;
};
} // namespace

void CTaskPage::GrowForLabel(CTaskPageLabel& label, CDC* pDC)
{
    CRect rcOld;
    int nExtra = label.GrowToFitText(pDC, &rcOld);
    if (nExtra <= 0)
        return;
    CRect rcPage;
    GetWindowRect(&rcPage);
    SetWindowPos(NULL, 0, 0, rcPage.Width(), rcPage.Height() + nExtra, SWP_NOMOVE | SWP_NOZORDER);
    ShiftData data = {m_hWnd, rcOld.bottom, nExtra};
    ::EnumChildWindows(m_hWnd, ShiftChildProc, (LPARAM)&data);
}

BOOL CALLBACK CTaskPage::ShiftChildProc(HWND hWnd, LPARAM lParam)
{
    ShiftData* pData = reinterpret_cast<ShiftData*>(lParam);
    RECT rc;
    ::GetWindowRect(hWnd, &rc);
    HWND hParent = ::GetParent(hWnd);
    if (rc.top >= pData->nBelow && hParent != NULL)
    {
        POINT pt = {rc.left, rc.top};
        ::ScreenToClient(hParent, &pt);
        ::SetWindowPos(hWnd, NULL, pt.x, pt.y + pData->nExtra, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    return TRUE;
}

void CTaskPage::OnPaint()
{
    CWnd* pDivider = m_nDividerID != 0xFFFFFFFF ? GetDlgItem(m_nDividerID) : NULL;
    if (pDivider != NULL)
    {
        PAINTSTRUCT ps;
        CDC* pDC = BeginPaint(&ps);
        CRect rcClient;
        GetClientRect(&rcClient);
        pDC->FillSolidRect(&rcClient, m_crBackground);
        CRect rcDivider;
        pDivider->GetWindowRect(&rcDivider);
        ScreenToClient(&rcDivider);
        pDC->FillSolidRect(rcClient.left, rcDivider.bottom, rcClient.Width(), 1, ::GetSysColor(COLOR_3DDKSHADOW));
        EndPaint(&ps);
    }
    Default();
}

HBRUSH CTaskPage::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH hBrush = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (m_nDividerID == 0xFFFFFFFF || nCtlColor == CTLCOLOR_DLG || pWnd == NULL)
        return hBrush;
    CWnd* pDivider = GetDlgItem(m_nDividerID);
    if (pDivider == NULL)
        return hBrush;
    CRect rcControl, rcDivider;
    pWnd->GetWindowRect(&rcControl);
    pDivider->GetWindowRect(&rcDivider);
    if (rcControl.top < rcDivider.top)
    {
        pDC->SetBkMode(TRANSPARENT);
        return m_hbrBackground;
    }
    return hBrush;
}

void CTaskPage::OnSysColorChange()
{
    m_crBackground = RGB(255, 255, 255);
    if (m_hbrBackground != NULL)
        ::DeleteObject(m_hbrBackground);
    m_hbrBackground = ::CreateSolidBrush(m_crBackground);
}
