#pragma once
// A WinInet session and the files it opens. Failures are return values:
// OpenURL gives NULL, a failed read gives 0 bytes.
#include "framework/AfxDefs.h"
#include <wininet.h>
#include "framework/String.h"
#include "framework/File.h"

// A resource opened by URL; read it like a file. Delete it when done.
class CInternetFile : public CStdioFile
{
public:
    CInternetFile(HINTERNET hFile, LPCWSTR pstrURL, DWORD_PTR dwContext);
    ~CInternetFile() override;

    HINTERNET m_hInternet;
    operator HINTERNET() const { return m_hInternet; }

    UINT Read(void* lpBuf, UINT nCount) override;
    BOOL Write(const void* lpBuf, UINT nCount) override;
    // Only moving forward is possible on most responses; kSeekFailed otherwise.
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
    ULONGLONG GetPosition() const override;
    ULONGLONG GetLength() const override;  // 0 when the server does not say
    BOOL SetLength(ULONGLONG) override { return FALSE; }
    BOOL Flush() override { return FALSE; }
    void Close() override;
    void Abort() override { Close(); }

    // The last part of the URL's path, without query or fragment.
    CString GetFileName() const override;
    CString GetFilePath() const override { return m_strURL; }
    CString GetFileURL() const { return m_strURL; }
    DWORD_PTR GetContext() const { return m_dwContext; }
    BOOL SetReadBufferSize(UINT) { return TRUE; }

protected:
    UINT ReadDirect(void* lpBuf, UINT nCount) override;

    CString m_strURL;
    DWORD_PTR m_dwContext;
    ULONGLONG m_nBytesRead;  // taken from the connection so far
};

class CHttpFile : public CInternetFile
{
public:
    CHttpFile(HINTERNET hFile, LPCWSTR pstrURL, DWORD_PTR dwContext)
        : CInternetFile(hFile, pstrURL, dwContext) {}

    BOOL QueryInfo(DWORD dwInfoLevel, CString& str) const;
    BOOL QueryInfoStatusCode(DWORD& dwStatusCode) const;
};

class CInternetSession
{
public:
    // A NULL agent means the executable's name.
    CInternetSession(LPCWSTR pstrAgent = NULL, DWORD_PTR dwContext = 1,
                     DWORD dwAccessType = INTERNET_OPEN_TYPE_PRECONFIG, LPCWSTR pstrProxyName = NULL,
                     LPCWSTR pstrProxyBypass = NULL, DWORD dwFlags = 0);
    virtual ~CInternetSession();

    // An http(s) URL gives a CHttpFile. NULL when it cannot be opened; an
    // http status of 400 or more counts as not opened.
    CStdioFile* OpenURL(LPCWSTR pstrURL, DWORD_PTR dwContext = 1, DWORD dwFlags = INTERNET_FLAG_TRANSFER_ASCII,
                        LPCWSTR pstrHeaders = NULL, DWORD dwHeadersLength = 0);
    BOOL SetOption(DWORD dwOption, DWORD dwValue);
    BOOL QueryOption(DWORD dwOption, DWORD& dwValue) const;
    void Close();

    HINTERNET GetSafeHandle() const { return m_hSession; }
    operator HINTERNET() const { return m_hSession; }
    DWORD_PTR GetContext() const { return m_dwContext; }

private:
    HINTERNET m_hSession;
    DWORD_PTR m_dwContext;

    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;
};
