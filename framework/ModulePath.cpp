#include "framework/ModulePath.h"
#include <vector>

CString AfxGetModulePath(HMODULE hModule)
{
    // Grown until the answer fits: a full buffer means the path was cut.
    for (DWORD dwSize = MAX_PATH; dwSize <= 32768; dwSize *= 2)
    {
        std::vector<wchar_t> buffer(dwSize);
        DWORD dwLength = ::GetModuleFileNameW(hModule, buffer.data(), dwSize);
        if (dwLength == 0)
            return CString();
        if (dwLength < dwSize)
            return CString(buffer.data(), (int)dwLength);
    }
    return CString();
}

CString AfxGetModuleFolder(HMODULE hModule)
{
    CString strPath = AfxGetModulePath(hModule);
    return strPath.Left(strPath.ReverseFind(L'\\') + 1);
}

CString AfxGetModuleBaseName(HMODULE hModule)
{
    CString strPath = AfxGetModulePath(hModule);
    CString strName = strPath.Mid(strPath.ReverseFind(L'\\') + 1);
    int nDot = strName.ReverseFind(L'.');
    return nDot > 0 ? strName.Left(nDot) : strName;
}
