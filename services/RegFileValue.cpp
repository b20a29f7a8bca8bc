#include "services/RegFile.h"

DWORD CRegFile::ExportValue(const CString& strKeyPath, const CString& strName, REGSAM samView)
{
    m_dwCallError = 0;
    CString strPath = strKeyPath;
    strPath.TrimRight(L'\\');
    CRegKeyHandle key;
    LONG nResult = OpenKeyByPath(key.Receive(), strPath, RegKeyPathOpen, samView & (KEY_WOW64_32KEY | KEY_WOW64_64KEY));
    if (nResult != ERROR_SUCCESS)
    {
        SetExportError(nResult);
        return nResult;
    }
    if (m_hFile == INVALID_HANDLE_VALUE || m_hFile == NULL)
    {
        SetExportError(ERROR_INVALID_HANDLE);
        return ERROR_INVALID_HANDLE;
    }

    // The value may grow between the size query and the read: ask again.
    DWORD dwType = REG_NONE;
    DWORD dwSize = 0;
    nResult = RegQueryValueExW(key, strName, NULL, &dwType, NULL, &dwSize);
    std::vector<BYTE> data;
    for (int nTry = 0; nTry < 8 && nResult == ERROR_SUCCESS; ++nTry)
    {
        data.resize(dwSize + sizeof(wchar_t));
        DWORD dwRead = (DWORD)data.size();
        nResult = RegQueryValueExW(key, strName, NULL, &dwType, data.data(), &dwRead);
        if (nResult == ERROR_MORE_DATA)
        {
            dwSize = dwRead;
            nResult = ERROR_SUCCESS;
            continue;
        }
        dwSize = dwRead;
        break;
    }
    if (nResult != ERROR_SUCCESS)
    {
        SetExportError(nResult);
        return nResult;
    }

    PutChar(L'[');
    PutString(strPath);
    PutString(L"]\n");
    PutValue(strName, (DWORD)strName.GetLength(), dwType, data.data(), dwSize);
    PutChar(L'\n');
    Flush();
    return m_dwCallError;
}
