// Language files: choosing the current file, looking texts up and
// translating dialogs from their template and control ids.
#include "app/TamselApp.h"
#include "framework/ComboBox.h"
#include "framework/Edit.h"
#include "framework/ListCtrl.h"

#include <shlwapi.h>

#include "controls/lists/TreeListCtrl.h"
#include "controls/skin/ButtonST.h"

namespace {
const int kLangBufferSize = 1000;

// Value labels that their pages fill at run time.
const LPCTSTR kKeptKeys[] = {
    L"IDD_267_1030", L"IDD_267_1031", L"IDD_267_1033", L"IDD_267_1035",
    L"IDD_268_1030", L"IDD_268_1031", L"IDD_268_1033", L"IDD_268_1035",
    L"IDD_269_1030", L"IDD_269_1031", L"IDD_269_1033", L"IDD_269_1035",
    L"IDD_270_1030", L"IDD_270_1031", L"IDD_270_1033", L"IDD_270_1035",
    L"IDD_102_1029" };

struct LanguageFlag
{
    LPCTSTR lpszFile;
    UINT nIcon;
};

const LanguageFlag kFlags[] = {
    { L"Arabic.ini", 430 }, { L"Bulgarian.ini", 431 }, { L"Czech.ini", 432 }, { L"Dutch.ini", 433 },
    { L"English.ini", 434 }, { L"French.ini", 435 }, { L"German.ini", 436 }, { L"Hungarian.ini", 437 },
    { L"Italian.ini", 438 }, { L"Japanese.ini", 439 }, { L"Korean.ini", 440 }, { L"Nederlands.ini", 441 },
    { L"Norwegian.ini", 442 }, { L"Norwegian2.ini", 442 }, { L"Polish.ini", 443 },
    { L"Portuguese(pt).ini", 444 }, { L"Romanian.ini", 445 }, { L"Russian.ini", 446 },
    { L"Chinese(Simplified).ini", 447 }, { L"Slovak.ini", 448 }, { L"Spanish.ini", 449 },
    { L"Chinese(Traditional).ini", 450 }, { L"Turkish.ini", 451 }, { L"Ukrainian.ini", 452 },
    { L"Swedish.ini", 453 }, { L"Danish.ini", 454 }, { L"Vietnamese.ini", 455 }, { L"kurdish.ini", 456 } };

// Section "String" of a profile file as stored, without line-break conversion.
CString ReadProfileText(LPCTSTR lpszFile, LPCTSTR lpszKey, LPCTSTR lpszDefault)
{
    wchar_t szText[kLangBufferSize] = {};
    ::GetPrivateProfileStringW(L"String", lpszKey, lpszDefault, szText, kLangBufferSize, lpszFile);
    return szText;
}

CString ReadProfileValue(LPCTSTR lpszFile, LPCTSTR lpszSection, LPCTSTR lpszKey)
{
    wchar_t szText[kLangBufferSize] = {};
    ::GetPrivateProfileStringW(lpszSection, lpszKey, L"", szText, kLangBufferSize, lpszFile);
    return szText;
}

CString WithLineBreaks(CString strText)
{
    strText.Replace(L"\\n", L"\n");
    return strText;
}

bool IsKeptKey(const CString& strKey)
{
    for (LPCTSTR lpszKept : kKeptKeys)
    {
        if (strKey == lpszKept)
            return true;
    }
    return false;
}

// Lists, combo boxes, tree lists and edits keep what their pages put there.
bool KeepsItsText(HWND hWnd)
{
    wchar_t szClass[64] = {};
    ::GetClassNameW(hWnd, szClass, 64);
    for (LPCTSTR lpszClass : { WC_LISTVIEWW, L"ComboBox", WC_COMBOBOXEXW, L"Edit", L"HTMLTreeList" })
    {
        if (::lstrcmpiW(szClass, lpszClass) == 0)
            return true;
    }
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    return pWnd != NULL && (dynamic_cast<CListCtrl*>(pWnd) != NULL || dynamic_cast<CComboBox*>(pWnd) != NULL ||
                            dynamic_cast<CEdit*>(pWnd) != NULL || dynamic_cast<CTreeListCtrl*>(pWnd) != NULL);
}

} // namespace

CString CTamselApp::GetLangString(const CString& strKey)
{
    if (m_strLangFile.IsEmpty())
        return CString();
    return WithLineBreaks(m_langTexts.Get(m_strLangFile, strKey, kLangBufferSize));
}

CString CTamselApp::GetLangStringRaw(const CString& strKey)
{
    if (m_strLangFile.IsEmpty())
        return CString();
    return m_langTexts.Get(m_strLangFile, strKey, kLangBufferSize);
}

void CTamselApp::ListLanguageFiles(CStringArray& arrFiles, CStringArray& arrNames)
{
    arrFiles.RemoveAll();
    arrNames.RemoveAll();
    CFileFind finder;
    BOOL bMore = finder.FindFile(m_strAppDir + L"Language\\*.ini");
    while (bMore)
    {
        bMore = finder.FindNextFile();
        if (finder.IsDots() || finder.IsDirectory())
            continue;
        CString strName = ReadProfileValue(finder.GetFilePath(), L"General Settings", L"Language");
        if (strName.IsEmpty())
            continue;
        arrFiles.Add(finder.GetFileName());
        arrNames.Add(strName);
    }
    finder.Close();
}

CString CTamselApp::GetChosenLanguageFile()
{
    return ReadProfileValue(m_strSettingsFile, L"General Settings", L"Language");
}

CString CTamselApp::GetWantedLanguageFile()
{
    CString strChosen = GetChosenLanguageFile();
    if (strChosen.GetLength() < 3 || strChosen.Right(3).CompareNoCase(L"ini") != 0)
        strChosen = GetLanguageFileForCode(GetSystemLanguageCode());
    return strChosen;
}

CString CTamselApp::GetLangText(const CString& strKey)
{
    return WithLineBreaks(ReadProfileText(m_strSettingsFile, strKey, L"Not found"));
}

void CTamselApp::TranslateDialog(CWnd* pDialog, UINT nTemplateID)
{
    if (pDialog == NULL || AfxGetSafeHwnd(pDialog) == NULL)
        return;
    CString strKey;
    strKey.Format(L"IDD_%u_Title", nTemplateID);
    CString strTitle = m_strLangFile.IsEmpty() ? CString() : m_langTexts.Get(m_strLangFile, strKey, kLangBufferSize);
    if (!strTitle.IsEmpty())
        pDialog->SetWindowText(strTitle);

    for (int nSlot = 0; nSlot < TAMSEL_CATEGORY_COUNT; ++nSlot)
    {
        CString strName = GetLangString(s_pszCategoryNameKeys[nSlot]);
        if (!strName.IsEmpty())
            m_strCategoryNames[nSlot] = strName;
    }

    for (HWND hChild = ::GetWindow(pDialog->m_hWnd, GW_CHILD); hChild != NULL;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        int nID = ::GetDlgCtrlID(hChild);
        // A bitmap push button keeps its caption; its key is the tooltip, as stored.
        CButtonST* pButton = dynamic_cast<CButtonST*>(CWnd::FromHandlePermanent(hChild));
        if (pButton != NULL && pButton->GetCheck() == -1)
        {
            strKey.Format(L"BTN_%u_%d", nTemplateID, nID);
            CString strTip = m_strLangFile.IsEmpty() ? CString() : m_langTexts.Get(m_strLangFile, strKey, kLangBufferSize);
            if (!strTip.IsEmpty())
                pButton->SetTooltipText(strTip, TRUE);
            continue;
        }
        if (KeepsItsText(hChild))
            continue;
        strKey.Format(L"IDD_%u_%d", nTemplateID, nID);
        if (IsKeptKey(strKey))
            continue;
        CString strText = GetLangString(strKey);
        if (!strText.IsEmpty())
            ::SetWindowTextW(hChild, strText);
    }
}

void CTamselApp::SelectLanguage(const CString& strFileName)
{
    CString strWanted = strFileName;
    if (strWanted.IsEmpty())
        strWanted = GetLanguageFileForCode(GetSystemLanguageCode());

    CString strFolder = m_strAppDir + L"Language";
    CString strRecorded;
    WIN32_FIND_DATAW fd;
    HANDLE hFind = ::FindFirstFileW(strFolder + L"\\*.ini", &fd);
    if (hFind != INVALID_HANDLE_VALUE)
    {
        do
        {
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            if (strWanted.CompareNoCase(fd.cFileName) == 0)
            {
                m_strLangFile = strFolder + L"\\" + fd.cFileName;
                strRecorded = fd.cFileName;
                break;
            }
        } while (::FindNextFileW(hFind, &fd));
        ::FindClose(hFind);
    }

    if (strRecorded.IsEmpty())
    {
        m_strLangFile = strFolder + L"\\English.ini";
        ::CreateDirectoryW(strFolder, NULL);
        // An English.ini already there may carry the user's own edits.
        if (!::PathFileExistsW(m_strLangFile))
            ExtractDefaultLanguage(IDR_DEFAULT_LANGUAGE, m_strLangFile);
        strRecorded = L"English";
    }
    // Never into a settings file that did not read: it would lose the rest.
    if (PrepareIniFile(m_strSettingsFile))
        ::WritePrivateProfileStringW(L"General Settings", L"Language", strRecorded, m_strSettingsFile);
}

BOOL CTamselApp::ExtractDefaultLanguage(UINT nResourceID, const CString& strTargetPath)
{
    HINSTANCE hInstance = AfxGetResourceHandle();
    HRSRC hResource = ::FindResourceW(hInstance, MAKEINTRESOURCEW(nResourceID), L"OWNER_DATA");
    if (hResource == NULL)
        return FALSE;
    HGLOBAL hData = ::LoadResource(hInstance, hResource);
    const void* pData = hData != NULL ? ::LockResource(hData) : NULL;
    if (pData == NULL)
        return FALSE;
    DWORD dwSize = ::SizeofResource(hInstance, hResource);

    HANDLE hFile = ::CreateFileW(strTargetPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    DWORD dwWritten = 0;
    BOOL bWritten = ::WriteFile(hFile, pData, dwSize, &dwWritten, NULL) && dwWritten == dwSize;
    BOOL bClosed = ::CloseHandle(hFile);
    return bWritten && bClosed;
}

CString CTamselApp::GetSystemLanguageCode()
{
    CString strCode;
    strCode.Format(L"%04X", (UINT)::GetSystemDefaultLangID());
    if (strCode.IsEmpty())
        strCode = L"0409";
    return strCode;
}

CString CTamselApp::GetLanguageFileForCode(const CString& strCode)
{
    // Tested in this order; a row names either a whole code or a primary language.
    static const struct
    {
        LPCTSTR lpszCode;
        LPCTSTR lpszPrimary;
        LPCTSTR lpszFile;
    } kRules[] = {
        { NULL, L"01", L"Arabic.ini" },          { L"0402", NULL, L"Bulgarian.ini" },
        { L"0804", NULL, L"Chinese(Simplified).ini" }, { NULL, L"04", L"Chinese(Traditional).ini" },
        { L"0405", NULL, L"Czech.ini" },         { L"0413", NULL, L"Dutch.ini" },
        { NULL, L"09", L"English.ini" },         { NULL, L"0c", L"French.ini" },
        { NULL, L"07", L"German.ini" },          { L"040e", NULL, L"Hungarian.ini" },
        { L"0410", NULL, L"Italian.ini" },       { L"0411", NULL, L"Japanese.ini" },
        { L"0412", NULL, L"Korean.ini" },        { L"0814", NULL, L"Norwegian.ini" },
        { L"0415", NULL, L"Polish.ini" },        { L"0416", NULL, L"Portuguese(pt).ini" },
        { L"0418", NULL, L"Romanian.ini" },      { L"0419", NULL, L"Russian.ini" },
        { L"041b", NULL, L"Slovak.ini" },        { NULL, L"0a", L"Spanish.ini" },
        { L"041f", NULL, L"Turkish.ini" },       { L"0422", NULL, L"Ukrainian.ini" },
        { L"041d", NULL, L"Swedish.ini" },       { L"0406", NULL, L"Danish.ini" },
        { L"042a", NULL, L"Vietnamese.ini" } };

    CString strLower = strCode;
    strLower.MakeLower();
    CString strSub = strLower.Left(2);
    CString strPrimary = strLower.Right(2);
    for (const auto& rule : kRules)
    {
        if (rule.lpszCode != NULL && strLower == rule.lpszCode)
            return rule.lpszFile;
        // Sublanguage 08 of Chinese is the simplified one, matched above.
        if (rule.lpszPrimary != NULL && strPrimary == rule.lpszPrimary &&
            !(strPrimary == L"04" && strSub == L"08"))
            return rule.lpszFile;
    }
    return L"English.ini";
}

UINT CTamselApp::GetLanguageFlagIcon(const CString& strFileName)
{
    for (const LanguageFlag& flag : kFlags)
    {
        if (strFileName.CompareNoCase(flag.lpszFile) == 0)
            return flag.nIcon;
    }
    return 0;
}

int CTamselApp::FindLanguageIndex(const CString& strFileName)
{
    for (INT_PTR i = 0; i < m_arrLangFiles.GetSize(); ++i)
    {
        if (m_arrLangFiles[i].CompareNoCase(strFileName) == 0)
            return (int)i;
    }
    for (INT_PTR i = 0; i < m_arrLangFiles.GetSize(); ++i)
    {
        if (m_arrLangFiles[i].CompareNoCase(L"English.ini") == 0)
            return (int)i;
    }
    return 0;
}

CString CTamselApp::GetLanguageFileAt(int nIndex)
{
    if (nIndex < 0 || nIndex >= m_arrLangFiles.GetSize() || m_arrLangFiles[nIndex].IsEmpty())
        return L"English.ini";
    return m_arrLangFiles[nIndex];
}
