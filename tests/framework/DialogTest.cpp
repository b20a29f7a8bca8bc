#include "framework/Afx.h"
#include "framework/Dc.h"
#include "tests/framework/WindowTestHelpers.h"
#include "tests/framework/data/WindowTestIds.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace windowtest;
using testsupport::MessageBoxRecorder;

namespace {

class CDdxDialog : public CDialog
{
public:
    CDdxDialog() : CDialog(IDD_TEST_DDX) {}
    int m_bEnabled = TRUE;
    CString m_strName = L"Alpha";
    int m_nCount = 7;
    int m_nChoice = 2;
    BOOL m_bInitDialogRan = FALSE;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Check(pDX, IDC_TEST_CHECK, m_bEnabled);
        DDX_Text(pDX, IDC_TEST_NAME, m_strName);
        DDX_Text(pDX, IDC_TEST_COUNT, m_nCount);
        DDX_Radio(pDX, IDC_TEST_RADIO1, m_nChoice);
    }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_bInitDialogRan = TRUE;
        return TRUE;
    }
};

CString ItemText(CWnd& dlg, int nID)
{
    CString strText;
    dlg.GetDlgItemText(nID, strText);
    return strText;
}

} // namespace

// The template comes from the resources; DDX fills the controls on entry and
// reads them back on OK.
TEST(Dialog, ModalWithDataExchange)
{
    CDdxDialog dlg;
    CString strShownName;
    int nShownCount = 0;
    UINT nShownCheck = 0;
    int nShownRadio = 0;
    CLoopScript::Run([&] {
        ASSERT_NE(dlg.m_hWnd, (HWND)NULL);
        strShownName = ItemText(dlg, IDC_TEST_NAME);
        nShownCount = (int)dlg.GetDlgItemInt(IDC_TEST_COUNT);
        nShownCheck = dlg.IsDlgButtonChecked(IDC_TEST_CHECK);
        nShownRadio = dlg.GetCheckedRadioButton(IDC_TEST_RADIO1, IDC_TEST_RADIO3);
        // The user's edits.
        dlg.CheckDlgButton(IDC_TEST_CHECK, BST_UNCHECKED);
        dlg.SetDlgItemText(IDC_TEST_NAME, L"Beta");
        dlg.SetDlgItemText(IDC_TEST_COUNT, L" -12 ");
        dlg.CheckRadioButton(IDC_TEST_RADIO1, IDC_TEST_RADIO3, IDC_TEST_RADIO1);
        ::SendMessageW(dlg.GetDlgItem(IDOK)->m_hWnd, BM_CLICK, 0, 0);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(dlg.m_bInitDialogRan);
    EXPECT_STREQ(strShownName, L"Alpha");
    EXPECT_EQ(nShownCount, 7);
    EXPECT_EQ(nShownCheck, (UINT)BST_CHECKED);
    EXPECT_EQ(nShownRadio, IDC_TEST_RADIO3);
    EXPECT_EQ(dlg.m_bEnabled, 0);
    EXPECT_STREQ(dlg.m_strName, L"Beta");
    EXPECT_EQ(dlg.m_nCount, -12);
    EXPECT_EQ(dlg.m_nChoice, 0);
    EXPECT_EQ(dlg.m_hWnd, (HWND)NULL);
}

// A number that does not parse keeps the dialog open, says so, and leaves
// the member alone; Cancel (the Escape key) ends it without reading controls.
TEST(Dialog, InvalidNumberKeepsDialogOpen)
{
    MessageBoxRecorder recorder;
    CDdxDialog dlg;
    CLoopScript::Run([&] {
        dlg.SetDlgItemText(IDC_TEST_COUNT, L"12abc");
        dlg.SetDlgItemText(IDC_TEST_NAME, L"Changed");
        dlg.SendMessage(WM_COMMAND, IDOK, 0);
        HWND hWndFocus = ::GetFocus();
        EXPECT_EQ(hWndFocus, ::GetDlgItem(dlg.m_hWnd, IDC_TEST_COUNT));
        ::PostMessageW(hWndFocus, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    // IDOK would mean the failed OK had ended it.
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_EQ(recorder.Count(), 1u);
    EXPECT_EQ(recorder.LastText(), L"Please enter an integer.");
    EXPECT_EQ(dlg.m_nCount, 7);
}

namespace {

std::vector<std::wstring>* s_pOrder = NULL;

class CRecordingApp : public CWinApp
{
public:
    CRecordingApp() : CWinApp(L"Tamsel Test") {}
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (s_pOrder != NULL && pMsg->message == WM_KEYDOWN)
            s_pOrder->push_back(L"app");
        return FALSE;
    }
};

class CRecordingEdit : public CWnd
{
public:
    BOOL m_bSwallow = FALSE;
    int m_nKeys = 0;
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message != WM_KEYDOWN)
            return FALSE;
        s_pOrder->push_back(L"edit");
        return m_bSwallow;
    }

protected:
    afx_msg void OnKeyDown(UINT, UINT, UINT) { ++m_nKeys; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRecordingEdit, CWnd)
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

class CRecordingDialog : public CDialog
{
public:
    CRecordingDialog() : CDialog(IDD_TEST_PLAIN) {}
    CRecordingEdit m_edit;
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN)
            s_pOrder->push_back(L"dialog");
        return CDialog::PreTranslateMessage(pMsg);
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_TEST_NAME, m_edit); }
};

} // namespace

// Each message is offered to the application, then to the windows from its
// target up to the dialog, before the dialog's keyboard interface sees it.
TEST(Dialog, PreTranslateMessageOrderInModalLoop)
{
    CRecordingApp app;
    std::vector<std::wstring> vecOrder;
    s_pOrder = &vecOrder;
    CRecordingDialog dlg;
    CLoopScript::Run([&] {
        EXPECT_EQ(CWnd::FromHandlePermanent(::GetDlgItem(dlg.m_hWnd, IDC_TEST_NAME)), &dlg.m_edit);
        dlg.m_edit.PostMessage(WM_KEYDOWN, 'A', 0);
        CLoopScript::Run([&] {
            EXPECT_EQ(vecOrder, (std::vector<std::wstring>{ L"app", L"edit", L"dialog" }));
            EXPECT_EQ(dlg.m_edit.m_nKeys, 1);
            // Taken by the control: the dialog never sees it, the edit gets no key.
            vecOrder.clear();
            dlg.m_edit.m_bSwallow = TRUE;
            dlg.m_edit.PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
            CLoopScript::Run([&] {
                EXPECT_EQ(vecOrder, (std::vector<std::wstring>{ L"app", L"edit" }));
                EXPECT_EQ(dlg.m_edit.m_nKeys, 1);
                dlg.EndDialog(55);
            });
        });
    });
    EXPECT_EQ(dlg.DoModal(), 55);
    s_pOrder = NULL;
}

namespace {

struct CEndFromWorker
{
    CDialog* pDlg;
    HANDLE hLoopRunning;
};

UINT __cdecl EndDialogThreadProc(LPVOID pParam)
{
    CEndFromWorker* pWork = (CEndFromWorker*)pParam;
    ::WaitForSingleObject(pWork->hLoopRunning, 10000);
    // Let the loop go back to sleep in GetMessage before ending it.
    ::Sleep(100);
    pWork->pDlg->EndDialog(77);
    return 0;
}

} // namespace

// EndDialog from a worker thread wakes the idle modal loop and ends it.
TEST(Dialog, EndDialogFromWorkerThread)
{
    CDialog dlg(IDD_TEST_PLAIN);
    CEndFromWorker work = { &dlg, ::CreateEventW(NULL, TRUE, FALSE, NULL) };
    CWinThread* pThread = NULL;
    CLoopScript::Run([&] {
        pThread = AfxBeginThread(&EndDialogThreadProc, &work, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
        ASSERT_NE(pThread, (CWinThread*)NULL);
        pThread->m_bAutoDelete = FALSE;
        pThread->ResumeThread();
        ::SetEvent(work.hLoopRunning);
    });
    EXPECT_EQ(dlg.DoModal(), 77);
    ASSERT_NE(pThread, (CWinThread*)NULL);
    EXPECT_EQ(::WaitForSingleObject(pThread->m_hThread, 10000), WAIT_OBJECT_0);
    delete pThread;
    ::CloseHandle(work.hLoopRunning);
}

// WM_QUIT ends the modal loop and is posted again for the outer loop.
TEST(Dialog, QuitEndsModalLoopAndIsReposted)
{
    CDialog dlg(IDD_TEST_PLAIN);
    CLoopScript::Run([] { ::PostQuitMessage(3); });
    EXPECT_EQ(dlg.DoModal(), -1);
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, (WPARAM)3);
}

namespace {

class CPaintHost : public CWnd
{
public:
    INT_PTR m_nModalResult = 0;
    int m_nPaints = 0;
    BOOL m_bParentDisabledDuringModal = FALSE;

protected:
    afx_msg void OnPaint()
    {
        CPaintDC dc(this);
        if (++m_nPaints != 1)
            return;
        // As the repair dialog does: a modal dialog from the first paint.
        CDialog dlg(IDD_TEST_PLAIN, this);
        CLoopScript::Run([&] {
            m_bParentDisabledDuringModal = !IsWindowEnabled();
            dlg.EndDialog(IDOK);
        });
        m_nModalResult = dlg.DoModal();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPaintHost, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

} // namespace

// A modal dialog entered from WM_PAINT runs, disables its parent meanwhile
// and gives it back enabled.
TEST(Dialog, ModalFromPaintHandler)
{
    CPaintHost host;
    ASSERT_TRUE(CreateTopLevel(host));
    EXPECT_TRUE(testsupport::WaitFor([&] { return host.m_nModalResult != 0; }));
    EXPECT_EQ(host.m_nModalResult, IDOK);
    EXPECT_TRUE(host.m_bParentDisabledDuringModal);
    EXPECT_TRUE(host.IsWindowEnabled());
    host.DestroyWindow();
}

namespace {

class COwnerDrawButton : public CWnd
{
public:
    int m_nDraws = 0;
    UINT m_nLastCtlID = 0;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override
    {
        ++m_nDraws;
        m_nLastCtlID = lpDrawItemStruct->CtlID;
        ::FillRect(lpDrawItemStruct->hDC, &lpDrawItemStruct->rcItem, (HBRUSH)::GetStockObject(BLACK_BRUSH));
    }
};

class COwnerDrawDialog : public CDialog
{
public:
    COwnerDrawDialog() : CDialog(IDD_TEST_OWNERDRAW) {}
    COwnerDrawButton m_btnDrawn;
    std::vector<int> m_vecParentDraws;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_TEST_OWNERDRAW, m_btnDrawn); }
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
    {
        m_vecParentDraws.push_back(nIDCtl);
        CWnd::OnDrawItem(nIDCtl, lpDrawItemStruct);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(COwnerDrawDialog, CDialog)
    ON_WM_DRAWITEM()
END_MESSAGE_MAP()

} // namespace

// The subclassed owner-drawn button draws itself; the plain one is still the
// parent's to draw.
TEST(Dialog, OwnerDrawnButtonReceivesDrawItem)
{
    COwnerDrawDialog dlg;
    CLoopScript::Run([&] {
        dlg.UpdateWindow();
        EXPECT_TRUE(testsupport::WaitFor([&] { return dlg.m_btnDrawn.m_nDraws > 0 && !dlg.m_vecParentDraws.empty(); }));
        dlg.EndDialog(IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_GT(dlg.m_btnDrawn.m_nDraws, 0);
    EXPECT_EQ(dlg.m_btnDrawn.m_nLastCtlID, (UINT)IDC_TEST_OWNERDRAW);
    for (int nID : dlg.m_vecParentDraws)
        EXPECT_EQ(nID, IDC_TEST_OWNERDRAW_PLAIN);
    EXPECT_EQ(dlg.m_btnDrawn.m_hWnd, (HWND)NULL);
}

// Modeless: created hidden-or-visible as the template says, EndDialog hides.
TEST(Dialog, ModelessCreateAndEnd)
{
    CWnd host;
    ASSERT_TRUE(CreateTopLevel(host));
    CDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST_OWNERDRAW, &host));
    EXPECT_TRUE(dlg.IsWindowVisible());
    EXPECT_EQ(dlg.GetParent(), &host);
    EXPECT_EQ(dlg.GetDefID(), (DWORD)MAKELONG(IDOK, DC_HASDEFID));
    dlg.EndDialog(IDCANCEL);
    EXPECT_TRUE(testsupport::WaitFor([&] { return !dlg.IsWindowVisible(); }));
    EXPECT_FALSE(CDialog().Create(9999, &host));
    host.DestroyWindow();
    EXPECT_EQ(dlg.m_hWnd, (HWND)NULL);
}

namespace {

// Binds a control the template lacks between two it has.
class CMissingControlDialog : public CDialog
{
public:
    CMissingControlDialog() : CDialog(IDD_TEST_DDX) {}
    CWnd m_wndName, m_wndMissing, m_wndCount;
    BOOL m_bExchanged = FALSE;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_TEST_NAME, m_wndName);
        DDX_Control(pDX, 4321, m_wndMissing);
        DDX_Control(pDX, IDC_TEST_COUNT, m_wndCount);
    }
    BOOL OnInitDialog() override
    {
        m_bExchanged = UpdateData(FALSE);
        return TRUE;
    }
};

} // namespace

// A missing control fails the exchange but does not leave the later ones unbound.
TEST(Dialog, AMissingControlIsReportedAndSkipsNothingElse)
{
    CWnd host;
    ASSERT_TRUE(CreateTopLevel(host));
    CMissingControlDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST_DDX, &host));
    EXPECT_FALSE(dlg.m_bExchanged);
    EXPECT_NE(dlg.m_wndName.m_hWnd, (HWND)NULL);
    EXPECT_EQ(dlg.m_wndMissing.m_hWnd, (HWND)NULL);
    EXPECT_EQ(dlg.m_wndCount.m_hWnd, ::GetDlgItem(dlg.m_hWnd, IDC_TEST_COUNT));
    host.DestroyWindow();
}

// Every message box goes through the one handler: caption, text, flags, answers.
TEST(MessageBoxes, AnsweredThroughRecorder)
{
    CRecordingApp app;
    MessageBoxRecorder recorder;
    recorder.QueueAnswer(IDNO);
    EXPECT_EQ(AfxMessageBox(L"Remove it?", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(AfxMessageBox(IDS_TEST_PROMPT), IDOK);

    CWnd wnd;
    ASSERT_TRUE(CreateTopLevel(wnd));
    recorder.QueueAnswer(IDRETRY);
    EXPECT_EQ(wnd.MessageBox(L"From a window", L"Own caption", MB_RETRYCANCEL), IDRETRY);
    EXPECT_EQ(wnd.MessageBox(L"Default caption"), IDOK);

    std::vector<testsupport::RecordedMessageBox> boxes = recorder.Boxes();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].strText, L"Remove it?");
    EXPECT_EQ(boxes[0].strCaption, L"Tamsel Test");
    EXPECT_EQ(boxes[0].nType, (UINT)(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(boxes[1].strText, L"Prompt from the string table");
    EXPECT_EQ(boxes[2].strCaption, L"Own caption");
    EXPECT_EQ(boxes[2].hWndOwner, wnd.m_hWnd);
    EXPECT_EQ(boxes[3].strCaption, L"Tamsel Test");
    wnd.DestroyWindow();
}
