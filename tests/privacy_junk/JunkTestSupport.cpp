#include "tests/privacy_junk/JunkTestSupport.h"

namespace junktest {

bool Plant(const std::wstring& strPath, const std::string& bytes)
{
    for (size_t n = strPath.find(L'\\', 3); n != std::wstring::npos; n = strPath.find(L'\\', n + 1))
        ::CreateDirectoryW(strPath.substr(0, n).c_str(), NULL);
    return testsupport::WriteFileBytes(strPath, bytes);
}

bool Exists(const std::wstring& strPath)
{
    return ::GetFileAttributesW(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool HostLines(const std::string& strCommand, std::vector<std::string>& lines, DWORD dwTimeoutMs)
{
    lines.clear();
    char szName[64];
    wsprintfA(szName, "/tmp/tamsel-junk-out-%08x-%lu", testsupport::ProcessSalt(), GetTickCount());
    std::string strOut = szName;
    if (testsupport::RunHostCommand("( " + strCommand + " ) > " + strOut, dwTimeoutMs) != 0)
    {
        testsupport::RunHostCommand("rm -f " + strOut, 20000);
        return false;
    }
    std::wstring strWin = L"Z:";
    for (char c : strOut)
        strWin += (c == '/') ? L'\\' : (wchar_t)c;
    std::string text = testsupport::ReadFileBytes(strWin);
    ::DeleteFileW(strWin.c_str());
    size_t nStart = 0;
    while (nStart < text.size())
    {
        size_t nEnd = text.find('\n', nStart);
        if (nEnd == std::string::npos)
            nEnd = text.size();
        if (nEnd > nStart)
            lines.push_back(text.substr(nStart, nEnd - nStart));
        nStart = nEnd + 1;
    }
    return true;
}

std::string Narrow(const std::wstring& str)
{
    if (str.empty())
        return std::string();
    int n = ::WideCharToMultiByte(CP_UTF8, 0, str.c_str(), (int)str.size(), NULL, 0, NULL, NULL);
    std::string out((size_t)n, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, str.c_str(), (int)str.size(), &out[0], n, NULL, NULL);
    return out;
}

bool HostHas(const char* pszTool)
{
    return testsupport::RunHostCommand(std::string("command -v ") + pszTool, 20000) == 0;
}

} // namespace junktest
