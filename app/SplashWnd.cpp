#include "app/SplashWnd.h"
#include "framework/Dc.h"
#include "resources/main_window/MainWindowIds.h"

BOOL CSplashWnd::c_bShowSplashWnd = FALSE;
CSplashWnd* CSplashWnd::c_pSplashWnd = NULL;

BEGIN_MESSAGE_MAP(CSplashWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_TIMER()
END_MESSAGE_MAP()

CSplashWnd::~CSplashWnd()
{
    if (c_pSplashWnd == this)
        c_pSplashWnd = NULL;
}

void CSplashWnd::EnableSplashScreen(BOOL bEnable)
{
    c_bShowSplashWnd = bEnable;
}

void CSplashWnd::ShowSplashScreen(CWnd* pParentWnd)
{
    if (!c_bShowSplashWnd || c_pSplashWnd != NULL)
        return;
    c_pSplashWnd = new CSplashWnd;
    if (!c_pSplashWnd->Create(pParentWnd))
    {
        delete c_pSplashWnd;
        c_pSplashWnd = NULL;
        return;
    }
    c_pSplashWnd->UpdateWindow();
}

BOOL CSplashWnd::PreTranslateAppMessage(MSG* pMsg)
{
    if (c_pSplashWnd == NULL || c_pSplashWnd->m_hWnd == NULL)
        return FALSE;
    switch (pMsg->message)
    {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        c_pSplashWnd->HideSplashScreen();
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CSplashWnd::Create(CWnd* pParentWnd)
{
    if (!m_bitmap.LoadBitmap(IDB_SPLASH))
        return FALSE;
    BITMAP bm = {};
    m_bitmap.GetBitmap(&bm);
    LPCTSTR lpszClass = AfxRegisterWndClass(0, ::LoadCursorW(NULL, IDC_ARROW));
    // A popup that is never activated and has no task-bar button: the window
    // manager (and Wine without one) leaves it alone, so it shows and goes
    // at once instead of waiting for a manager to take and release it.
    if (!CreateEx(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, lpszClass, NULL, WS_POPUP, 0, 0, bm.bmWidth, bm.bmHeight,
                  pParentWnd != NULL ? AfxGetSafeHwnd(pParentWnd) : NULL, NULL))
        return FALSE;
    ShowWindow(SW_SHOWNOACTIVATE);
    return TRUE;
}

void CSplashWnd::HideSplashScreen()
{
    // Hidden without passing the activation on, then destroyed.
    SetWindowPos(NULL, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    DestroyWindow();
    CWnd* pMain = AfxGetMainWnd();
    if (pMain != NULL && pMain->m_hWnd != NULL)
        pMain->UpdateWindow();
}

void CSplashWnd::PostNcDestroy()
{
    delete this;
}

int CSplashWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    CenterWindow();
    SetTimer(1, 500);
    return 0;
}

void CSplashWnd::OnPaint()
{
    PAINTSTRUCT ps;
    CDC* pDC = BeginPaint(&ps);
    CDC dcImage;
    if (dcImage.CreateCompatibleDC(pDC))
    {
        BITMAP bm = {};
        m_bitmap.GetBitmap(&bm);
        CBitmap* pOld = dcImage.SelectObject(&m_bitmap);
        pDC->BitBlt(0, 0, bm.bmWidth, bm.bmHeight, &dcImage, 0, 0, SRCCOPY);
        dcImage.SelectObject(pOld);
    }
    EndPaint(&ps);
}

void CSplashWnd::OnTimer(UINT_PTR)
{
    HideSplashScreen();
}
