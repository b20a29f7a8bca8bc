#include "app/ServiceBridge.h"

#include <shlwapi.h>

#if __has_include("services/TextFile.h")
#include "services/TextFile.h"

void ReadTextFileLines(const CString& strFile, CStringArray& arrLines)
{
    CTextFile file(strFile, L"rb");
    if (!file.IsOpen())
        return;
    CString strLine;
    while (file.ReadLine(strLine))
        arrLines.Add(strLine);
    if (!strLine.IsEmpty())
        arrLines.Add(strLine);
    file.Close();
}
#else
#include <string>

namespace {
CString DecodeBytes(const char* pBytes, int nBytes, UINT nCodePage)
{
    CString strText;
    int nChars = ::MultiByteToWideChar(nCodePage, 0, pBytes, nBytes, NULL, 0);
    if (nChars > 0)
    {
        ::MultiByteToWideChar(nCodePage, 0, pBytes, nBytes, strText.GetBuffer(nChars), nChars);
        strText.ReleaseBuffer(nChars);
    }
    return strText;
}
} // namespace

void ReadTextFileLines(const CString& strFile, CStringArray& arrLines)
{
    HANDLE hFile = ::CreateFileW(strFile, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return;
    std::string bytes;
    DWORD dwSize = ::GetFileSize(hFile, NULL);
    DWORD dwRead = 0;
    if (dwSize != INVALID_FILE_SIZE)
    {
        bytes.resize(dwSize);
        if (!::ReadFile(hFile, &bytes[0], dwSize, &dwRead, NULL))
            dwRead = 0;
        bytes.resize(dwRead);
    }
    ::CloseHandle(hFile);

    const char* pBytes = bytes.data();
    int nBytes = (int)bytes.size();
    CString strText;
    if (nBytes >= 2 && (BYTE)pBytes[0] == 0xFF && (BYTE)pBytes[1] == 0xFE)
        strText = CString((LPCWSTR)(pBytes + 2), (nBytes - 2) / 2);
    else if (nBytes >= 3 && (BYTE)pBytes[0] == 0xEF && (BYTE)pBytes[1] == 0xBB && (BYTE)pBytes[2] == 0xBF)
        strText = DecodeBytes(pBytes + 3, nBytes - 3, CP_UTF8);
    else
        strText = DecodeBytes(pBytes, nBytes, CP_OEMCP);

    int nStart = 0;
    for (int nFeed = strText.Find(L'\n'); nFeed >= 0; nFeed = strText.Find(L'\n', nStart))
    {
        arrLines.Add(strText.Mid(nStart, nFeed - nStart));
        nStart = nFeed + 1;
    }
    if (nStart < strText.GetLength())
        arrLines.Add(strText.Mid(nStart));
}
#endif

#if __has_include("services/PathString.h")
#include "services/PathString.h"

CString CleanPathText(const CString& strPath)
{
    CPathString path;
    path = strPath;
    return path.GetString();
}

CString GetPathFolder(const CString& strPath)
{
    CPathString path(strPath);
    return path.GetDirectory(TRUE).GetString();
}
#else
CString CleanPathText(const CString& strPath)
{
    CString strText = strPath;
    strText.Trim();
    if (strText.GetLength() >= 2 && strText[0] == L'"' && strText[strText.GetLength() - 1] == L'"')
    {
        strText = strText.Mid(1, strText.GetLength() - 2);
        strText.Trim();
    }
    wchar_t szExpanded[4096] = {};
    DWORD dwLength = ::ExpandEnvironmentStringsW(strText, szExpanded, 4096);
    if (dwLength > 0 && dwLength <= 4096)
        strText = szExpanded;
    if (strText.Find(L"\\.") >= 0)
    {
        wchar_t szCanonical[MAX_PATH] = {};
        if (strText.GetLength() < MAX_PATH && ::PathCanonicalizeW(szCanonical, strText))
            strText = szCanonical;
    }
    if (strText.Left(4) == L"\\\\?\\")
    {
        CString strRest = strText.Mid(4);
        if (strRest.GetLength() >= 2 && strRest[1] == L':')
            strText = strRest;
        else if (strRest.Left(4).CompareNoCase(L"UNC\\") == 0)
            strText = L"\\\\" + strRest.Mid(4);
    }
    return strText;
}

CString GetPathFolder(const CString& strPath)
{
    CString strFolder = strPath.Left(strPath.ReverseFind(L'\\') + 1);
    if (strFolder.GetLength() > 3)
        strFolder = strFolder.Left(strFolder.GetLength() - 1);
    return strFolder;
}
#endif

#if __has_include("services/ScheduledTask.h")
#include "services/ScheduledTask.h"

HRESULT SaveWeeklyTask(const CString& strName, const CString& strProgram, const CString& strFolder,
                       const CString& strComment, const SYSTEMTIME& stStart)
{
    CScheduledTask task;
    task.SetProgram(strProgram);
    task.SetParameters(L"");
    task.SetWorkingDirectory(strFolder);
    task.SetComment(strComment);
    task.SetFrequency(CScheduledTask::FREQ_WEEKLY);
    task.SetStartDateTime(stStart);
    return task.Save(strName, FALSE);
}
#else
HRESULT SaveWeeklyTask(const CString&, const CString&, const CString&, const CString&, const SYSTEMTIME&)
{
    // Without the scheduled task service the request stays pending.
    return E_NOTIMPL;
}
#endif
