#include "framework/FileFind.h"

CFileFind::CFileFind() : m_hFind(INVALID_HANDLE_VALUE), m_bHaveNext(FALSE), m_bHaveCurrent(FALSE)
{
    ZeroMemory(&m_findNext, sizeof(m_findNext));
    ZeroMemory(&m_findCurrent, sizeof(m_findCurrent));
}

CFileFind::~CFileFind()
{
    Close();
}

void CFileFind::Close()
{
    if (m_hFind != INVALID_HANDLE_VALUE)
        ::FindClose(m_hFind);
    m_hFind = INVALID_HANDLE_VALUE;
    m_bHaveNext = FALSE;
    m_bHaveCurrent = FALSE;
    m_strRoot.Empty();
}

BOOL CFileFind::FindFile(LPCWSTR pstrName, DWORD dwUnused)
{
    UNUSED_ALWAYS(dwUnused);
    Close();
    if (pstrName == NULL || *pstrName == 0)
        pstrName = L"*.*";

    m_hFind = ::FindFirstFileW(pstrName, &m_findNext);
    if (m_hFind == INVALID_HANDLE_VALUE)
        return FALSE;
    m_bHaveNext = TRUE;

    // The root is the folder part of the full pattern.
    WCHAR szFull[MAX_PATH * 2];
    LPWSTR pszFilePart = NULL;
    DWORD dwLen = ::GetFullPathNameW(pstrName, MAX_PATH * 2, szFull, &pszFilePart);
    if (dwLen > 0 && dwLen < MAX_PATH * 2) {
        if (pszFilePart)
            *pszFilePart = 0;
        m_strRoot = szFull;
    } else {
        m_strRoot = pstrName;
        int nSlash = m_strRoot.ReverseFind(L'\\');
        m_strRoot = nSlash >= 0 ? m_strRoot.Left(nSlash + 1) : CString();
    }
    if (!m_strRoot.IsEmpty() && m_strRoot[m_strRoot.GetLength() - 1] != L'\\')
        m_strRoot += L'\\';
    return TRUE;
}

BOOL CFileFind::FindNextFile()
{
    if (m_hFind == INVALID_HANDLE_VALUE || !m_bHaveNext)
        return FALSE;
    m_findCurrent = m_findNext;
    m_bHaveCurrent = TRUE;
    m_bHaveNext = ::FindNextFileW(m_hFind, &m_findNext);
    return m_bHaveNext;
}

ULONGLONG CFileFind::GetLength() const
{
    if (!m_bHaveCurrent)
        return 0;
    return ((ULONGLONG)m_findCurrent.nFileSizeHigh << 32) | m_findCurrent.nFileSizeLow;
}

CString CFileFind::GetFileName() const
{
    return m_bHaveCurrent ? CString(m_findCurrent.cFileName) : CString();
}

CString CFileFind::GetFilePath() const
{
    return m_bHaveCurrent ? m_strRoot + m_findCurrent.cFileName : CString();
}

CString CFileFind::GetFileTitle() const
{
    CString strName = GetFileName();
    int nDot = strName.ReverseFind(L'.');
    return nDot > 0 ? strName.Left(nDot) : strName;
}

CString CFileFind::GetFileURL() const
{
    return m_bHaveCurrent ? CString(L"file://") + GetFilePath() : CString();
}

static BOOL CopyStamp(BOOL bHave, const FILETIME& ft, FILETIME* pTimeStamp)
{
    if (!bHave || pTimeStamp == NULL)
        return FALSE;
    *pTimeStamp = ft;
    return TRUE;
}

static BOOL StampToTime(BOOL bHave, const FILETIME& ft, CTime& refTime)
{
    if (!bHave)
        return FALSE;
    refTime = CTime(ft);
    return TRUE;
}

BOOL CFileFind::GetLastWriteTime(FILETIME* p) const { return CopyStamp(m_bHaveCurrent, m_findCurrent.ftLastWriteTime, p); }
BOOL CFileFind::GetLastAccessTime(FILETIME* p) const { return CopyStamp(m_bHaveCurrent, m_findCurrent.ftLastAccessTime, p); }
BOOL CFileFind::GetCreationTime(FILETIME* p) const { return CopyStamp(m_bHaveCurrent, m_findCurrent.ftCreationTime, p); }
BOOL CFileFind::GetLastWriteTime(CTime& t) const { return StampToTime(m_bHaveCurrent, m_findCurrent.ftLastWriteTime, t); }
BOOL CFileFind::GetLastAccessTime(CTime& t) const { return StampToTime(m_bHaveCurrent, m_findCurrent.ftLastAccessTime, t); }
BOOL CFileFind::GetCreationTime(CTime& t) const { return StampToTime(m_bHaveCurrent, m_findCurrent.ftCreationTime, t); }

BOOL CFileFind::IsDots() const
{
    if (!m_bHaveCurrent || !IsDirectory())
        return FALSE;
    const WCHAR* psz = m_findCurrent.cFileName;
    return psz[0] == L'.' && (psz[1] == 0 || (psz[1] == L'.' && psz[2] == 0));
}

BOOL CFileFind::MatchesMask(DWORD dwMask) const
{
    return m_bHaveCurrent && (m_findCurrent.dwFileAttributes & dwMask) != 0;
}
