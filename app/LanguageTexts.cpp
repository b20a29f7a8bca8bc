#include "app/LanguageTexts.h"
#include <vector>

namespace {

const DWORD kMaxSectionChars = 8 * 1024 * 1024;

std::wstring Lower(const std::wstring& str)
{
    std::wstring strLower(str);
    if (!strLower.empty())
        ::CharLowerBuffW(&strLower[0], (DWORD)strLower.size());
    return strLower;
}

std::wstring Trimmed(const std::wstring& str)
{
    size_t nFirst = str.find_first_not_of(L" \t");
    if (nFirst == std::wstring::npos)
        return std::wstring();
    size_t nLast = str.find_last_not_of(L" \t");
    return str.substr(nFirst, nLast - nFirst + 1);
}

bool FileStamp(const CString& strFile, FILETIME& ftWrite, ULONGLONG& nSize)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!::GetFileAttributesExW(strFile, GetFileExInfoStandard, &data))
        return false;
    ftWrite = data.ftLastWriteTime;
    nSize = ((ULONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow;
    return true;
}

} // namespace

void CLanguageTexts::Clear()
{
    m_strFile.Empty();
    m_bLoaded = false;
    m_bKeyByKey = false;
    m_texts.clear();
}

bool CLanguageTexts::Load(const CString& strFile)
{
    Clear();
    FILETIME ftWrite = {};
    ULONGLONG nSize = 0;
    if (!FileStamp(strFile, ftWrite, nSize))
        return false;
    // The section comes back cut (length = size - 2) until the buffer fits.
    std::vector<wchar_t> buffer;
    DWORD nChars = 64 * 1024;
    DWORD nRead = 0;
    for (;;)
    {
        buffer.assign(nChars, L'\0');
        nRead = ::GetPrivateProfileSectionW(L"String", buffer.data(), nChars, strFile);
        if (nRead < nChars - 2)
            break;
        if (nChars >= kMaxSectionChars)
        {
            m_strFile = strFile;
            m_ftWrite = ftWrite;
            m_nSize = nSize;
            m_bKeyByKey = true;
            return false;
        }
        nChars *= 2;
    }
    for (const wchar_t* pszLine = buffer.data(); *pszLine != L'\0' && pszLine < buffer.data() + nRead;
         pszLine += wcslen(pszLine) + 1)
    {
        std::wstring strLine(pszLine);
        size_t nEquals = strLine.find(L'=');
        if (nEquals == std::wstring::npos)
            continue;
        std::wstring strKey = Lower(Trimmed(strLine.substr(0, nEquals)));
        std::wstring strValue = Trimmed(strLine.substr(nEquals + 1));
        if (strValue.size() > 1 && (strValue[0] == L'"' || strValue[0] == L'\'') &&
            strValue[strValue.size() - 1] == strValue[0])
            strValue = strValue.substr(1, strValue.size() - 2);
        // The first of two equal keys is the one a profile read finds.
        m_texts.emplace(strKey, strValue);
    }
    m_strFile = strFile;
    m_ftWrite = ftWrite;
    m_nSize = nSize;
    m_bLoaded = true;
    return true;
}

CString CLanguageTexts::Get(const CString& strFile, const CString& strKey, int nBufferChars)
{
    FILETIME ftWrite = {};
    ULONGLONG nSize = 0;
    bool bCurrent = (m_bLoaded || m_bKeyByKey) && m_strFile.CompareNoCase(strFile) == 0 &&
                    FileStamp(strFile, ftWrite, nSize) && ::CompareFileTime(&ftWrite, &m_ftWrite) == 0 &&
                    nSize == m_nSize;
    if ((bCurrent && m_bKeyByKey) || (!bCurrent && !Load(strFile)))
    {
        // Unreadable as a whole: ask the file key by key, as before.
        std::vector<wchar_t> szText(nBufferChars > 0 ? nBufferChars : 1, L'\0');
        ::GetPrivateProfileStringW(L"String", strKey, L"", szText.data(), (DWORD)szText.size(), strFile);
        return szText.data();
    }
    auto it = m_texts.find(Lower(Trimmed((LPCWSTR)strKey)));
    if (it == m_texts.end())
        return CString();
    if (nBufferChars > 0 && it->second.size() >= (size_t)nBufferChars)
        return CString(it->second.substr(0, nBufferChars - 1).c_str());
    return CString(it->second.c_str());
}
