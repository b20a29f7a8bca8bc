#include "repair/IgnoreListFile.h"
#include "services/TextFile.h"

#include <shlwapi.h>

namespace {
const wchar_t kEncodedLf = 0x240A;
const wchar_t kEncodedCr = 0x240D;
}

CString CIgnoreListFile::FormatEntry(int nCategory, const CRegProblem& problem)
{
    CString strEntry;
    strEntry.Format(L"%d;%s|%s|%s", nCategory - 1, (LPCWSTR)problem.m_strKeyPath,
                    problem.m_strValueName.IsEmpty() ? L"{Default}" : (LPCWSTR)problem.m_strValueName,
                    (LPCWSTR)problem.m_strData);
    return strEntry;
}

CString CIgnoreListFile::EncodeLine(const CString& strEntry)
{
    CString str = strEntry;
    str.Replace(L'\n', kEncodedLf);
    str.Replace(L'\r', kEncodedCr);
    return str;
}

CString CIgnoreListFile::DecodeLine(const CString& strLine)
{
    CString str = strLine;
    str.Replace(kEncodedLf, L'\n');
    str.Replace(kEncodedCr, L'\r');
    return str;
}

BOOL CIgnoreListFile::ReadFile(const CString& strFile, CStringArray& arrEntries)
{
    arrEntries.RemoveAll();
    if (!::PathFileExistsW(strFile))
        return TRUE;
    CTextFile file(strFile, L"rb");
    if (!file.IsOpen())
        return FALSE;
    CString strLine;
    BOOL bMore = TRUE;
    while (bMore)
    {
        bMore = file.ReadLine(strLine);
        // A line ended by CR LF would otherwise never match its entry.
        if (!strLine.IsEmpty() && strLine[strLine.GetLength() - 1] == L'\r')
            strLine = strLine.Left(strLine.GetLength() - 1);
        if (strLine.GetLength() != 0)
            arrEntries.Add(DecodeLine(strLine));
    }
    BOOL bClean = file.IsReadClean();
    file.Close();
    return bClean;
}

BOOL CIgnoreListFile::IsFileRewritable(const CString& strFile)
{
    CStringArray arrEntries;
    return ReadFile(strFile, arrEntries);
}

BOOL CIgnoreListFile::WriteFile(const CString& strFile, const CStringArray& arrEntries, DWORD* pdwError)
{
    CString strText;
    strText += (wchar_t)0xFEFF;
    for (INT_PTR i = 0; i < arrEntries.GetSize(); i++)
    {
        if (arrEntries[i].IsEmpty())
            continue;
        strText += EncodeLine(arrEntries[i]);
        strText += L'\n';
    }
    CString strTemp = strFile + L".tmp";
    DWORD dwError = ERROR_SUCCESS;
    HANDLE hFile = CreateFileW(strTemp, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        dwError = GetLastError();
    else
    {
        DWORD dwBytes = (DWORD)strText.GetLength() * sizeof(wchar_t), dwWritten = 0;
        if (!::WriteFile(hFile, (LPCWSTR)strText, dwBytes, &dwWritten, NULL) || dwWritten != dwBytes)
            dwError = GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_WRITE_FAULT;
        if (!CloseHandle(hFile) && dwError == ERROR_SUCCESS)
            dwError = GetLastError();
        if (dwError == ERROR_SUCCESS && !MoveFileExW(strTemp, strFile, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            dwError = GetLastError();
        if (dwError != ERROR_SUCCESS)
            DeleteFileW(strTemp);
    }
    if (pdwError != NULL)
        *pdwError = dwError;
    return dwError == ERROR_SUCCESS;
}

BOOL CIgnoreListFile::AddEntry(CTamselApp* pApp, const CString& strEntry, BOOL* pbUnreadable)
{
    if (pbUnreadable != NULL)
        *pbUnreadable = FALSE;
    if (!IsFileRewritable(FileOf(pApp)))
    {
        if (pbUnreadable != NULL)
            *pbUnreadable = TRUE;
        return FALSE;
    }
    INT_PTR nIndex = pApp->m_arrIgnoreList.Add(strEntry);
    if (WriteFile(FileOf(pApp), pApp->m_arrIgnoreList))
        return TRUE;
    pApp->m_arrIgnoreList.RemoveAt(nIndex);
    return FALSE;
}

BOOL CIgnoreListFile::RemoveEntry(CTamselApp* pApp, INT_PTR nIndex, BOOL* pbUnreadable)
{
    if (pbUnreadable != NULL)
        *pbUnreadable = FALSE;
    if (nIndex < 0 || nIndex >= pApp->m_arrIgnoreList.GetSize())
        return FALSE;
    if (!IsFileRewritable(FileOf(pApp)))
    {
        if (pbUnreadable != NULL)
            *pbUnreadable = TRUE;
        return FALSE;
    }
    CString strEntry = pApp->m_arrIgnoreList[nIndex];
    pApp->m_arrIgnoreList.RemoveAt(nIndex);
    if (WriteFile(FileOf(pApp), pApp->m_arrIgnoreList))
        return TRUE;
    pApp->m_arrIgnoreList.InsertAt(nIndex, strEntry);
    return FALSE;
}
