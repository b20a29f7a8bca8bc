#include "repair/IgnoreListFile.h"
#include "services/TextFile.h"

#include <shlwapi.h>
#include <algorithm>
#include <memory>
#include <new>

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

namespace {

// Larger files are left to the line reader rather than held whole.
const LONGLONG kWholeReadLimit = 512LL * 1024 * 1024;

// The units of a file read whole, its mark first.
struct WholeFile
{
    std::unique_ptr<wchar_t[]> pUnits;
    size_t nUnits = 0;
};

enum FileForm
{
    OwnForm,      // the UTF-16LE mark and units that are all text
    OtherForm,
};

// Reads the file whole and tells whether it has the form this program
// writes. Anything else (another encoding, a zero or U+FFFF unit, a half
// unit, a file that cannot be opened) is left to CTextFile, whose reading
// decides what such a file holds and whether it is clean.
FileForm ReadOwnForm(const CString& strFile, WholeFile& file)
{
    HANDLE hFile = CreateFileW(strFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return OtherForm;
    LARGE_INTEGER size = {};
    bool bOk = GetFileSizeEx(hFile, &size) && size.QuadPart >= 2 && size.QuadPart <= kWholeReadLimit;
    if (bOk)
    {
        file.nUnits = (size_t)(size.QuadPart / 2);
        file.pUnits.reset(new (std::nothrow) wchar_t[(size_t)(size.QuadPart + 1) / 2]);
        bOk = file.pUnits != nullptr;
        BYTE* pBytes = (BYTE*)file.pUnits.get();
        DWORD nTotal = (DWORD)size.QuadPart, nDone = 0;
        while (bOk && nDone < nTotal)
        {
            DWORD nRead = 0;
            bOk = ::ReadFile(hFile, pBytes + nDone, nTotal - nDone, &nRead, NULL) && nRead > 0;
            nDone += nRead;
        }
    }
    CloseHandle(hFile);
    if (!bOk || file.pUnits[0] != 0xFEFF)
        return OtherForm;
    const wchar_t* pUnit = file.pUnits.get();
    for (size_t i = 1; i < file.nUnits; i++)
    {
        if (pUnit[i] == 0 || pUnit[i] == 0xFFFF)
            return OtherForm;
    }
    // A half unit at the end.
    return size.QuadPart % 2 == 0 ? OwnForm : OtherForm;
}

void SplitLines(const WholeFile& file, CStringArray& arrEntries)
{
    const wchar_t* pText = file.pUnits.get() + 1;
    const wchar_t* pEnd = file.pUnits.get() + file.nUnits;
    arrEntries.SetSize(std::count(pText, pEnd, L'\n') + 1);
    INT_PTR nCount = 0;
    while (pText < pEnd)
    {
        const wchar_t* pLineEnd = std::find(pText, pEnd, L'\n');
        const wchar_t* pLast = pLineEnd;
        // A line ended by CR LF would otherwise never match its entry.
        if (pLast > pText && pLast[-1] == L'\r')
            pLast--;
        if (pLast > pText)
            arrEntries[nCount++] = CIgnoreListFile::DecodeLine(CString(pText, (int)(pLast - pText)));
        pText = pLineEnd + 1;
    }
    arrEntries.SetSize(nCount);
}

} // namespace

BOOL CIgnoreListFile::ReadFile(const CString& strFile, CStringArray& arrEntries)
{
    arrEntries.RemoveAll();
    if (!::PathFileExistsW(strFile))
        return TRUE;
    WholeFile whole;
    if (ReadOwnForm(strFile, whole) == OwnForm)
    {
        SplitLines(whole, arrEntries);
        return TRUE;
    }
    whole.pUnits.reset();
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
    WholeFile whole;
    if (!::PathFileExistsW(strFile) || ReadOwnForm(strFile, whole) == OwnForm)
        return TRUE;
    CStringArray arrEntries;
    return ReadFile(strFile, arrEntries);
}

std::wstring CIgnoreListFile::FileText(const CStringArray& arrEntries)
{
    // One buffer of the final size: a list of 100,000 entries is tens of
    // megabytes, too much to grow piece by piece.
    size_t nTotal = 1;
    for (const CString& strEntry : arrEntries)
        if (!strEntry.IsEmpty())
            nTotal += (size_t)strEntry.GetLength() + 1;
    std::wstring strText(nTotal, L'\0');
    wchar_t* pOut = &strText[0];
    *pOut++ = 0xFEFF;
    for (const CString& strEntry : arrEntries)
    {
        int nLength = strEntry.GetLength();
        if (nLength == 0)
            continue;
        LPCWSTR pEntry = strEntry;
        for (int i = 0; i < nLength; i++)
        {
            wchar_t ch = pEntry[i];
            *pOut++ = ch == L'\n' ? kEncodedLf : ch == L'\r' ? kEncodedCr : ch;
        }
        *pOut++ = L'\n';
    }
    return strText;
}

BOOL CIgnoreListFile::WriteFile(const CString& strFile, const CStringArray& arrEntries, DWORD* pdwError)
{
    return WriteText(strFile, FileText(arrEntries), pdwError);
}

BOOL CIgnoreListFile::WriteText(const CString& strFile, const std::wstring& strText, DWORD* pdwError)
{
    CString strTemp = strFile + L".tmp";
    DWORD dwError = ERROR_SUCCESS;
    HANDLE hFile = CreateFileW(strTemp, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        dwError = GetLastError();
    else
    {
        DWORD dwBytes = (DWORD)(strText.size() * sizeof(wchar_t)), dwWritten = 0;
        if (!::WriteFile(hFile, strText.data(), dwBytes, &dwWritten, NULL) || dwWritten != dwBytes)
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

CIgnoreListFile::SaveResult CIgnoreListFile::SaveText(const CString& strFile, const std::wstring& strText)
{
    if (!IsFileRewritable(strFile))
        return Unreadable;
    return WriteText(strFile, strText) ? Saved : NotSaved;
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
