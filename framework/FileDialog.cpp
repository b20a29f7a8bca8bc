#include "framework/FileDialog.h"
#include "framework/Wnd.h"

namespace {

const DWORD kSingleBufferChars = 1024;
const DWORD kMultiBufferChars = 32768;

CString JoinPath(LPCWSTR pszFolder, LPCWSTR pszName)
{
    CString strPath(pszFolder);
    if (!strPath.IsEmpty() && strPath[strPath.GetLength() - 1] != L'\\')
        strPath += L'\\';
    return strPath + pszName;
}

}  // namespace

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCWSTR lpszDefExt, LPCWSTR lpszFileName, DWORD dwFlags,
                         LPCWSTR lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog), m_pParentWnd(pParentWnd), m_strDefExt(lpszDefExt)
{
    ZeroMemory(&m_ofn, sizeof(m_ofn));
    m_szFileTitle[0] = 0;
    m_fileBuffer.assign((dwFlags & OFN_ALLOWMULTISELECT) ? kMultiBufferChars : kSingleBufferChars, 0);
    if (lpszFileName)
        lstrcpynW(m_fileBuffer.data(), lpszFileName, (int)m_fileBuffer.size());

    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.hInstance = AfxGetResourceHandle();
    m_ofn.lpstrFile = m_fileBuffer.data();
    m_ofn.nMaxFile = (DWORD)m_fileBuffer.size();
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = MAX_PATH;
    m_ofn.Flags = dwFlags | OFN_EXPLORER;
    m_ofn.lpstrDefExt = m_strDefExt.IsEmpty() ? NULL : (LPCWSTR)m_strDefExt;
    if (lpszFilter) {
        m_strFilter = ParseFilter(lpszFilter);
        m_ofn.lpstrFilter = m_strFilter.c_str();
    }
}

std::wstring CFileDialog::ParseFilter(LPCWSTR lpszFilter)
{
    std::wstring strFilter(lpszFilter ? lpszFilter : L"");
    for (wchar_t& ch : strFilter) {
        if (ch == L'|')
            ch = 0;
    }
    // The system wants pairs ended by an empty string: two zeros at the end.
    while (strFilter.size() >= 1 && strFilter.back() == 0)
        strFilter.pop_back();
    if (!strFilter.empty())
        strFilter.push_back(0);
    strFilter.push_back(0);
    return strFilter;
}

INT_PTR CFileDialog::DoModal()
{
    m_ofn.hwndOwner = m_pParentWnd ? m_pParentWnd->m_hWnd : ::GetActiveWindow();
    BOOL bOk = m_bOpenFileDialog ? ::GetOpenFileNameW(&m_ofn) : ::GetSaveFileNameW(&m_ofn);
    return bOk ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const
{
    return m_ofn.lpstrFile ? CString(m_ofn.lpstrFile) : CString();
}

CString CFileDialog::GetFileName() const
{
    if (m_ofn.lpstrFile == NULL)
        return CString();
    CString strPath(m_ofn.lpstrFile);
    if (m_ofn.nFileOffset > 0 && m_ofn.nFileOffset < strPath.GetLength())
        return strPath.Mid(m_ofn.nFileOffset);
    int nSlash = strPath.ReverseFind(L'\\');
    return strPath.Mid(nSlash + 1);
}

CString CFileDialog::GetFileExt() const
{
    CString strName = GetFileName();
    int nDot = strName.ReverseFind(L'.');
    return nDot >= 0 ? strName.Mid(nDot + 1) : CString();
}

CString CFileDialog::GetFileTitle() const
{
    CString strName = GetFileName();
    int nDot = strName.ReverseFind(L'.');
    return nDot > 0 ? strName.Left(nDot) : strName;
}

POSITION CFileDialog::GetStartPosition() const
{
    if (m_ofn.lpstrFile == NULL || m_ofn.lpstrFile[0] == 0)
        return NULL;
    return (POSITION)m_ofn.lpstrFile;
}

// Several files come as "folder\0name\0name\0\0"; one file as "path\0".
// A position is the address of the next entry to hand out.
CString CFileDialog::GetNextPathName(POSITION& pos) const
{
    LPCWSTR pszEntry = (LPCWSTR)pos;
    if (pszEntry == NULL) {
        return CString();
    }
    LPCWSTR pszFolder = m_ofn.lpstrFile;
    if (!(m_ofn.Flags & OFN_ALLOWMULTISELECT)) {
        pos = NULL;
        return CString(pszEntry);
    }
    if (pszEntry == pszFolder) {
        LPCWSTR pszFirstName = pszFolder + lstrlenW(pszFolder) + 1;
        if (*pszFirstName == 0) {
            pos = NULL;
            return CString(pszFolder);
        }
        pszEntry = pszFirstName;
    }
    LPCWSTR pszNext = pszEntry + lstrlenW(pszEntry) + 1;
    pos = *pszNext ? (POSITION)pszNext : NULL;
    return JoinPath(pszFolder, pszEntry);
}
