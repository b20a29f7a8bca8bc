#include "tools/IeRestorePage.h"
#include "app/TamselApp.h"
#include "services/RegHive.h"
#include "services/RegKeyTarget.h"
#include "services/RegTreeDelete.h"
#include "services/ScopedHandle.h"
#include <shlwapi.h>

namespace {

const LPCWSTR IE_MAIN_KEY = L"SOFTWARE\\Microsoft\\Internet Explorer\\Main";
const LPCWSTR RESTRICTIONS_KEY = L"Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions";
const LPCWSTR START_LINK = L"http://go.microsoft.com/fwlink/?LinkId=69157";
const LPCWSTR SEARCH_LINK = L"http://go.microsoft.com/fwlink/?LinkId=54896";

// The views a repair of hRoot\pszKey reaches: on 64-bit Windows the 64-bit
// and the 32-bit Internet Explorer each read their own view, so a key the
// views keep apart is written in both, a key they share (HKCU's, a linked
// policy key) once; 32-bit Windows has the one.
int KeyViews(HKEY hRoot, LPCWSTR pszKey, REGSAM views[2])
{
    views[0] = 0;
    const RegHive* pHive = FindRegHive(hRoot, REG_HIVE_COMMON);
    if (pHive == NULL || !HasTwoRegistryViews())
        return 1;
    if (ResolveRegKeyTarget(CString(pHive->pszName) + L"\\" + pszKey, KEY_WOW64_64KEY).m_samView == 0)
        return 1;
    views[0] = KEY_WOW64_64KEY;
    views[1] = KEY_WOW64_32KEY;
    return 2;
}

BOOL WriteStrings(HKEY hRoot, LPCWSTR pszKey, std::initializer_list<LPCWSTR> names, LPCWSTR pszText)
{
    REGSAM views[2];
    int nViews = KeyViews(hRoot, pszKey, views);
    BOOL bOk = TRUE;
    for (int i = 0; i < nViews; i++)
    {
        CRegKeyHandle key;
        if (::RegCreateKeyExW(hRoot, pszKey, 0, NULL, 0, KEY_SET_VALUE | views[i], NULL, key.Receive(), NULL) !=
            ERROR_SUCCESS)
        {
            bOk = FALSE;
            continue;
        }
        DWORD dwBytes = (DWORD)(lstrlenW(pszText) + 1) * sizeof(wchar_t);
        for (LPCWSTR pszName : names)
            bOk = ::RegSetValueExW(key, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(pszText), dwBytes) ==
                      ERROR_SUCCESS &&
                  bOk;
    }
    return bOk;
}

// A value or key that is already gone counts as removed.
BOOL DeleteValueWhereKeyExists(HKEY hRoot, LPCWSTR pszKey, LPCWSTR pszName)
{
    REGSAM views[2];
    int nViews = KeyViews(hRoot, pszKey, views);
    BOOL bOk = TRUE;
    for (int i = 0; i < nViews; i++)
    {
        CRegKeyHandle key;
        LONG nResult = ::RegOpenKeyExW(hRoot, pszKey, 0, KEY_SET_VALUE | views[i], key.Receive());
        if (nResult == ERROR_FILE_NOT_FOUND)
            continue;
        if (nResult == ERROR_SUCCESS)
            nResult = ::RegDeleteValueW(key, pszName);
        bOk = (nResult == ERROR_SUCCESS || nResult == ERROR_FILE_NOT_FOUND) && bOk;
    }
    return bOk;
}

BOOL DeleteTreeInView(HKEY hRoot, LPCWSTR pszKey, REGSAM samView)
{
    LONG nResult = DeleteRegTree(hRoot, pszKey, samView, NULL);
    return nResult == ERROR_SUCCESS || nResult == ERROR_FILE_NOT_FOUND;
}

BOOL DeleteTree(HKEY hRoot, LPCWSTR pszKey)
{
    REGSAM views[2];
    int nViews = KeyViews(hRoot, pszKey, views);
    BOOL bOk = TRUE;
    for (int i = 0; i < nViews; i++)
        bOk = DeleteTreeInView(hRoot, pszKey, views[i]) && bOk;
    return bOk;
}

BOOL RecreateEmpty(HKEY hRoot, LPCWSTR pszKey)
{
    REGSAM views[2];
    int nViews = KeyViews(hRoot, pszKey, views);
    BOOL bOk = TRUE;
    for (int i = 0; i < nViews; i++)
    {
        BOOL bDeleted = DeleteTreeInView(hRoot, pszKey, views[i]);
        CRegKeyHandle key;
        bOk = ::RegCreateKeyExW(hRoot, pszKey, 0, NULL, 0, KEY_QUERY_VALUE | views[i], NULL, key.Receive(), NULL) ==
                  ERROR_SUCCESS &&
              bDeleted && bOk;
    }
    return bOk;
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
