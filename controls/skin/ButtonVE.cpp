#include "controls/skin/ButtonVE.h"

#include "controls/skin/VisualStyles.h"

#include <vsstyle.h>

BEGIN_MESSAGE_MAP(CButtonVE, CButton)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_ERASEBKGND()
    ON_WM_GETDLGCODE()
    ON_WM_KILLFOCUS()
    ON_WM_TIMER()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_LBUTTONUP()
    ON_MESSAGE(BM_SETSTYLE, OnSetStyle)
    ON_MESSAGE(BM_SETCHECK, OnSetCheck)
    ON_MESSAGE(BM_GETCHECK, OnGetCheck)
    ON_MESSAGE(WM_UPDATEUISTATE, OnUpdateUIState)
END_MESSAGE_MAP()

CButtonVE::CButtonVE()
    : m_nAnimationSupport(-1), m_bHoverTimer(FALSE), m_bSelfOwned(FALSE), m_bHot(FALSE), m_sizeMargins(0, 0),
      m_hNotifyWnd(NULL), m_nVisualState(-1), m_bChecked(FALSE), m_nTransitionSteps(0), m_nTransitionAlpha(25),
      m_bCustomBackground(FALSE), m_crBackground(GetSysColor(COLOR_BTNFACE)), m_hParentBrush(NULL)
{
}

CButtonVE::~CButtonVE()
{
}

void CButtonVE::SetBackgroundColor(COLORREF crBackground)
{
    m_bCustomBackground = TRUE;
    m_crBackground = crBackground;
    Repaint();
}

void CButtonVE::Repaint()
{
    if (m_hWnd != NULL && ::IsWindow(m_hWnd))
        Invalidate(FALSE);
}

void CButtonVE::DropPreviousLook()
{
    m_bmpPrevious.DeleteObject();
    m_nTransitionSteps = 0;
}

BOOL CButtonVE::IsAnimationSupported()
{
    if (m_nAnimationSupport == -1)
    {
        OSVERSIONINFOW vi = { sizeof(vi) };
        ::GetVersionExW(&vi);
        m_nAnimationSupport = (vi.dwPlatformId == VER_PLATFORM_WIN32_NT && vi.dwMajorVersion > 5) ? 1 : 0;
    }
    return m_nAnimationSupport == 1;
}

BOOL CButtonVE::HotTest() const
{
    if (m_hWnd == NULL)
        return FALSE;
    HWND hCapture = ::GetCapture();
    if (hCapture != NULL && hCapture != m_hWnd)
        return FALSE;
    POINT pt;
    ::GetCursorPos(&pt);
    CRect rcWindow;
    ::GetWindowRect(m_hWnd, &rcWindow);
    if (!rcWindow.PtInRect(pt))
        return FALSE;
    HWND hUnder = ::WindowFromPoint(pt);
    if (hUnder == NULL || !::IsWindowEnabled(hUnder))
        return FALSE;
    if (hUnder == m_hWnd)
        return TRUE;
    POINT ptClient = pt;
    ::ScreenToClient(hUnder, &ptClient);
    return ::ChildWindowFromPointEx(hUnder, ptClient, CWP_ALL) == m_hWnd;
}

CString CButtonVE::StripMnemonics(const CString& strText)
{
    CString strResult;
    int nLength = strText.GetLength();
    for (int i = 0; i < nLength; i++)
    {
        WCHAR ch = strText[i];
        if (ch == L'&')
        {
            if (i + 1 < nLength && strText[i + 1] == L'&')
            {
                strResult += L'&';
                i++;
            }
            continue;
        }
        strResult += ch;
    }
    return strResult;
}

CSize CButtonVE::CalcTextSize(CDC* pDC, const CString& strText, UINT nFlags)
{
    CString strPlain = StripMnemonics(strText);
    if (strPlain.Find(L'\n') < 0 || (nFlags & DT_SINGLELINE))
        return pDC->GetTextExtent(strPlain);
    CSize size(0, 0);
    int nStart = 0;
    while (nStart <= strPlain.GetLength())
    {
        int nEnd = strPlain.Find(L'\n', nStart);
        if (nEnd < 0)
            nEnd = strPlain.GetLength();
        CSize sizeLine = pDC->GetTextExtent(strPlain.Mid(nStart, nEnd - nStart));
        if (sizeLine.cx > size.cx)
            size.cx = sizeLine.cx;
        nStart = nEnd + 1;
    }
    CRect rcCalc(0, 0, 0x7FFF, 0);
    pDC->DrawText(strText, &rcCalc, (nFlags & ~(DT_VCENTER | DT_BOTTOM)) | DT_CALCRECT);
    size.cy = rcCalc.Height();
    return size;
}

void CButtonVE::DrawCaptionText(CDC* pDC, HTHEME hTheme, UINT nUIState, const CString& strText, CRect rcText,
                                UINT nFlags, BOOL bEnabled)
{
    pDC->SetBkMode(TRANSPARENT);
    CRect rcCalc = rcText;
    pDC->DrawText(strText, &rcCalc, (nFlags & ~(DT_VCENTER | DT_BOTTOM)) | DT_CALCRECT);
    if (nFlags & DT_VCENTER)
        rcText.top += (rcText.Height() - rcCalc.Height()) / 2;
    else if (nFlags & DT_BOTTOM)
        rcText.top = rcText.bottom - rcCalc.Height();
    nFlags &= ~(DT_VCENTER | DT_BOTTOM);

    CString strDraw = strText;
    if (nFlags & DT_SINGLELINE)
        strDraw.Replace(L'\n', L' ');
    if (nUIState & UISF_HIDEACCEL)
        nFlags |= DT_HIDEPREFIX;

    if (hTheme == NULL)
    {
        pDC->SetBkColor(m_crBackground);
        if (bEnabled)
        {
            pDC->SetTextColor(GetSysColor(COLOR_BTNTEXT));
            pDC->DrawText(strDraw, &rcText, nFlags);
        }
        else
        {
            CRect rcShadow = rcText;
            rcShadow.OffsetRect(1, 1);
            pDC->SetTextColor(GetSysColor(COLOR_3DHILIGHT));
            pDC->DrawText(strDraw, &rcShadow, nFlags);
            pDC->SetTextColor(GetSysColor(COLOR_3DSHADOW));
            pDC->DrawText(strDraw, &rcText, nFlags);
        }
        return;
    }
    g_VisualStyles.DrawThemeText(hTheme, pDC->m_hDC, BP_PUSHBUTTON, m_nVisualState, (LPCWSTR)strDraw, -1, nFlags, 0,
                                 &rcText);
}

void CButtonVE::DrawContent(CDC* pDC, HTHEME hTheme, UINT nUIState, const CRect&, const CRect&, CRect rcText,
                            UINT nFlags, BOOL bEnabled)
{
    CString strText;
    GetWindowText(strText);
    if (strText.IsEmpty())
        return;
    CFont font;
    font.CreateFont(14, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Verdana");
    CFont* pOldFont = pDC->SelectObject(&font);
    DrawCaptionText(pDC, hTheme, nUIState, strText, rcText, nFlags, bEnabled);
    pDC->SelectObject(pOldFont);
}

void CButtonVE::FillBackground(CDC* pWorkDC, const CRect& rect)
{
    if (m_hParentBrush != NULL && !m_bCustomBackground)
        ::FillRect(pWorkDC->m_hDC, &rect, m_hParentBrush);
    else
        pWorkDC->FillSolidRect(&rect, m_crBackground);
}

void CButtonVE::DrawThemedBackground(CDC*, CDC* pWorkDC, HTHEME hTheme, int nState, const CRect& rect,
                                     CRect& rcContent)
{
    if (g_VisualStyles.IsThemeBackgroundPartiallyTransparent(hTheme, BP_PUSHBUTTON, nState))
    {
        CRect rcParent = rect;
        g_VisualStyles.DrawThemeParentBackground(m_hWnd, pWorkDC->m_hDC, &rcParent);
    }
    g_VisualStyles.DrawThemeBackground(hTheme, pWorkDC->m_hDC, BP_PUSHBUTTON, nState, &rect, NULL);
    if (g_VisualStyles.GetThemeBackgroundContentRect(hTheme, pWorkDC->m_hDC, BP_PUSHBUTTON, nState, &rect,
                                                     &rcContent) != S_OK)
        rcContent = rect;
}

void CButtonVE::DrawTransition(CDC*, CDC* pWorkDC, HTHEME, int, const CRect& rect, const CRect&)
{
    if (!IsAnimationSupported() || m_nTransitionSteps <= 0 || m_bmpPrevious.m_hObject == NULL)
        return;
    CBitmapDC dcPrevious(&m_bmpPrevious, pWorkDC);
    if (!dcPrevious.IsValid())
        return;
    CRect rcSource(0, 0, rect.Width(), rect.Height());
    m_alphaBlender.AlphaBlend(pWorkDC, rect, &dcPrevious, rcSource, m_nTransitionSteps * m_nTransitionAlpha);
}

void CButtonVE::DrawPlainBackground(CDC*, CDC* pWorkDC, BOOL, UINT nFrameFlags, const CRect& rect, CRect& rcContent)
{
    FillBackground(pWorkDC, rect);
    CRect rcFrame = rect;
    pWorkDC->DrawFrameControl(&rcFrame, DFC_BUTTON, nFrameFlags);
    rcContent = rect;
    rcContent.DeflateRect(GetSystemMetrics(SM_CXEDGE), GetSystemMetrics(SM_CYEDGE));
}

HTHEME CButtonVE::OpenButtonTheme()
{
    if (g_VisualStyles.IsAppThemed() && g_VisualStyles.IsThemeActive())
        return g_VisualStyles.OpenThemeData(m_hWnd, L"Button");
    return NULL;
}

LRESULT CButtonVE::OnUIStateChanged(WPARAM, LPARAM)
{
    Repaint();
    return Default();
}

void CButtonVE::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    DWORD dwStyle = GetStyle();
    if ((dwStyle & BS_TYPEMASK) != BS_OWNERDRAW)
        return;
    if (!m_bHoverTimer)
    {
        SetTimer(HOVER_TIMER_ID, HOVER_TIMER_MS);
        m_bHoverTimer = TRUE;
    }

    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    CRect rcClient;
    GetClientRect(&rcClient);
    CBitmapDC dcWork(pDC, rcClient);
    if (!dcWork.IsValid())
        return;

    m_hParentBrush = NULL;
    if (CWnd* pParent = GetParent())
        m_hParentBrush = (HBRUSH)::SendMessageW(pParent->m_hWnd, WM_CTLCOLORBTN, (WPARAM)dcWork.m_hDC, (LPARAM)m_hWnd);
    LRESULT lUIState = SendMessage(WM_QUERYUISTATE);
    UINT nUIState = lUIState < 0 ? 0 : (UINT)lUIState;
    UINT nState = GetState();
    BOOL bEnabled = IsWindowEnabled();
    m_bHot = HotTest();
    BOOL bPushed = (nState & BST_PUSHED) != 0;
    BOOL bLooksPressed = bPushed || ((dwStyle & BS_PUSHLIKE) && m_bChecked);
    if (!bEnabled)
        m_bHot = bPushed = bLooksPressed = FALSE;

    HTHEME hTheme = OpenButtonTheme();

    CRect rcContent = rcClient, rcText;
    if (hTheme == NULL)
    {
        UINT nFrameFlags = DFCS_BUTTONPUSH;
        if (!bEnabled)
            nFrameFlags |= DFCS_INACTIVE;
        else if (bLooksPressed)
            nFrameFlags |= DFCS_PUSHED;
        if ((dwStyle & BS_PUSHLIKE) && m_bChecked && !bPushed)
            nFrameFlags |= DFCS_CHECKED;
        DrawPlainBackground(pDC, &dcWork, FALSE, nFrameFlags, rcClient, rcContent);
        rcText = rcContent;
        if (bPushed)
            rcText.OffsetRect(1, 1);
        rcText.top -= 1;
    }
    else
    {
        int nNewState = !bEnabled ? PBS_DISABLED : bLooksPressed ? PBS_PRESSED : m_bHot ? PBS_HOT : PBS_NORMAL;
        if (IsAnimationSupported() && m_nVisualState != -1 && nNewState != m_nVisualState)
        {
            CBitmap bmpSnapshot;
            if (bmpSnapshot.CreateCompatibleBitmap(pDC, rcClient.Width(), rcClient.Height()))
            {
                {
                    CBitmapDC dcSnapshot(&bmpSnapshot, pDC);
                    CRect rcIgnored;
                    DrawThemedBackground(pDC, &dcSnapshot, hTheme, m_nVisualState, rcClient, rcIgnored);
                    DrawTransition(pDC, &dcSnapshot, hTheme, m_nVisualState, rcClient, rcIgnored);
                }
                m_bmpPrevious.DeleteObject();
                m_bmpPrevious.Attach(bmpSnapshot.Detach());
                switch (nNewState)
                {
                case PBS_NORMAL:
                    m_nTransitionSteps = m_nVisualState == PBS_HOT ? 20 : 4;
                    break;
                case PBS_HOT:
                    m_nTransitionSteps = m_nVisualState == PBS_PRESSED ? 4 : 2;
                    break;
                case PBS_PRESSED:
                    m_nTransitionSteps = 2;
                    break;
                default:
                    m_nTransitionSteps = 4;
                    break;
                }
                m_nTransitionAlpha = 250 / m_nTransitionSteps;
            }
        }
        m_nVisualState = nNewState;
        DrawThemedBackground(pDC, &dcWork, hTheme, nNewState, rcClient, rcContent);
        DrawTransition(pDC, &dcWork, hTheme, nNewState, rcClient, rcContent);
        rcText = rcContent;
    }
    if (hTheme == NULL)
        m_nVisualState = !bEnabled ? PBS_DISABLED : bLooksPressed ? PBS_PRESSED : m_bHot ? PBS_HOT : PBS_NORMAL;

    rcText.DeflateRect(m_sizeMargins.cx, m_sizeMargins.cy);

    UINT nFlags = 0;
    switch (dwStyle & BS_CENTER)
    {
    case BS_LEFT:
        nFlags |= DT_LEFT;
        break;
    case BS_RIGHT:
        nFlags |= DT_RIGHT;
        break;
    default:
        nFlags |= DT_CENTER;
        break;
    }
    switch (dwStyle & BS_VCENTER)
    {
    case BS_TOP:
        nFlags |= DT_TOP;
        break;
    case BS_BOTTOM:
        nFlags |= DT_BOTTOM;
        break;
    default:
        nFlags |= DT_VCENTER;
        break;
    }
    if (!(dwStyle & BS_MULTILINE))
        nFlags |= DT_SINGLELINE;

    DrawContent(&dcWork, hTheme, nUIState, rcClient, rcContent, rcText, nFlags, bEnabled);
    if (hTheme != NULL)
        g_VisualStyles.CloseThemeData(hTheme);
}

int CButtonVE::OnCreate(LPCREATESTRUCT)
{
    // Recorded only: a window this button creates itself is still owned by
    // whoever holds the object, so the object never deletes itself.
    m_bSelfOwned = TRUE;
    return (int)Default();
}

void CButtonVE::OnDestroy()
{
    KillTimer(HOVER_TIMER_ID);
    m_bHoverTimer = FALSE;
    DropPreviousLook();
    Default();
}

void CButtonVE::OnSysColorChange()
{
    Default();
    DropPreviousLook();
    if (!m_bCustomBackground)
        m_crBackground = GetSysColor(COLOR_BTNFACE);
    RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
}

BOOL CButtonVE::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

UINT CButtonVE::OnGetDlgCode()
{
    return DLGC_BUTTON;
}

void CButtonVE::OnKillFocus(CWnd*)
{
    Default();
    Repaint();
}

void CButtonVE::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != HOVER_TIMER_ID)
    {
        Default();
        return;
    }
    BOOL bHot = HotTest();
    if (bHot != m_bHot)
    {
        m_bHot = bHot;
        Repaint();
    }
    if (IsAnimationSupported() && m_nTransitionSteps > 0)
    {
        m_nTransitionSteps--;
        Repaint();
    }
}

void CButtonVE::OnLButtonDown(UINT, CPoint)
{
    Default();
}

void CButtonVE::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    SendMessage(WM_LBUTTONDOWN, nFlags, MAKELPARAM(point.x, point.y));
    Default();
}

void CButtonVE::OnLButtonUp(UINT, CPoint)
{
    if (GetState() & BST_PUSHED)
    {
        if (GetStyle() & BS_PUSHLIKE)
            m_bChecked = !m_bChecked;
        else
            m_bChecked = FALSE;
        HWND hParent = ::GetParent(m_hWnd);
        if (m_hNotifyWnd != NULL && m_hNotifyWnd != hParent)
        {
            WORD wCode = (GetStyle() & BS_NOTIFY) ? 5 : 0;
            ::SendMessageW(m_hNotifyWnd, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), wCode), (LPARAM)m_hWnd);
        }
    }
    Default();
}

LRESULT CButtonVE::OnSetStyle(WPARAM wParam, LPARAM lParam)
{
    return DefWindowProc(BM_SETSTYLE, (wParam & ~(WPARAM)BS_TYPEMASK) | BS_OWNERDRAW, lParam);
}

LRESULT CButtonVE::OnSetCheck(WPARAM wParam, LPARAM)
{
    m_bChecked = wParam != BST_UNCHECKED;
    Repaint();
    return 0;
}

LRESULT CButtonVE::OnGetCheck(WPARAM, LPARAM)
{
    return m_bChecked ? BST_CHECKED : BST_UNCHECKED;
}

LRESULT CButtonVE::OnUpdateUIState(WPARAM wParam, LPARAM lParam)
{
    return OnUIStateChanged(wParam, lParam);
}
