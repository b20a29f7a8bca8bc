#include "framework/Dialog.h"
#include "framework/MessageLoop.h"
#include "framework/WinApp.h"
#include "framework/WndClass.h"

namespace {

// Posted to wake an idle modal loop; nobody handles it.
UINT WakeMessage()
{
    static const UINT s_nWake = ::RegisterWindowMessageW(L"TamselWakeModalLoop");
    return s_nWake;
}

} // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog()
    : m_lpszTemplateName(NULL), m_lpDialogTemplate(NULL), m_nIDHelp(0), m_pParentWnd(NULL), m_bModal(FALSE), m_bInModal(FALSE),
      m_bEndModal(false), m_nModalResult(-1)
{
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : CDialog()
{
    m_lpszTemplateName = MAKEINTRESOURCEW(nIDTemplate);
    m_nIDHelp = nIDTemplate;
    m_pParentWnd = pParentWnd;
}

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd) : CDialog()
{
    m_lpszTemplateName = lpszTemplateName;
    m_pParentWnd = pParentWnd;
}

CDialog::~CDialog()
{
    if (m_hWnd != NULL && FromHandlePermanent(m_hWnd) == this
        && GetWindowThreadProcessId(m_hWnd, NULL) == GetCurrentThreadId())
        DestroyWindow();
}

LPCDLGTEMPLATE CDialog::LoadTemplate(LPCTSTR lpszTemplateName) const
{
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hResource = ::FindResourceW(hInst, lpszTemplateName, (LPCWSTR)RT_DIALOG);
    if (hResource == NULL)
        return NULL;
    HGLOBAL hTemplate = ::LoadResource(hInst, hResource);
    return hTemplate != NULL ? (LPCDLGTEMPLATE)::LockResource(hTemplate) : NULL;
}

HWND CDialog::CreateFromTemplate(LPCDLGTEMPLATE lpTemplate, HWND hWndParent, bool* pbAttached)
{
    bool bAttached = false;
    AfxHookWindowCreate(this, pbAttached != NULL ? pbAttached : &bAttached);
    HWND hWnd = ::CreateDialogIndirectParamW(AfxGetResourceHandle(), lpTemplate, hWndParent, &AfxDlgProc, 0);
    AfxUnhookWindowCreate();
    // After a failure the object may be gone (released with its window).
    return hWnd;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    if (m_nIDHelp == 0)
        m_nIDHelp = nIDTemplate;
    return Create(MAKEINTRESOURCEW(nIDTemplate), pParentWnd);
}

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
{
    m_lpszTemplateName = lpszTemplateName;
    LPCDLGTEMPLATE lpTemplate = LoadTemplate(lpszTemplateName);
    if (lpTemplate == NULL)
        return FALSE;
    return CreateIndirect(lpTemplate, pParentWnd);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd)
{
    if (m_hWnd != NULL)
        return FALSE;
    if (pParentWnd != NULL)
        m_pParentWnd = pParentWnd;
    m_bModal = FALSE;
    HWND hWndParent = AfxGetSafeHwnd(m_pParentWnd);
    if (hWndParent == NULL)
        hWndParent = AfxGetSafeHwnd(AfxGetMainWnd());
    return CreateFromTemplate(lpDialogTemplate, hWndParent) != NULL;
}

INT_PTR CDialog::DoModal()
{
    if (m_hWnd != NULL)
        return -1;
    LPCDLGTEMPLATE lpTemplate = m_lpDialogTemplate != NULL ? m_lpDialogTemplate : LoadTemplate(m_lpszTemplateName);
    if (lpTemplate == NULL)
        return -1;

    // Owned by the top-level window of the parent (or the main window).
    HWND hWndParent = AfxGetSafeHwnd(m_pParentWnd);
    if (hWndParent == NULL)
    {
        CWnd* pMainWnd = AfxGetMainWnd();
        if (pMainWnd != this)
            hWndParent = AfxGetSafeHwnd(pMainWnd);
    }
    if (hWndParent != NULL)
        hWndParent = ::GetAncestor(hWndParent, GA_ROOT);
    BOOL bEnableParent = FALSE;
    if (hWndParent != NULL && ::IsWindowEnabled(hWndParent))
    {
        ::EnableWindow(hWndParent, FALSE);
        bEnableParent = TRUE;
    }

    m_bModal = TRUE;
    m_bEndModal = false;
    m_nModalResult = -1;
    bool bAttached = false;
    if (CreateFromTemplate(lpTemplate, hWndParent, &bAttached) == NULL)
    {
        if (bEnableParent)
            ::EnableWindow(hWndParent, TRUE);
        // The object went with its window when it was ever attached.
        if (!bAttached)
            m_bModal = FALSE;
        return -1;
    }
    {
        if (!m_bEndModal)
        {
            if (!(GetStyle() & WS_VISIBLE))
                ShowWindow(SW_SHOWNORMAL);
            RunModalLoop();
        }
        if (m_hWnd != NULL)
            ::SetWindowPos(m_hWnd, NULL, 0, 0, 0, 0,
                           SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    }
    // The parent gets its input back before we go, so activation returns to it.
    if (bEnableParent)
        ::EnableWindow(hWndParent, TRUE);
    if (hWndParent != NULL && m_hWnd != NULL && ::GetActiveWindow() == m_hWnd)
        ::SetActiveWindow(hWndParent);
    if (m_hWnd != NULL)
        DestroyWindow();
    m_bModal = FALSE;
    return m_nModalResult;
}

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd)
{
    m_lpDialogTemplate = lpDialogTemplate;
    if (pParentWnd != NULL)
        m_pParentWnd = pParentWnd;
    return lpDialogTemplate != NULL;
}

void CDialog::RunModalLoop()
{
    CMessageLoopScope loop;
    m_bInModal = TRUE;
    MSG msg;
    while (!m_bEndModal)
    {
        if (!::PeekMessageW(&msg, NULL, 0, 0, PM_NOREMOVE))
            AfxIdlePurge();
        BOOL bRet = ::GetMessageW(&msg, NULL, 0, 0);
        if (bRet == -1)
            continue;
        if (bRet == 0)
        {
            // Quit belongs to the outer loop: pass it on.
            ::PostQuitMessage((int)msg.wParam);
            m_nModalResult = -1;
            break;
        }
        CWinApp* pApp = AfxGetApp();
        if (pApp != NULL && pApp->PreTranslateMessage(&msg))
            continue;
        if (AfxWalkPreTranslateTree(m_hWnd, &msg))
            continue;
        if (m_hWnd != NULL && ::IsDialogMessageW(m_hWnd, &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
        if (m_hWnd == NULL)
            break;  // destroyed under us
    }
    m_bInModal = FALSE;
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    if (m_bModal)
    {
        m_bEndModal = true;
        // Wake the loop; EndDialog may come from another thread.
        HWND hWnd = m_hWnd;
        if (hWnd != NULL)
            ::PostMessageW(hWnd, WakeMessage(), 0, 0);
    }
    else if (m_hWnd != NULL)
    {
        ::ShowWindowAsync(m_hWnd, SW_HIDE);
    }
}

INT_PTR CALLBACK CDialog::AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    CDialog* pDlg = dynamic_cast<CDialog*>(FromHandlePermanent(hWnd));
    if (pDlg == NULL)
        return TRUE;
    try
    {
        return pDlg->OnInitDialog();
    }
    catch (...)
    {
        OutputDebugStringW(L"Tamsel: exception in OnInitDialog\n");
        return TRUE;
    }
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    // A modal loop runs IsDialogMessage itself; a top-level modeless dialog
    // needs it here for its keyboard interface.
    if (m_bInModal || (GetStyle() & WS_CHILD))
        return FALSE;
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST)
        return ::IsDialogMessageW(m_hWnd, pMsg);
    return FALSE;
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (CWnd::OnCommand(wParam, lParam))
        return TRUE;
    CWinApp* pApp = AfxGetApp();
    if (pApp == NULL)
        return FALSE;
    UINT nCode = HIWORD(wParam);
    if (lParam == 0 && nCode == 1)
        nCode = 0;
    AFX_MSGCALL call = { WM_COMMAND, wParam, lParam, LOWORD(wParam), 0 };
    return pApp->DispatchMapMessage(AfxKind_Command, call, nCode);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return !dx.m_bFail;
}

DWORD CDialog::GetDefID() const
{
    return (DWORD)::SendMessageW(m_hWnd, DM_GETDEFID, 0, 0);
}

void CDialog::SetDefID(UINT nID)
{
    ::SendMessageW(m_hWnd, DM_SETDEFID, nID, 0);
}

void CDialog::NextDlgCtrl() const
{
    ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, 0, 0);
}

void CDialog::PrevDlgCtrl() const
{
    ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, 1, 0);
}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl)
{
    ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, (WPARAM)AfxGetSafeHwnd(pWndCtrl), 1);
}

void CDialog::MapDialogRect(LPRECT lpRect) const
{
    ::MapDialogRect(m_hWnd, lpRect);
}
