#include "repair/ScanResultPage.h"
#include "app/WhitePageColors.h"
#include "app/TamselApp.h"
#include "app/TamselDlg.h"
#include "controls/skin/SegmentCell.h"
#include "framework/Dc.h"
#include "framework/WorkerCall.h"
#include "repair/IgnoreListFile.h"
#include "repair/Repair.h"
#include "repair/RepairDlg.h"
#include "services/RegHive.h"

#include <algorithm>
#include <commctrl.h>
#include <shellapi.h>

namespace {
UINT s_msgAfterScanShown = ::RegisterWindowMessageW(L"Tamsel.ScanResult.AfterScanShown");
const UINT IDC_RESULT_FIX = 1001;
const UINT IDC_RESULT_TREE = 1113;
const UINT IDC_RESULT_TOTAL = 1062;
const UINT IDC_RESULT_TITLE = 1148;

CString TreeText(LPCWSTR pszKey)
{
    CTamselApp* pApp = static_cast<CTamselApp*>(AfxGetApp());
    return pApp != NULL ? pApp->GetLangString(pszKey) : CString();
}

int CategoryOfDisplaySlot(int nSlot)
{
    for (int nCategory = 1; nCategory <= TAMSEL_CATEGORY_COUNT; nCategory++)
    {
        if (CTamselApp::DisplaySlotOfCategory(nCategory) == nSlot)
            return nCategory;
    }
    return 0;
}

// Waits up to dwMs for a top-level window of the class while the program that
// makes it runs, answering sent messages meanwhile.
HWND WaitForWindow(LPCWSTR pszClass, HANDLE hProcess, DWORD dwMs)
{
    DWORD dwStart = GetTickCount();
    for (;;)
    {
        HWND hWnd = ::FindWindowW(pszClass, NULL);
        DWORD dwElapsed = GetTickCount() - dwStart;
        if (hWnd != NULL || hProcess == NULL || dwElapsed >= dwMs)
            return hWnd;
        // A program that ended makes no window any more.
        DWORD dwSlice = dwMs - dwElapsed < 50 ? dwMs - dwElapsed : 50;
        if (AfxWaitForObjectPumping(hProcess, dwSlice) != WAIT_TIMEOUT)
            return ::FindWindowW(pszClass, NULL);
    }
}

// The editor is another program: a hung one must not hang us.
LRESULT TreeSend(HWND hTree, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR dwResult = 0;
    if (!::SendMessageTimeoutW(hTree, nMessage, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &dwResult))
        return 0;
    return (LRESULT)dwResult;
}

BOOL CALLBACK FindTreeProc(HWND hWnd, LPARAM lParam)
{
    wchar_t szClass[32] = {};
    ::GetClassNameW(hWnd, szClass, 32);
    if (lstrcmpiW(szClass, L"SysTreeView32") != 0)
        return TRUE;
    *(HWND*)lParam = hWnd;
    return FALSE;
}

// The editor's tree: a child of its window, or deeper in some builds.
HWND FindEditorTree(HWND hRegedit)
{
    HWND hTree = ::FindWindowExW(hRegedit, NULL, L"SysTreeView32", NULL);
    if (hTree == NULL)
        ::EnumChildWindows(hRegedit, FindTreeProc, (LPARAM)&hTree);
    return hTree;
}

HTREEITEM TreeNext(HWND hTree, HTREEITEM hItem, UINT nCode)
{
    return (HTREEITEM)TreeSend(hTree, TVM_GETNEXTITEM, nCode, (LPARAM)hItem);
}
} // namespace

CScanResultPage::SHELL_EXECUTE_PROC CScanResultPage::s_pfnShellExecute = ::ShellExecuteW;

BEGIN_MESSAGE_MAP(CScanResultPage, CDialog)
    ON_WM_SHOWWINDOW()
    ON_WM_CTLCOLOR()
    ON_WM_PAINT()
    ON_BN_CLICKED(IDC_RESULT_FIX, FixSelected)
    ON_NOTIFY(TLN_OPENCLICK, IDC_RESULT_TREE, OnOpenClick)
    ON_NOTIFY(TLN_IGNORECLICK, IDC_RESULT_TREE, OnIgnoreClick)
    ON_REGISTERED_MESSAGE(s_msgAfterScanShown, OnAfterScanShown)
END_MESSAGE_MAP()

CScanResultPage::CScanResultPage()
    : CDialog(IDD, NULL), m_bAfterScan(0), m_bShown(0), m_bLeaving(0),
      m_pApp(static_cast<CTamselApp*>(AfxGetApp()))
{
}

CScanResultPage::~CScanResultPage()
{
}

// The tree's link and count texts, read from the current language file.
static CString TreeListText(LPCWSTR pszKey)
{
    return static_cast<CTamselApp*>(AfxGetApp())->GetLangString(pszKey);
}

BOOL CScanResultPage::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_brWhite.CreateSolidBrush(RGB(255, 255, 255));
    m_pApp->TranslateDialog(this, IDD);
    CTreeListCtrl::SetTextSource(TreeListText);

    LOGFONTW lf = {};
    lf.lfHeight = -16;
    lf.lfWeight = FW_BOLD;
    lf.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(lf.lfFaceName, L"Verdana", LF_FACESIZE);
    m_fontTitle.CreateFontIndirect(&lf);
    if (GetDlgItem(IDC_RESULT_TITLE) != NULL)
        GetDlgItem(IDC_RESULT_TITLE)->SetFont(&m_fontTitle);

    CTreeListCtrl::SetTextSource(TreeText);
    m_tree.SubclassDlgItem(IDC_RESULT_TREE, this);
    m_tree.SetStyle(0x00EC00C1);
    m_tree.InsertColumn(L"Name");
    // One column as wide as the tree, so the row links stay in sight.
    CRect rcTree;
    m_tree.GetClientRect(&rcTree);
    m_tree.SetColumnWidth(0, std::max(100, rcTree.Width() - GetSystemMetrics(SM_CXVSCROLL)));
    m_tree.DeleteAllItems();

    m_btnFix.SubclassDlgItem(IDC_RESULT_FIX, this);
    m_btnFix.SetBitmaps(208, RGB(0, 255, 0), 209, RGB(0, 255, 0));
    m_btnFix.DrawTransparent(FALSE);
    m_btnFix.DrawBorder(FALSE, TRUE);

    m_wndTotal.SubclassDlgItem(IDC_RESULT_TOTAL, this);
    m_wndTotal.SetBackColor(RGB(255, 255, 255));
    m_wndTotal.SetColor(RGB(255, 255, 255), RGB(36, 135, 219));
    m_wndTotal.SetText(L"0");
    m_wndTotal.SetTransparent(TRUE);
    m_wndTotal.ModifySegmentStyle(SDS_DIGITS14, SDS_SMOOTH);
    return TRUE;
}

void CScanResultPage::OnCancel()
{
    CTamselDlg* pMain = GetTamselDlg();
    if (pMain != NULL)
        pMain->SendMessage(WM_COMMAND, IDCANCEL, 0);
}

int CScanResultPage::ConfirmLeave()
{
    return AfxMessageBox(m_pApp->GetLangString(L"M_WARNING_ABORT_RESULT"), MB_YESNO) == IDYES ? 1 : 0;
}

// ---- The scan's rows ------------------------------------------------------------------

void CScanResultPage::ClearResults()
{
    for (CString& strName : m_strTreeNames)
        strName.Empty();
    if (m_tree.m_hWnd != NULL)
        m_tree.DeleteAllItems();
}

void CScanResultPage::AddCategoryRows(const CString* pNames, int nCount)
{
    if (m_tree.m_hWnd == NULL)
        return;
    for (int nSlot = 0; nSlot < nCount && nSlot < TAMSEL_CATEGORY_COUNT; nSlot++)
    {
        m_strTreeNames[nSlot] = pNames[nSlot];
        TreeListRow row((UINT_PTR)CategoryOfDisplaySlot(nSlot), 0, pNames[nSlot]);
        row.dwState = TLIS_CHECKBOX | TLIS_EXPANDED;
        row.nCheck = 1;
        m_tree.QueueRow(row);
    }
    m_tree.FlushQueue();
}

void CScanResultPage::AddProblemRows(const CScanResultRow* pRows, int nCount)
{
    if (m_tree.m_hWnd == NULL)
        return;
    for (int i = 0; i < nCount; i++)
    {
        TreeListRow row(0, (UINT_PTR)pRows[i].nCategory, pRows[i].strText);
        row.dwData = pRows[i].dwItemData;
        row.dwState = pRows[i].nState;
        row.nCheck = 1;
        m_tree.QueueRow(row);
    }
    m_tree.FlushQueue();
}

// ---- Rows and records -----------------------------------------------------------------

int CScanResultPage::GetItemCategory(CTreeListItem* pItem)
{
    CTreeListItem* pParent = pItem != NULL ? m_tree.GetParentItem(pItem) : NULL;
    if (pParent == NULL)
        return 0;
    CString strName = m_tree.GetItemText(pParent, 0);
    for (int nSlot = 0; nSlot < TAMSEL_CATEGORY_COUNT; nSlot++)
    {
        if (!m_strTreeNames[nSlot].IsEmpty() && m_strTreeNames[nSlot] == strName)
            return CategoryOfDisplaySlot(nSlot);
    }
    return 0;
}

const CRegProblem* CScanResultPage::GetItemProblem(CTreeListItem* pItem)
{
    int nCategory = GetItemCategory(pItem);
    if (nCategory == 0)
        return NULL;
    CArray<CRegProblem>& list = FoundListOf(m_pApp, nCategory);
    DWORD_PTR nIndex = m_tree.GetItemData(pItem);
    if (nIndex >= (DWORD_PTR)list.GetSize())
        return NULL;
    return &list[(INT_PTR)nIndex];
}

CString CScanResultPage::GetItemKeyPath(CTreeListItem* pItem)
{
    const CRegProblem* pProblem = GetItemProblem(pItem);
    return pProblem != NULL ? pProblem->m_strKeyPath : CString();
}

void CScanResultPage::AddToRepairList(CTreeListItem* pItem)
{
    const CRegProblem* pProblem = GetItemProblem(pItem);
    if (pProblem != NULL)
        RepairListOf(m_pApp, GetItemCategory(pItem)).Add(*pProblem);
}

void CScanResultPage::CountSelectedItem(CTreeListItem* pItem, int nErrors[])
{
    int nCategory = GetItemCategory(pItem);
    if (nCategory != 0)
        nErrors[nCategory - 1]++;
}

BOOL CScanResultPage::HasProblemRows()
{
    for (CTreeListItem* pCategory = m_tree.GetRootItem(); pCategory != NULL;
         pCategory = m_tree.GetNextSiblingItem(pCategory))
    {
        if (m_tree.ItemHasChildren(pCategory))
            return TRUE;
    }
    return FALSE;
}

// ---- FIX & Continue --------------------------------------------------------------------

void CScanResultPage::FixSelected()
{
    int nErrors[TAMSEL_CATEGORY_COUNT] = {};
    int nChosen = 0;
    // What an earlier FIX chose must not be repaired again unasked.
    for (int nCategory = 1; nCategory <= TAMSEL_CATEGORY_COUNT; nCategory++)
        RepairListOf(m_pApp, nCategory).RemoveAll();
    for (CTreeListItem* pCategory = m_tree.GetRootItem(); pCategory != NULL;
         pCategory = m_tree.GetNextSiblingItem(pCategory))
    {
        for (CTreeListItem* pItem = m_tree.GetChildItem(pCategory); pItem != NULL;
             pItem = m_tree.GetNextSiblingItem(pItem))
        {
            int nCheck = m_tree.GetCheck(pItem);
            if (nCheck != 0)
                CountSelectedItem(pItem, nErrors);
            if (nCheck == 1 && GetItemProblem(pItem) != NULL)
            {
                AddToRepairList(pItem);
                nChosen++;
            }
        }
    }
    if (nChosen == 0 && m_tree.GetCount() > 0)
    {
        AfxMessageBox(m_pApp->GetLangString(L"M_NOITEM"));
        return;
    }
    CTamselDlg* pMain = GetTamselDlg();
    CRepairDlg dlg(pMain);
    dlg.m_pOwner = pMain;
    dlg.m_bStart = 1;
    for (int i = 0; i < TAMSEL_CATEGORY_COUNT; i++)
        dlg.m_nErrors[i] = nErrors[i];
    dlg.DoModal();
}

// ---- Showing --------------------------------------------------------------------------

void CScanResultPage::RemoveEmptyCategories()
{
    CTreeListItem* pCategory = m_tree.GetRootItem();
    while (pCategory != NULL)
    {
        CTreeListItem* pNext = m_tree.GetNextSiblingItem(pCategory);
        if (!m_tree.ItemHasChildren(pCategory))
            m_tree.DeleteItem(pCategory);
        pCategory = pNext;
    }
}

void CScanResultPage::ShowTotal()
{
    CString strTotal;
    strTotal.Format(L"%d", m_pApp->m_nNextProblem - 1);
    m_wndTotal.SetText(strTotal);
}

void CScanResultPage::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CDialog::OnShowWindow(bShow, nStatus);
    m_bShown = bShow ? 1 : 0;
    CTamselDlg* pMain = GetTamselDlg();
    if (!bShow)
    {
        if (pMain != NULL && pMain->m_comboLanguage.m_hWnd != NULL)
        {
            pMain->m_comboLanguage.EnableWindow(TRUE);
            pMain->m_comboLanguage.Invalidate();
        }
        return;
    }
    m_bLeaving = 0;
    m_pApp->TranslateDialog(this, IDD);
    Invalidate();
    // The tree's category names stay as built: a language change here would
    // leave every row without its category.
    if (pMain != NULL && pMain->m_comboLanguage.m_hWnd != NULL)
    {
        pMain->m_comboLanguage.EnableWindow(FALSE);
        pMain->m_comboLanguage.Invalidate();
    }
    RemoveEmptyCategories();
    ShowTotal();
    m_tree.SetRedraw(TRUE);
    if (m_bAfterScan)
        PostMessage(s_msgAfterScanShown, 0, 0);
}

void CScanResultPage::OnPaint()
{
    CPaintDC dc(this);
    // The automatic repair runs from a posted message, not inside the paint.
    if (m_bAfterScan)
        PostMessage(s_msgAfterScanShown, 0, 0);
}

LRESULT CScanResultPage::OnAfterScanShown(WPARAM, LPARAM)
{
    if (!m_bAfterScan || !IsWindowVisible())
        return 0;
    m_bAfterScan = 0;
    if (!HasProblemRows())
    {
        CTamselDlg* pMain = GetTamselDlg();
        if (m_pApp->m_bCloseAfterScan)
        {
            if (pMain != NULL)
                pMain->OnClose();
        }
        else if (m_pApp->m_bAutoRepair)
            AfxMessageBox(m_pApp->GetLangString(L"M_NO_PROBLEM"), MB_ICONINFORMATION);
        return 0;
    }
    if (m_pApp->m_bAutoRepair)
        FixSelected();
    return 0;
}

HBRUSH CScanResultPage::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH hBrush = GetWhitePageBrush(pDC, nCtlColor, m_brWhite);
    if (hBrush == NULL)
        return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (pWnd != NULL && pWnd->GetDlgCtrlID() == (int)IDC_RESULT_TITLE)
        pDC->SetTextColor(RGB(28, 68, 125));
    return m_brWhite;
}

// ---- Open and Ignore ----------------------------------------------------------------------

void CScanResultPage::OnOpenClick(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    CTreeListItem* pItem = m_tree.GetSelectedItem();
    if (pItem == NULL || m_tree.GetParentItem(pItem) == NULL)
        return;
    CString strKeyPath = GetItemKeyPath(pItem);
    if (strKeyPath.IsEmpty())
        return;
    if (GetItemCategory(pItem) == SHORTCUT_CATEGORY)
    {
        int nSlash = strKeyPath.ReverseFind(L'\\');
        if (nSlash > 0)
            s_pfnShellExecute(m_hWnd, L"explore", strKeyPath.Left(nSlash), NULL, NULL, SW_SHOWNORMAL);
        return;
    }
    OpenKeyInRegedit(strKeyPath);
}

void CScanResultPage::OnIgnoreClick(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    CTreeListItem* pItem = m_tree.GetSelectedItem();
    if (pItem == NULL || m_tree.GetParentItem(pItem) == NULL)
        return;
    if (AddToIgnoreList(pItem))
        m_tree.SetRedraw(TRUE);
}

BOOL CScanResultPage::AddToIgnoreList(CTreeListItem* pItem)
{
    const CRegProblem* pProblem = GetItemProblem(pItem);
    if (pProblem == NULL)
        return FALSE;
    BOOL bUnreadable = FALSE;
    if (!CIgnoreListFile::AddEntry(m_pApp, CIgnoreListFile::FormatEntry(GetItemCategory(pItem), *pProblem),
                                   &bUnreadable))
    {
        // A list that did not read whole is left as it is: say so, not that saving failed.
        AfxMessageBox(m_pApp->GetLangString(bUnreadable ? L"M_IGNORE_UNREADABLE" : L"M_IGNORE_NOT_SAVED"),
                      MB_ICONEXCLAMATION);
        return FALSE;
    }
    m_tree.DeleteItem(pItem);
    m_pApp->m_nNextProblem--;
    ShowTotal();
    return TRUE;
}

// ---- The registry editor --------------------------------------------------------------

void CScanResultPage::OpenKeyInRegedit(const CString& strKeyPath)
{
    wchar_t szWindows[520] = {};
    GetWindowsDirectoryW(szWindows, 520);
    CString strRegedit;
    strRegedit.Format(L"%s\\regedit.exe", szWindows);

    int nSlash = strKeyPath.Find(L'\\');
    CString strHive = nSlash >= 0 ? strKeyPath.Left(nSlash) : strKeyPath;
    CString strSubKey = nSlash >= 0 ? strKeyPath.Mid(nSlash + 1) : CString();
    strSubKey.Remove(L'\n');
    const RegHive* pHive = FindRegHive(strHive, REG_HIVE_ALL);
    if (pHive == NULL)
        return;
    HKEY hKey = NULL;
    if (RegOpenKeyExW(pHive->hRoot, strSubKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return;
    RegCloseKey(hKey);

    HWND hRegedit = ::FindWindowW(L"RegEdit_RegEdit", NULL);
    if (hRegedit == NULL)
    {
        SHELLEXECUTEINFOW sei = { sizeof(sei) };
        sei.fMask = SEE_MASK_NOCLOSEPROCESS;
        sei.hwnd = m_hWnd;
        sei.lpVerb = L"open";
        sei.lpFile = strRegedit;
        sei.nShow = SW_SHOWNORMAL;
        if (::ShellExecuteExW(&sei))
        {
            hRegedit = WaitForWindow(L"RegEdit_RegEdit", sei.hProcess, 1000);
            if (sei.hProcess != NULL)
                ::CloseHandle(sei.hProcess);
        }
        if (hRegedit == NULL)
        {
            AfxMessageBox(L"Can not start regeditor.");
            return;
        }
    }
    if (::IsIconic(hRegedit))
        ::ShowWindow(hRegedit, SW_RESTORE);
    ::SetForegroundWindow(hRegedit);
    ::BringWindowToTop(hRegedit);
    HWND hTree = FindEditorTree(hRegedit);
    if (hTree == NULL)
    {
        AfxMessageBox(L"Can not find regeditor TreeView handle.");
        return;
    }
    HTREEITEM hItem = TreeNext(hTree, NULL, TVGN_ROOT);
    if (hItem == NULL)
    {
        AfxMessageBox(L"Root item NOT found");
        return;
    }
    TreeSend(hTree, TVM_EXPAND, TVE_EXPAND, (LPARAM)hItem);

    // Hive level. The editor lists no item for HKEY_PERFORMANCE_DATA although
    // that hive opens, so it is never counted.
    hItem = TreeNext(hTree, hItem, TVGN_CHILD);
    for (int i = 0; i < REG_HIVE_ALL && hItem != NULL; i++)
    {
        const RegHive& hive = RegHiveTable()[i];
        if (hive.hRoot == HKEY_PERFORMANCE_DATA)
            continue;
        HKEY hRoot = NULL;
        if (RegOpenKeyExW(hive.hRoot, NULL, 0, KEY_READ, &hRoot) != ERROR_SUCCESS)
            continue;
        RegCloseKey(hRoot);
        if (&hive == pHive)
        {
            TreeSend(hTree, TVM_EXPAND, TVE_EXPAND, (LPARAM)hItem);
            break;
        }
        hItem = TreeNext(hTree, hItem, TVGN_NEXT);
    }

    // Key level: the editor lists subkeys sorted without regard to case.
    CString strParent;
    int nStart = 0;
    while (hItem != NULL && nStart < strSubKey.GetLength())
    {
        int nEnd = strSubKey.Find(L'\\', nStart);
        if (nEnd < 0)
            nEnd = strSubKey.GetLength();
        CString strName = strSubKey.Mid(nStart, nEnd - nStart);
        nStart = nEnd + 1;
        if (strName.IsEmpty())
            continue;
        std::vector<CString> arrNames;
        HKEY hParent = NULL;
        if (RegOpenKeyExW(pHive->hRoot, strParent, 0, KEY_READ, &hParent) == ERROR_SUCCESS)
        {
            wchar_t szName[256];
            for (DWORD dwIndex = 0;; dwIndex++)
            {
                if (RegEnumKeyW(hParent, dwIndex, szName, 256) != ERROR_SUCCESS)
                    break;
                arrNames.push_back(szName);
            }
            RegCloseKey(hParent);
        }
        std::sort(arrNames.begin(), arrNames.end(),
                  [](const CString& a, const CString& b) { return a.CompareNoCase(b) < 0; });
        int nPosition = -1;
        for (size_t i = 0; i < arrNames.size() && nPosition < 0; i++)
        {
            if (arrNames[i].CompareNoCase(strName) == 0)
                nPosition = (int)i;
        }
        if (nPosition < 0)
            break;
        HTREEITEM hChild = TreeNext(hTree, hItem, TVGN_CHILD);
        for (int i = 0; i < nPosition && hChild != NULL; i++)
            hChild = TreeNext(hTree, hChild, TVGN_NEXT);
        if (hChild == NULL)
            break;
        hItem = hChild;
        TreeSend(hTree, TVM_EXPAND, TVE_EXPAND, (LPARAM)hItem);
        strParent = strParent.IsEmpty() ? strName : strParent + L"\\" + strName;
    }
    if (hItem != NULL)
        TreeSend(hTree, TVM_SELECTITEM, TVGN_CARET, (LPARAM)hItem);
}
