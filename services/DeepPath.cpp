#include "services/DeepPath.h"
#include "services/ScopedHandle.h"
#include <vector>

namespace {
typedef DWORD(WINAPI* PFN_FINAL_PATH)(HANDLE, LPWSTR, DWORD, DWORD);

PFN_FINAL_PATH FinalPathFunction()
{
    static PFN_FINAL_PATH s_pfnFinalPath = (PFN_FINAL_PATH)(void*)::GetProcAddress(
        ::GetModuleHandleW(L"kernel32.dll"), "GetFinalPathNameByHandleW");
    return s_pfnFinalPath;
}

BOOL IsLongForm(const CString& strPath)
{
    return strPath.Left(4) == L"\\\\?\\";
}
} // namespace

CString LongPathForm(const CString& strPath)
{
    if (strPath.IsEmpty() || IsLongForm(strPath))
        return strPath;
    CString strFull = strPath;
    DWORD dwSize = ::GetFullPathNameW(strPath, 0, NULL, NULL);
    if (dwSize != 0)
    {
        std::vector<WCHAR> buffer(dwSize + 1);
        DWORD dwLength = ::GetFullPathNameW(strPath, (DWORD)buffer.size(), buffer.data(), NULL);
        if (dwLength != 0 && dwLength < buffer.size())
            strFull = CString(buffer.data(), (int)dwLength);
    }
    if (strFull.Left(2) == L"\\\\")
        return L"\\\\?\\UNC\\" + strFull.Mid(2);
    return L"\\\\?\\" + strFull;
}

BOOL HasPathResolver()
{
    return FinalPathFunction() != NULL;
}

CString SystemPathForm(const CString& strPath)
{
    // CreateDirectoryW stops 12 characters short of MAX_PATH.
    return strPath.GetLength() < MAX_PATH - 12 ? strPath : LongPathForm(strPath);
}

BOOL IsPathTooLong(const CString& strPath, DWORD dwError)
{
    if (strPath.GetLength() > kLongestPath || dwError == ERROR_FILENAME_EXCED_RANGE)
        return TRUE;
    // Wine's paths end where its host's do (4,096 bytes); it refuses a longer
    // one with a general failure, which a short path does not meet there.
    return strPath.GetLength() >= MAX_PATH && dwError == ERROR_GEN_FAILURE;
}

DWORD GetResolvedPath(const CString& strPath, CString& strResolved)
{
    strResolved.Empty();
    PFN_FINAL_PATH pfnFinalPath = FinalPathFunction();
    if (pfnFinalPath == NULL)
        return ERROR_NOT_SUPPORTED;
    // A folder is opened by its name without the trailing separator, a drive
    // with it.
    CString strOpen = strPath;
    if (strOpen.Right(2) != L":\\")
        strOpen.TrimRight(L'\\');
    CFileHandle hFile(::CreateFileW(SystemPathForm(strOpen), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, NULL));
    if (!hFile.IsValid())
        return ::GetLastError();
    std::vector<WCHAR> buffer(MAX_PATH);
    DWORD dwLength = pfnFinalPath(hFile, buffer.data(), (DWORD)buffer.size(), 0);
    if (dwLength >= buffer.size() || (dwLength == 0 && ::GetLastError() == ERROR_MORE_DATA))
    {
        // Too small: the answer is the size needed, or no size at all.
        buffer.resize(dwLength >= buffer.size() ? dwLength + 1 : kLongestPath + 8);
        dwLength = pfnFinalPath(hFile, buffer.data(), (DWORD)buffer.size(), 0);
    }
    if (dwLength >= buffer.size())
        return ERROR_INSUFFICIENT_BUFFER;
    if (dwLength == 0)
    {
        // Wine's resolver answers no path past MAX_PATH.
        DWORD dwError = ::GetLastError();
        if (dwError == ERROR_MORE_DATA)
            return ERROR_NOT_SUPPORTED;
        return dwError != ERROR_SUCCESS ? dwError : ERROR_INVALID_FUNCTION;
    }
    strResolved = CString(buffer.data(), (int)dwLength);
    if (strResolved.Left(8).CompareNoCase(L"\\\\?\\UNC\\") == 0)
        strResolved = L"\\\\" + strResolved.Mid(8);
    else if (IsLongForm(strResolved))
        strResolved = strResolved.Mid(4);
    if (strResolved.GetLength() > 3)
        strResolved.TrimRight(L'\\');
    return ERROR_SUCCESS;
}
