#include "tools/IeRestorePage.h"
#include "app/TamselApp.h"
#include "services/NtRegistry.h"
#include "services/RegTreeDelete.h"
#include <shlwapi.h>

namespace {

const LPCWSTR IE_MAIN_KEY = L"SOFTWARE\\Microsoft\\Internet Explorer\\Main";
const LPCWSTR RESTRICTIONS_KEY = L"Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions";
const LPCWSTR START_LINK = L"http://go.microsoft.com/fwlink/?LinkId=69157";
const LPCWSTR SEARCH_LINK = L"http://go.microsoft.com/fwlink/?LinkId=54896";

BOOL WriteStrings(HKEY hRoot, LPCWSTR pszKey, std::initializer_list<LPCWSTR> names, LPCWSTR pszText)
{
    CNtRegistry reg;
    if (!reg.SetKey(hRoot, pszKey, TRUE, TRUE))
        return FALSE;
    BOOL bOk = TRUE;
    for (LPCWSTR pszName : names)
        bOk = reg.WriteString(pszName, pszText) && bOk;
    return bOk;
}

// A value or key that is already gone counts as removed.
BOOL DeleteValueWhereKeyExists(HKEY hRoot, LPCWSTR pszKey, LPCWSTR pszName)
{
    HKEY hKey = NULL;
    LONG nResult = ::RegOpenKeyExW(hRoot, pszKey, 0, KEY_SET_VALUE, &hKey);
    if (nResult == ERROR_FILE_NOT_FOUND)
        return TRUE;
    if (nResult != ERROR_SUCCESS)
        return FALSE;
    nResult = ::RegDeleteValueW(hKey, pszName);
    ::RegCloseKey(hKey);
    return nResult == ERROR_SUCCESS || nResult == ERROR_FILE_NOT_FOUND;
}

BOOL DeleteTree(HKEY hRoot, LPCWSTR pszKey)
{
    LONG nResult = DeleteRegTree(hRoot, pszKey, 0, NULL);
    return nResult == ERROR_SUCCESS || nResult == ERROR_FILE_NOT_FOUND;
}

BOOL RecreateEmpty(HKEY hRoot, LPCWSTR pszKey)
{
    BOOL bDeleted = DeleteTree(hRoot, pszKey);
    CNtRegistry reg;
    return reg.SetKey(hRoot, pszKey, TRUE, TRUE) && bDeleted;
}

} // namespace

BEGIN_MESSAGE_MAP(CIeRestorePage, CToolPage)
    ON_WM_SHOWWINDOW()
    ON_BN_CLICKED(1001, OnRestore)
END_MESSAGE_MAP()

CIeRestorePage::CIeRestorePage() : CToolPage(413)
{
}

CIeRestorePage::~CIeRestorePage()
{
}

void CIeRestorePage::DoDataExchange(CDataExchange* pDX)
{
    CToolPage::DoDataExchange(pDX);
    DDX_Control(pDX, 1013, m_list);
    DDX_Control(pDX, 1004, m_btnHelp);
    DDX_Control(pDX, 1001, m_btnRestore);
}

BOOL CIeRestorePage::OnInitDialog()
{
    CToolPage::OnInitDialog();
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    if (m_list.GetHeaderCtrl() != NULL)
        m_list.GetHeaderCtrl()->ModifyStyle(0, HDS_BUTTONS | HDS_HOTTRACK);
    m_list.EnableToolTips(TRUE);
    m_list.SetEllipsis(TRUE);
    LVCOLUMN column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.fmt = LVCFMT_CENTER;
    column.cx = 25;
    column.pszText = const_cast<LPWSTR>(L"");
    m_list.InsertColumn(0, &column);
    m_list.InsertColumn(1, L"Name", LVCFMT_LEFT, 533);
    FillRepairList();
    SetButtonBitmaps(m_btnHelp, 8048, 8047);
    SetButtonBitmaps(m_btnRestore, 316, 315);
    return TRUE;
}

void CIeRestorePage::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CToolPage::OnShowWindow(bShow, nStatus);
    if (!bShow)
        return;
    Translate();
    SetColumnText(m_list, 1, Lang(L"LIST_IE_1"));
    FillRepairList();
    Invalidate(FALSE);
}

void CIeRestorePage::FillRepairList()
{
    if (m_list.GetSafeHwnd() == NULL)
        return;
    m_list.SetRedraw(FALSE);
    m_list.DeleteAllItems();
    for (int i = 0; i < IE_REPAIR_COUNT; ++i)
    {
        CString strKey;
        strKey.Format(L"IDD_413_1013_%d", i + 1);
        CString strText = Lang(strKey);
        int nRow = m_list.InsertItem(i, L"");
        if (nRow < 0)
            continue;
        m_list.SetCheckbox(nRow, 0, 2);
        m_list.SetItemText(nRow, 1, strText);
        m_list.SetItemToolTipText(nRow, 1, strText);
    }
    m_list.SetRedraw(TRUE);
    m_list.Invalidate(TRUE);
}

BOOL CIeRestorePage::RunRepair(int nRow)
{
    static BOOL (*const s_repairs[IE_REPAIR_COUNT])() = {
        RepairStartPage, RepairRegistryTools, RepairSearchPage, RepairRestrictions, RepairContextMenu,
        RepairControlPanel, RepairMenuExt, RepairTypedUrls, RepairLinksFolderName};
    if (nRow < 0 || nRow >= IE_REPAIR_COUNT)
        return FALSE;
    return s_repairs[nRow]();
}

void CIeRestorePage::OnRestore()
{
    CStringArray arrFailed;
    int nRows = m_list.GetSafeHwnd() != NULL ? m_list.GetItemCount() : 0;
    for (int i = 0; i < nRows && i < IE_REPAIR_COUNT; ++i)
    {
        if (m_list.GetCheckbox(i, 0) == 2 && !RunRepair(i))
            arrFailed.Add(m_list.GetItemText(i, 1));
    }
    if (arrFailed.GetSize() == 0)
        Message(Lang(L"M_IERESTORE"), MB_OK | MB_ICONINFORMATION);
    else
        ReportNames(L"M_IERESTORE_FAILED", arrFailed);
}

BOOL CIeRestorePage::RepairStartPage()
{
    BOOL bMachine = WriteStrings(HKEY_LOCAL_MACHINE, IE_MAIN_KEY, {L"Start Page", L"Default_Page_URL"}, START_LINK);
    BOOL bUser = WriteStrings(HKEY_CURRENT_USER, IE_MAIN_KEY, {L"Start Page"}, START_LINK);
    return bMachine && bUser;
}

BOOL CIeRestorePage::RepairRegistryTools()
{
    // The policy value disables the editor; removing it enables it again.
    return DeleteValueWhereKeyExists(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System",
                                     L"DisableRegistryTools");
}

BOOL CIeRestorePage::RepairSearchPage()
{
    BOOL bMachine = WriteStrings(HKEY_LOCAL_MACHINE, IE_MAIN_KEY, {L"Search Page", L"Default_Search_URL"}, SEARCH_LINK);
    BOOL bUser = WriteStrings(HKEY_CURRENT_USER, IE_MAIN_KEY, {L"Search Page"}, SEARCH_LINK);
    return bMachine && bUser;
}

BOOL CIeRestorePage::RepairRestrictions()
{
    BOOL bUser = RecreateEmpty(HKEY_CURRENT_USER, RESTRICTIONS_KEY);
    BOOL bMachine = RecreateEmpty(HKEY_LOCAL_MACHINE, RESTRICTIONS_KEY);
    return bUser && bMachine;
}

BOOL CIeRestorePage::RepairContextMenu()
{
    // Only where a Restrictions key exists: no policy keys are created.
    BOOL bUser = DeleteValueWhereKeyExists(HKEY_CURRENT_USER, RESTRICTIONS_KEY, L"NoBrowserContextMenu");
    BOOL bMachine = DeleteValueWhereKeyExists(HKEY_LOCAL_MACHINE, RESTRICTIONS_KEY, L"NoBrowserContextMenu");
    return bUser && bMachine;
}

BOOL CIeRestorePage::RepairControlPanel()
{
    return DeleteTree(HKEY_LOCAL_MACHINE, L"Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel");
}

BOOL CIeRestorePage::RepairMenuExt()
{
    return RecreateEmpty(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\MenuExt");
}

BOOL CIeRestorePage::RepairTypedUrls()
{
    return RecreateEmpty(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\TypedUrls");
}

BOOL CIeRestorePage::RepairLinksFolderName()
{
    return WriteStrings(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\Toolbar", {L"LinksFolderName"}, L"Links");
}
