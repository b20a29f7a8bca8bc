#include "privacy/ShredPath.h"
#include "privacy/JunkWalk.h"
#include "services/ScopedHandle.h"
#include <stdio.h>

BOOL SplitShredPath(const std::wstring& strPath, std::wstring& strFolder, std::wstring& strName)
{
    size_t nSlash = strPath.rfind(L'\\');
    if (nSlash == std::wstring::npos || nSlash + 1 >= strPath.size())
        return FALSE;
    strFolder = strPath.substr(0, nSlash + 1);
    strName = strPath.substr(nSlash + 1);
    return TRUE;
}

std::vector<ShredItem> CollectShredFolderFiles(const std::wstring& strRoot, HANDLE hStop)
{
    std::vector<ShredItem> items;
    if (strRoot.empty())
        return items;
    std::wstring strStart = strRoot;
    if (strStart.back() != L'\\')
        strStart += L'\\';
    std::vector<std::wstring> pending(1, strStart);
    std::vector<std::wstring> children;
    unsigned nSincePoll = 0;
    bool bStopped = false;
    while (!pending.empty() && !bStopped)
    {
        if (hStop != NULL && ::WaitForSingleObject(hStop, 0) == WAIT_OBJECT_0)
            break;
        std::wstring strFolder = std::move(pending.back());
        pending.pop_back();
        children.clear();
        WIN32_FIND_DATAW fd;
        CFindHandle hFind(::FindFirstFileW(JunkApiPath(strFolder + L"*").c_str(), &fd));
        if (!hFind.IsValid())
            continue;
        do
        {
            // A folder of many thousand files is not listed to its end past a
            // stop; a zero-wait poll per entry would cost a server round trip.
            if (hStop != NULL && ++nSincePoll >= 32)
            {
                nSincePoll = 0;
                if (::WaitForSingleObject(hStop, 0) == WAIT_OBJECT_0)
                {
                    bStopped = true;
                    break;
                }
            }
            const wchar_t* pszName = fd.cFileName;
            if (pszName[0] == L'.' && (pszName[1] == 0 || (pszName[1] == L'.' && pszName[2] == 0)))
                continue;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                continue;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                children.push_back(strFolder + pszName + L'\\');
            else
                items.push_back(ShredItem{strFolder, pszName});
        } while (::FindNextFileW(hFind, &fd));
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            pending.push_back(std::move(*it));
    }
    return items;
}

std::wstring FormatShredSize(ULONGLONG ullSize)
{
    wchar_t szText[32];
    _snwprintf(szText, 32, L"%I64u", ullSize);
    szText[31] = 0;
    return szText;
}
