#include "services/IniSection.h"
#include <vector>

namespace {
BOOL IsBlank(wchar_t ch)
{
    return ch == L' ' || ch == L'\t' || ch == L'\r' || ch == L'\n';
}

std::wstring Trim(const std::wstring& str)
{
    size_t nBegin = 0, nEnd = str.size();
    while (nBegin < nEnd && IsBlank(str[nBegin]))
        nBegin++;
    while (nEnd > nBegin && IsBlank(str[nEnd - 1]))
        nEnd--;
    return str.substr(nBegin, nEnd - nBegin);
}

int DigitValue(wchar_t ch)
{
    if (ch >= L'0' && ch <= L'9')
        return ch - L'0';
    if (ch >= L'a' && ch <= L'z')
        return ch - L'a' + 10;
    if (ch >= L'A' && ch <= L'Z')
        return ch - L'A' + 10;
    return 99;
}
} // namespace

bool CIniSection::NoCaseLess::operator()(const std::wstring& a, const std::wstring& b) const
{
    return _wcsicmp(a.c_str(), b.c_str()) < 0;
}

BOOL CIniSection::Read(LPCTSTR lpszFile, LPCTSTR lpszSection)
{
    m_values.clear();
    std::vector<wchar_t> buffer(4096);
    DWORD nRead = 0;
    for (;;)
    {
        nRead = ::GetPrivateProfileSectionW(lpszSection, buffer.data(), (DWORD)buffer.size(), lpszFile);
        // A full buffer ends in two zeros short of its size: read again, larger.
        if (nRead + 2 < buffer.size())
            break;
        if (buffer.size() >= (1u << 22))
            return FALSE;
        buffer.resize(buffer.size() * 2);
    }
    for (const wchar_t* pLine = buffer.data(); *pLine != L'\0'; pLine += wcslen(pLine) + 1)
    {
        std::wstring strLine(pLine);
        size_t nEquals = strLine.find(L'=');
        if (nEquals == std::wstring::npos)
            continue;
        std::wstring strKey = Trim(strLine.substr(0, nEquals));
        // The first of two equal keys is the one the profile functions find.
        if (!strKey.empty() && m_values.find(strKey) == m_values.end())
            m_values[strKey] = Trim(strLine.substr(nEquals + 1));
    }
    return TRUE;
}

BOOL CIniSection::GetString(LPCTSTR lpszKey, CString& strValue) const
{
    auto it = m_values.find(lpszKey);
    if (it == m_values.end())
        return FALSE;
    std::wstring str = it->second;
    if (str.size() >= 2 && (str[0] == L'"' || str[0] == L'\'') && str.back() == str[0])
        str = str.substr(1, str.size() - 2);
    strValue = str.c_str();
    return TRUE;
}

int CIniSection::GetInt(LPCTSTR lpszKey, int nDefault) const
{
    CString strValue;
    if (!GetString(lpszKey, strValue) || strValue.IsEmpty())
        return nDefault;
    // The profile function reads at most 29 characters of the value.
    std::wstring str(strValue.Left(29));
    size_t i = 0;
    while (i < str.size() && str[i] <= L' ')
        i++;
    bool bNegative = false;
    if (i < str.size() && (str[i] == L'+' || str[i] == L'-'))
        bNegative = str[i++] == L'-';
    unsigned nBase = 10;
    if (i + 1 < str.size() && str[i] == L'0')
    {
        wchar_t chPrefix = str[i + 1];
        nBase = chPrefix == L'x' ? 16 : chPrefix == L'o' ? 8 : chPrefix == L'b' ? 2 : 10;
        if (nBase != 10)
            i += 2;
    }
    unsigned nValue = 0;
    for (; i < str.size(); i++)
    {
        int nDigit = DigitValue(str[i]);
        if (nDigit >= (int)nBase)
            break;
        nValue = nValue * nBase + (unsigned)nDigit;
    }
    return (int)(bNegative ? 0u - nValue : nValue);
}
