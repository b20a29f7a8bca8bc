#include "framework/Internet.h"
#include "framework/ModulePath.h"

// CInternetFile

CInternetFile::CInternetFile(HINTERNET hFile, LPCWSTR pstrURL, DWORD_PTR dwContext)
    : m_hInternet(hFile), m_strURL(pstrURL), m_dwContext(dwContext), m_nBytesRead(0)
{
    m_bTextMode = TRUE;
}

CInternetFile::~CInternetFile()
{
    Close();
}

void CInternetFile::Close()
{
    if (m_hInternet)
        ::InternetCloseHandle(m_hInternet);
    m_hInternet = NULL;
    m_strPending.clear();
}

UINT CInternetFile::ReadDirect(void* lpBuf, UINT nCount)
{
    if (m_hInternet == NULL || lpBuf == NULL || nCount == 0)
        return 0;
    DWORD dwRead = 0;
    if (!::InternetReadFile(m_hInternet, lpBuf, nCount, &dwRead))
        return 0;
    m_nBytesRead += dwRead;
    return dwRead;
}

UINT CInternetFile::Read(void* lpBuf, UINT nCount)
{
    return CStdioFile::Read(lpBuf, nCount);
}

BOOL CInternetFile::Write(const void* lpBuf, UINT nCount)
{
    if (m_hInternet == NULL || lpBuf == NULL)
        return FALSE;
    DWORD dwWritten = 0;
    return ::InternetWriteFile(m_hInternet, lpBuf, nCount, &dwWritten) && dwWritten == nCount;
}

ULONGLONG CInternetFile::Seek(LONGLONG lOff, UINT nFrom)
{
    // Forward from the current place by reading and dropping; nothing else.
    if (m_hInternet == NULL || nFrom != current || lOff < 0)
        return kSeekFailed;
    char szSkip[4096];
    while (lOff > 0) {
        UINT nChunk = (UINT)(lOff < (LONGLONG)sizeof(szSkip) ? lOff : sizeof(szSkip));
        UINT nRead = Read(szSkip, nChunk);
        if (nRead == 0)
            return kSeekFailed;
        lOff -= nRead;
    }
    return GetPosition();
}

ULONGLONG CInternetFile::GetPosition() const
{
    return m_nBytesRead - m_strPending.size();
}

ULONGLONG CInternetFile::GetLength() const
{
    if (m_hInternet == NULL)
        return 0;
    WCHAR szLength[32] = L"";
    DWORD dwSize = sizeof(szLength);
    if (!::HttpQueryInfoW(m_hInternet, HTTP_QUERY_CONTENT_LENGTH, szLength, &dwSize, NULL))
        return 0;
    return (ULONGLONG)_wcstoui64(szLength, NULL, 10);
}

CString CInternetFile::GetFileName() const
{
    CString strPath = m_strURL;
    int nCut = strPath.FindOneOf(L"?#");
    if (nCut >= 0)
        strPath = strPath.Left(nCut);
    int nSlash = strPath.ReverseFind(L'/');
    return strPath.Mid(nSlash + 1);
}

// CHttpFile

BOOL CHttpFile::QueryInfo(DWORD dwInfoLevel, CString& str) const
{
    str.Empty();
    if (m_hInternet == NULL)
        return FALSE;
    DWORD dwSize = 0;
    ::HttpQueryInfoW(m_hInternet, dwInfoLevel, NULL, &dwSize, NULL);
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || dwSize == 0)
        return FALSE;
    LPWSTR pszBuf = str.GetBufferSetLength((int)(dwSize / sizeof(WCHAR)) + 1);
    BOOL bOk = ::HttpQueryInfoW(m_hInternet, dwInfoLevel, pszBuf, &dwSize, NULL);
    str.ReleaseBuffer(bOk ? (int)(dwSize / sizeof(WCHAR)) : 0);
    return bOk;
}

BOOL CHttpFile::QueryInfoStatusCode(DWORD& dwStatusCode) const
{
    dwStatusCode = 0;
    if (m_hInternet == NULL)
        return FALSE;
    DWORD dwSize = sizeof(dwStatusCode);
    return ::HttpQueryInfoW(m_hInternet, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &dwStatusCode,
                            &dwSize, NULL);
}

// CInternetSession

CInternetSession::CInternetSession(LPCWSTR pstrAgent, DWORD_PTR dwContext, DWORD dwAccessType,
                                   LPCWSTR pstrProxyName, LPCWSTR pstrProxyBypass, DWORD dwFlags)
    : m_hSession(NULL), m_dwContext(dwContext)
{
    CString strAgent;
    if (pstrAgent == NULL)
    {
        strAgent = AfxGetModuleBaseName();
        pstrAgent = strAgent;
    }
    m_hSession = ::InternetOpenW(pstrAgent, dwAccessType, pstrProxyName, pstrProxyBypass, dwFlags);
}

CInternetSession::~CInternetSession()
{
    Close();
}

void CInternetSession::Close()
{
    if (m_hSession)
        ::InternetCloseHandle(m_hSession);
    m_hSession = NULL;
}

BOOL CInternetSession::SetOption(DWORD dwOption, DWORD dwValue)
{
    return m_hSession && ::InternetSetOptionW(m_hSession, dwOption, &dwValue, sizeof(dwValue));
}

BOOL CInternetSession::QueryOption(DWORD dwOption, DWORD& dwValue) const
{
    DWORD dwSize = sizeof(dwValue);
    return m_hSession && ::InternetQueryOptionW(m_hSession, dwOption, &dwValue, &dwSize);
}

CStdioFile* CInternetSession::OpenURL(LPCWSTR pstrURL, DWORD_PTR dwContext, DWORD dwFlags, LPCWSTR pstrHeaders,
                                      DWORD dwHeadersLength)
{
    if (m_hSession == NULL || pstrURL == NULL || *pstrURL == 0)
        return NULL;
    if (pstrHeaders && dwHeadersLength == 0)
        dwHeadersLength = (DWORD)-1;
    HINTERNET hFile = ::InternetOpenUrlW(m_hSession, pstrURL, pstrHeaders, dwHeadersLength, dwFlags, dwContext);
    if (hFile == NULL)
        return NULL;

    bool bHttp = _wcsnicmp(pstrURL, L"http://", 7) == 0 || _wcsnicmp(pstrURL, L"https://", 8) == 0;
    if (!bHttp)
        return new CInternetFile(hFile, pstrURL, dwContext);

    CHttpFile* pFile = new CHttpFile(hFile, pstrURL, dwContext);
    // An error page is not the resource that was asked for.
    DWORD dwStatus = 0;
    if (pFile->QueryInfoStatusCode(dwStatus) && dwStatus >= 400) {
        delete pFile;
        return NULL;
    }
    return pFile;
}
