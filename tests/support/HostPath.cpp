#include "tests/support/HostPath.h"

namespace testsupport {

std::string UnixPathOf(const std::wstring& strPath)
{
    typedef char*(__cdecl * UNIXNAME)(LPCWSTR);
    UNIXNAME pfn = (UNIXNAME)(void*)::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
    if (pfn == NULL)
        return std::string();
    char* psz = pfn(strPath.c_str());
    if (psz == NULL)
        return std::string();
    std::string str(psz);
    ::HeapFree(::GetProcessHeap(), 0, psz);
    return str;
}

} // namespace testsupport
