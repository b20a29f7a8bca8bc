#include "benchmarks/junkscan/HostShell.h"
#include <stdio.h>
#include <stdlib.h>
#include <vector>

namespace benchshell {

std::string UnixPath(const std::wstring& strPath)
{
    typedef char*(__cdecl * UNIXNAME)(LPCWSTR);
    UNIXNAME pfn = (UNIXNAME)::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
    if (pfn == NULL)
        return std::string();
    char* psz = pfn(strPath.c_str());
    if (psz == NULL)
        return std::string();
    std::string str(psz);
    ::HeapFree(::GetProcessHeap(), 0, psz);
    return str;
}

namespace {
std::wstring WinPath(const std::string& strUnix)
{
    std::wstring str = L"Z:";
    for (char c : strUnix)
        str += (c == '/') ? L'\\' : (wchar_t)(unsigned char)c;
    return str;
}

std::string ReadAll(const std::wstring& strPath)
{
    std::string data;
    HANDLE h = ::CreateFileW(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return data;
    char buf[65536];
    DWORD n = 0;
    while (::ReadFile(h, buf, sizeof(buf), &n, NULL) && n > 0)
        data.append(buf, n);
    ::CloseHandle(h);
    return data;
}
} // namespace

bool Run(const std::string& strCommand, std::string& strOut, DWORD dwTimeoutMs)
{
    static int s_nCounter = 0;
    char szBase[96];
    sprintf(szBase, "/tmp/tamsel-bench-%lu-%d", ::GetCurrentProcessId(), ++s_nCounter);
    std::string strBase = szBase;
    std::string strScript = "( " + strCommand + " ) > " + strBase + ".out 2>/dev/null; echo $? > " + strBase +
                            ".tmp; mv " + strBase + ".tmp " + strBase + ".rc";
    std::wstring strCmd = L"Z:\\bin\\sh -c \"";
    for (char c : strScript)
    {
        if (c == '"' || c == '\\')
            strCmd += L'\\';
        strCmd += (wchar_t)(unsigned char)c;
    }
    strCmd += L"\"";
    std::vector<wchar_t> buffer(strCmd.begin(), strCmd.end());
    buffer.push_back(0);
    STARTUPINFOW si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessW(NULL, buffer.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return false;
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    std::wstring strRc = WinPath(strBase + ".rc"), strOutFile = WinPath(strBase + ".out");
    DWORD dwStart = ::GetTickCount();
    while (::GetFileAttributesW(strRc.c_str()) == INVALID_FILE_ATTRIBUTES)
    {
        if (::GetTickCount() - dwStart > dwTimeoutMs)
            return false;
        ::Sleep(5);
    }
    std::string strRcText = ReadAll(strRc);
    strOut = ReadAll(strOutFile);
    ::DeleteFileW(strRc.c_str());
    ::DeleteFileW(strOutFile.c_str());
    return atoi(strRcText.c_str()) == 0;
}

double Time(const std::string& strCommand)
{
    std::string strOut;
    if (!Run("s=$(date +%s.%N); " + strCommand + " >/dev/null || exit 1; e=$(date +%s.%N); echo $s $e | awk '{print $2 - $1}'",
             strOut))
        return -1.0;
    return atof(strOut.c_str());
}

} // namespace benchshell
