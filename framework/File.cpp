#include "framework/File.h"

int PASCAL CFileException::OsErrorToCause(LONG lOsError)
{
    switch (lOsError) {
    case NO_ERROR: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE: return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED: return accessDenied;
    case ERROR_INVALID_HANDLE: return invalidFile;
    case ERROR_CURRENT_DIRECTORY: return removeCurrentDir;
    case ERROR_NEGATIVE_SEEK:
    case ERROR_SEEK: return badSeek;
    case ERROR_SHARING_VIOLATION: return sharingViolation;
    case ERROR_LOCK_VIOLATION: return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return diskFull;
    case ERROR_HANDLE_EOF: return endOfFile;
    default: return genericException;
    }
}

// CFile

CFile::CFile(HANDLE hFile) : m_hFile(hFile), m_bCloseOnDelete(FALSE)
{
}

CFile::CFile(LPCWSTR lpszFileName, UINT nOpenFlags) : m_hFile(INVALID_HANDLE_VALUE), m_bCloseOnDelete(FALSE)
{
    Open(lpszFileName, nOpenFlags);
}

CFile::~CFile()
{
    if (m_bCloseOnDelete)
        Close();
}

BOOL CFile::Open(LPCWSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    Close();
    if (pError) {
        pError->m_cause = CFileException::none;
        pError->m_lOsError = 0;
        pError->m_strFileName = lpszFileName;
    }
    if (lpszFileName == NULL || *lpszFileName == 0) {
        if (pError) {
            pError->m_cause = CFileException::badPath;
            pError->m_lOsError = ERROR_INVALID_NAME;
        }
        return FALSE;
    }

    DWORD dwAccess = 0;
    switch (nOpenFlags & 3) {
    case modeRead: dwAccess = GENERIC_READ; break;
    case modeWrite: dwAccess = GENERIC_WRITE; break;
    default: dwAccess = GENERIC_READ | GENERIC_WRITE; break;
    }
    DWORD dwShare = 0;
    switch (nOpenFlags & 0x70) {
    case shareDenyWrite: dwShare = FILE_SHARE_READ; break;
    case shareDenyRead: dwShare = FILE_SHARE_WRITE; break;
    case shareDenyNone: dwShare = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    default: dwShare = 0; break;  // exclusive and compatibility
    }
    DWORD dwCreation = OPEN_EXISTING;
    if (nOpenFlags & modeCreate)
        dwCreation = (nOpenFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
    DWORD dwFlags = FILE_ATTRIBUTE_NORMAL;
    if (nOpenFlags & osNoBuffer) dwFlags |= FILE_FLAG_NO_BUFFERING;
    if (nOpenFlags & osWriteThrough) dwFlags |= FILE_FLAG_WRITE_THROUGH;
    if (nOpenFlags & osRandomAccess) dwFlags |= FILE_FLAG_RANDOM_ACCESS;
    if (nOpenFlags & osSequentialScan) dwFlags |= FILE_FLAG_SEQUENTIAL_SCAN;
    SECURITY_ATTRIBUTES sa = { sizeof(sa), NULL, (nOpenFlags & modeNoInherit) ? FALSE : TRUE };

    HANDLE hFile = ::CreateFileW(lpszFileName, dwAccess, dwShare, &sa, dwCreation, dwFlags, NULL);
    if (hFile == INVALID_HANDLE_VALUE) {
        if (pError) {
            pError->m_lOsError = (LONG)::GetLastError();
            pError->m_cause = CFileException::OsErrorToCause(pError->m_lOsError);
        }
        return FALSE;
    }
    m_hFile = hFile;
    m_bCloseOnDelete = TRUE;

    WCHAR szFull[MAX_PATH * 2];
    DWORD dwLen = ::GetFullPathNameW(lpszFileName, MAX_PATH * 2, szFull, NULL);
    m_strFileName = (dwLen > 0 && dwLen < MAX_PATH * 2) ? szFull : lpszFileName;
    return TRUE;
}

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    if (m_hFile == INVALID_HANDLE_VALUE || lpBuf == NULL || nCount == 0)
        return 0;
    DWORD dwRead = 0;
    if (!::ReadFile(m_hFile, lpBuf, nCount, &dwRead, NULL))
        return 0;
    return dwRead;
}

BOOL CFile::Write(const void* lpBuf, UINT nCount)
{
    if (m_hFile == INVALID_HANDLE_VALUE || (lpBuf == NULL && nCount != 0))
        return FALSE;
    if (nCount == 0)
        return TRUE;
    DWORD dwWritten = 0;
    return ::WriteFile(m_hFile, lpBuf, nCount, &dwWritten, NULL) && dwWritten == nCount;
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom)
{
    if (m_hFile == INVALID_HANDLE_VALUE || nFrom > end)
        return kSeekFailed;
    LARGE_INTEGER liMove, liNew;
    liMove.QuadPart = lOff;
    if (!::SetFilePointerEx(m_hFile, liMove, &liNew, nFrom))
        return kSeekFailed;
    return (ULONGLONG)liNew.QuadPart;
}

ULONGLONG CFile::GetPosition() const
{
    if (m_hFile == INVALID_HANDLE_VALUE)
        return 0;
    LARGE_INTEGER liZero, liPos;
    liZero.QuadPart = 0;
    return ::SetFilePointerEx(m_hFile, liZero, &liPos, FILE_CURRENT) ? (ULONGLONG)liPos.QuadPart : 0;
}

ULONGLONG CFile::GetLength() const
{
    LARGE_INTEGER liSize;
    if (m_hFile == INVALID_HANDLE_VALUE || !::GetFileSizeEx(m_hFile, &liSize))
        return 0;
    return (ULONGLONG)liSize.QuadPart;
}

BOOL CFile::SetLength(ULONGLONG dwNewLen)
{
    if (m_hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    ULONGLONG nOldPos = GetPosition();
    if (Seek((LONGLONG)dwNewLen, begin) == kSeekFailed)
        return FALSE;
    BOOL bOk = ::SetEndOfFile(m_hFile);
    // Keep the position where it was unless it now lies past the end.
    Seek((LONGLONG)(nOldPos < dwNewLen ? nOldPos : dwNewLen), begin);
    return bOk;
}

BOOL CFile::Flush()
{
    return m_hFile != INVALID_HANDLE_VALUE && ::FlushFileBuffers(m_hFile);
}

void CFile::Close()
{
    if (m_hFile != INVALID_HANDLE_VALUE && m_bCloseOnDelete)
        ::CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    m_bCloseOnDelete = FALSE;
    m_strFileName.Empty();
}

CString CFile::GetFileName() const
{
    CString strPath = GetFilePath();
    int nSlash = strPath.ReverseFind(L'\\');
    int nSlash2 = strPath.ReverseFind(L'/');
    if (nSlash2 > nSlash)
        nSlash = nSlash2;
    return strPath.Mid(nSlash + 1);
}

CString CFile::GetFileTitle() const
{
    CString strName = GetFileName();
    int nDot = strName.ReverseFind(L'.');
    return nDot > 0 ? strName.Left(nDot) : strName;
}

static void FillStatus(const WIN32_FILE_ATTRIBUTE_DATA& data, CFileStatus& rStatus)
{
    rStatus.m_ctime = CTime(data.ftCreationTime);
    rStatus.m_mtime = CTime(data.ftLastWriteTime);
    rStatus.m_atime = CTime(data.ftLastAccessTime);
    if (rStatus.m_atime.GetTime() == 0)
        rStatus.m_atime = rStatus.m_mtime;
    if (rStatus.m_ctime.GetTime() == 0)
        rStatus.m_ctime = rStatus.m_mtime;
    rStatus.m_size = ((ULONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow;
    rStatus.m_attribute = (BYTE)data.dwFileAttributes;
}

BOOL CFile::GetStatus(CFileStatus& rStatus) const
{
    if (m_strFileName.IsEmpty())
        return FALSE;
    return GetStatus(m_strFileName, rStatus);
}

BOOL PASCAL CFile::GetStatus(LPCWSTR lpszFileName, CFileStatus& rStatus)
{
    if (lpszFileName == NULL || *lpszFileName == 0)
        return FALSE;
    DWORD dwLen = ::GetFullPathNameW(lpszFileName, MAX_PATH, rStatus.m_szFullName, NULL);
    if (dwLen == 0 || dwLen >= MAX_PATH)
        return FALSE;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(lpszFileName, GetFileExInfoStandard, &data))
        return FALSE;
    FillStatus(data, rStatus);
    return TRUE;
}

BOOL PASCAL CFile::Remove(LPCWSTR lpszFileName)
{
    return lpszFileName && ::DeleteFileW(lpszFileName);
}

BOOL PASCAL CFile::Rename(LPCWSTR lpszOldName, LPCWSTR lpszNewName)
{
    return lpszOldName && lpszNewName && ::MoveFileW(lpszOldName, lpszNewName);
}

// CStdioFile

BOOL CStdioFile::Open(LPCWSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    DropBuffer();
    m_bTextMode = (nOpenFlags & typeBinary) ? FALSE : TRUE;
    return CFile::Open(lpszFileName, nOpenFlags & ~(typeText | typeBinary), pError);
}

void CStdioFile::Close()
{
    m_strPending.clear();
    CFile::Close();
}

// Puts the file position back where the caller believes it is.
void CStdioFile::DropBuffer()
{
    if (!m_strPending.empty() && m_hFile != INVALID_HANDLE_VALUE)
        CFile::Seek(-(LONGLONG)m_strPending.size(), current);
    m_strPending.clear();
}

BOOL CStdioFile::FillBuffer()
{
    char szBuf[4096];
    UINT nRead = ReadDirect(szBuf, sizeof(szBuf));
    if (nRead == 0)
        return FALSE;
    m_strPending.append(szBuf, nRead);
    return TRUE;
}

UINT CStdioFile::Read(void* lpBuf, UINT nCount)
{
    if (lpBuf == NULL || nCount == 0)
        return 0;
    UINT nFromBuffer = (UINT)(m_strPending.size() < nCount ? m_strPending.size() : nCount);
    memcpy(lpBuf, m_strPending.data(), nFromBuffer);
    m_strPending.erase(0, nFromBuffer);
    if (nFromBuffer == nCount)
        return nCount;
    return nFromBuffer + ReadDirect((BYTE*)lpBuf + nFromBuffer, nCount - nFromBuffer);
}

BOOL CStdioFile::Write(const void* lpBuf, UINT nCount)
{
    DropBuffer();
    return CFile::Write(lpBuf, nCount);
}

ULONGLONG CStdioFile::Seek(LONGLONG lOff, UINT nFrom)
{
    DropBuffer();
    return CFile::Seek(lOff, nFrom);
}

ULONGLONG CStdioFile::GetPosition() const
{
    return CFile::GetPosition() - m_strPending.size();
}

BOOL CStdioFile::ReadString(CString& rString)
{
    rString.Empty();
    size_t nEnd;
    while ((nEnd = m_strPending.find('\n')) == std::string::npos) {
        if (!FillBuffer())
            break;
    }
    if (m_strPending.empty())
        return FALSE;
    std::string strLine;
    if (nEnd == std::string::npos) {
        strLine.swap(m_strPending);
    } else {
        strLine = m_strPending.substr(0, nEnd);
        m_strPending.erase(0, nEnd + 1);
    }
    if (!strLine.empty() && strLine.back() == '\r')
        strLine.pop_back();
    rString = CString(strLine.c_str(), (int)strLine.size());
    return TRUE;
}

LPWSTR CStdioFile::ReadString(LPWSTR lpsz, UINT nMax)
{
    if (lpsz == NULL || nMax == 0)
        return NULL;
    // Take whole bytes up to the line end or the room left.
    std::string strPart;
    while (strPart.size() + 1 < nMax) {
        if (m_strPending.empty() && !FillBuffer())
            break;
        char ch = m_strPending[0];
        m_strPending.erase(0, 1);
        if (ch == '\r' && m_bTextMode)
            continue;
        strPart += ch;
        if (ch == '\n')
            break;
    }
    if (strPart.empty())
        return NULL;
    int nLen = ::MultiByteToWideChar(CP_ACP, 0, strPart.data(), (int)strPart.size(), lpsz, (int)nMax - 1);
    lpsz[nLen] = 0;
    return lpsz;
}

BOOL CStdioFile::WriteString(LPCWSTR lpsz)
{
    if (lpsz == NULL)
        return FALSE;
    CString strText(lpsz);
    if (m_bTextMode) {
        strText.Replace(L"\r\n", L"\n");
        strText.Replace(L"\n", L"\r\n");
    }
    if (strText.IsEmpty())
        return TRUE;
    int nBytes = ::WideCharToMultiByte(CP_ACP, 0, strText, strText.GetLength(), NULL, 0, NULL, NULL);
    if (nBytes <= 0)
        return FALSE;
    std::string strBytes((size_t)nBytes, '\0');
    ::WideCharToMultiByte(CP_ACP, 0, strText, strText.GetLength(), &strBytes[0], nBytes, NULL, NULL);
    return Write(strBytes.data(), (UINT)nBytes);
}
