#include "repair/BackupListPage.h"
#include "repair/BackupList.h"
#include "app/TamselApp.h"

#include <shlwapi.h>
#include <algorithm>

CBackupListPage::CBackupListPage(UINT nIDTemplate, LPCWSTR pszFolderName)
    : CBackupPage(nIDTemplate), m_pszFolderName(pszFolderName)
{
}

void CBackupListPage::DoDataExchange(CDataExchange* pDX)
{
    CBackupPage::DoDataExchange(pDX);
    DDX_Control(pDX, 1013, m_list);
    DDX_Control(pDX, 1004, m_btnHelp);
}

BOOL CBackupListPage::OnInitDialog()
{
    CBackupPage::OnInitDialog();
    SkinButton(m_btnRestore, 316, 315, s_crButtonKey);
    SkinButton(m_btnRemove, 312, 311, s_crButtonKey);
    SkinButton(m_btnHelp, 8048, 8047, s_crButtonKey);
    SetupBackupList(m_list);
    // The two header pictures above the list are its column header; the
    // list's own would stand under them like a row of an empty list.
    m_list.ModifyStyle(0, LVS_NOCOLUMNHEADER);
    return TRUE;
}

CString CBackupListPage::GetBackupFolder() const
{
    return m_pApp->m_strAppDir + m_pszFolderName + L"\\";
}

void CBackupListPage::FillList()
{
    FillBackupList(m_list, m_pApp->m_arrBackupFiles, GetBackupFolder());
}

void CBackupListPage::OnPageShown()
{
    FillList();
}

BOOL CBackupListPage::GetSelectedArchive(CString& strArchive)
{
    int nIndex = SelectedBackupIndex(m_list, m_pApp->m_arrBackupFiles, GetBackupFolder());
    if (nIndex < 0)
    {
        AfxMessageBox(LangText(L"M_SELECT_BACKUP"), MB_OK | MB_ICONINFORMATION);
        return FALSE;
    }
    strArchive = m_pApp->m_arrBackupFiles[nIndex];
    if (!::PathFileExistsW(strArchive))
    {
        AfxMessageBox(strArchive + L" not Found.", MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    return TRUE;
}

BOOL CBackupListPage::AskRestore(const std::vector<CRestoreKey>& keys, int nKeys, const CStringArray& arrFiles)
{
    CString strText = LangText(L"M_RESTORE_RESTORE") + L"\n\n" + FormatRestoreWrites(m_pApp, keys, nKeys, arrFiles);
    return AfxMessageBox(strText, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

namespace {

CString CountedText(CTamselApp* pApp, LPCWSTR pszKey, int nCount)
{
    CString strText = pApp != NULL ? pApp->GetLangString(pszKey) : CString();
    CString strCount;
    strCount.Format(L"%d", nCount);
    strText.Replace(L"%d", strCount);
    return strText;
}

} // namespace

CString FormatRestoreWrites(CTamselApp* pApp, const std::vector<CRestoreKey>& keys, int nKeys,
                            const CStringArray& arrFiles)
{
    CString strText;
    if (nKeys > 0)
    {
        strText += pApp->GetLangString(L"M_RESTORE_WRITES_KEYS");
        int nShown = std::min<int>(std::min<int>((int)keys.size(), nKeys), RESTORE_QUESTION_MAX_KEYS);
        for (int i = 0; i < nShown; i++)
        {
            strText += L"\n" + keys[(size_t)i].m_strPath;
            if (keys[(size_t)i].m_samView == KEY_WOW64_32KEY)
                strText += L" " + pApp->GetLangString(L"M_RESTORE_VIEW_32");
            else if (keys[(size_t)i].m_samView == KEY_WOW64_64KEY)
                strText += L" " + pApp->GetLangString(L"M_RESTORE_VIEW_64");
        }
        if (nKeys > nShown)
            strText += L"\n" + CountedText(pApp, L"M_RESTORE_MORE_KEYS", nKeys - nShown);
    }
    int nFiles = (int)arrFiles.GetSize();
    if (nFiles > 0)
    {
        if (!strText.IsEmpty())
            strText += L"\n\n";
        strText += pApp->GetLangString(L"M_RESTORE_WRITES_FILES");
        int nShown = std::min(nFiles, RESTORE_QUESTION_MAX_FILES);
        for (int i = 0; i < nShown; i++)
            strText += L"\n" + arrFiles[i];
        if (nFiles > nShown)
            strText += L"\n" + CountedText(pApp, L"M_RESTORE_MORE_FILES", nFiles - nShown);
    }
    return strText;
}

void CBackupListPage::RemoveBackup()
{
    RemoveSelectedBackup(m_list, m_pApp->m_arrBackupFiles, GetBackupFolder());
}
