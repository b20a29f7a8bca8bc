#include "framework/String.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <vector>
#include <cstdio>
#include <oleauto.h>


namespace {
const wchar_t kWhitespace[] = L" \t\r\n\v\f";

std::wstring FromCodePage(UINT nCodePage, LPCSTR pch, int nLength)
{
    if (!pch || nLength == 0)
        return std::wstring();
    int nWide = MultiByteToWideChar(nCodePage, 0, pch, nLength, NULL, 0);
    if (nWide <= 0)
        return std::wstring();
    std::wstring result(nWide, L'\0');
    MultiByteToWideChar(nCodePage, 0, pch, nLength, &result[0], nWide);
    if (nLength < 0 && !result.empty() && result.back() == L'\0')
        result.pop_back();
    return result;
}

std::string ToCodePage(UINT nCodePage, const std::wstring& str)
{
    if (str.empty())
        return std::string();
    int nBytes = WideCharToMultiByte(nCodePage, 0, str.data(), (int)str.size(), NULL, 0, NULL, NULL);
    if (nBytes <= 0)
        return std::string();
    std::string result(nBytes, '\0');
    WideCharToMultiByte(nCodePage, 0, str.data(), (int)str.size(), &result[0], nBytes, NULL, NULL);
    return result;
}
} // namespace

CString::CString(LPCWSTR pch, int nLength)
{
    if (pch && nLength > 0)
        m_str.assign(pch, nLength);
}

CString::CString(LPCSTR psz) : m_str(FromCodePage(CP_ACP, psz, -1)) {}

CString::CString(LPCSTR pch, int nLength) : m_str(nLength > 0 ? FromCodePage(CP_ACP, pch, nLength) : std::wstring()) {}

CString::CString(wchar_t ch, int nRepeat)
{
    if (nRepeat > 0)
        m_str.assign(nRepeat, ch);
}

wchar_t CString::GetAt(int nIndex) const
{
    return (nIndex >= 0 && nIndex < GetLength()) ? m_str[nIndex] : L'\0';
}

void CString::SetAt(int nIndex, wchar_t ch)
{
    if (nIndex >= 0 && nIndex < GetLength())
        m_str[nIndex] = ch;
}

int CString::Compare(LPCWSTR psz) const
{
    return wcscmp(m_str.c_str(), psz ? psz : L"");
}

int CString::CompareNoCase(LPCWSTR psz) const
{
    return _wcsicmp(m_str.c_str(), psz ? psz : L"");
}

int CString::Collate(LPCWSTR psz) const
{
    return CompareStringW(LOCALE_USER_DEFAULT, 0, m_str.c_str(), -1, psz ? psz : L"", -1) - CSTR_EQUAL;
}

int CString::CollateNoCase(LPCWSTR psz) const
{
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, m_str.c_str(), -1, psz ? psz : L"", -1) - CSTR_EQUAL;
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const
{
    if (nFirst < 0)
        nFirst = 0;
    if (nCount < 0)
        nCount = 0;
    if (nFirst >= GetLength())
        return CString();
    return CString(m_str.substr(nFirst, nCount));
}

CString CString::Left(int nCount) const
{
    return Mid(0, nCount);
}

CString CString::Right(int nCount) const
{
    if (nCount <= 0)
        return CString();
    if (nCount >= GetLength())
        return *this;
    return CString(m_str.substr(GetLength() - nCount));
}

CString CString::SpanIncluding(LPCWSTR pszCharSet) const
{
    size_t n = m_str.find_first_not_of(pszCharSet ? pszCharSet : L"");
    return Left(n == std::wstring::npos ? GetLength() : (int)n);
}

CString CString::SpanExcluding(LPCWSTR pszCharSet) const
{
    size_t n = m_str.find_first_of(pszCharSet ? pszCharSet : L"");
    return Left(n == std::wstring::npos ? GetLength() : (int)n);
}

CString& CString::MakeUpper()
{
    if (!m_str.empty())
        CharUpperBuffW(&m_str[0], (DWORD)m_str.size());
    return *this;
}

CString& CString::MakeLower()
{
    if (!m_str.empty())
        CharLowerBuffW(&m_str[0], (DWORD)m_str.size());
    return *this;
}

CString& CString::MakeReverse()
{
    std::reverse(m_str.begin(), m_str.end());
    return *this;
}

int CString::Replace(wchar_t chOld, wchar_t chNew)
{
    int nCount = 0;
    for (wchar_t& c : m_str)
    {
        if (c == chOld)
        {
            c = chNew;
            ++nCount;
        }
    }
    return nCount;
}

int CString::Replace(LPCWSTR pszOld, LPCWSTR pszNew)
{
    if (!pszOld || !*pszOld)
        return 0;
    std::wstring strOld = pszOld;
    std::wstring strNew = pszNew ? pszNew : L"";
    std::wstring result;
    int nCount = 0;
    size_t nPos = 0;
    for (;;)
    {
        size_t nHit = m_str.find(strOld, nPos);
        if (nHit == std::wstring::npos)
            break;
        result.append(m_str, nPos, nHit - nPos);
        result += strNew;
        nPos = nHit + strOld.size();
        ++nCount;
    }
    if (nCount)
    {
        result.append(m_str, nPos, std::wstring::npos);
        m_str.swap(result);
    }
    return nCount;
}

int CString::Remove(wchar_t ch)
{
    size_t nBefore = m_str.size();
    m_str.erase(std::remove(m_str.begin(), m_str.end(), ch), m_str.end());
    return (int)(nBefore - m_str.size());
}

int CString::Insert(int nIndex, wchar_t ch)
{
    nIndex = std::max(0, std::min(nIndex, GetLength()));
    m_str.insert(m_str.begin() + nIndex, ch);
    return GetLength();
}

int CString::Insert(int nIndex, LPCWSTR psz)
{
    nIndex = std::max(0, std::min(nIndex, GetLength()));
    if (psz)
        m_str.insert(nIndex, psz);
    return GetLength();
}

int CString::Delete(int nIndex, int nCount)
{
    if (nIndex < 0)
        nIndex = 0;
    if (nCount > 0 && nIndex < GetLength())
        m_str.erase(nIndex, nCount);
    return GetLength();
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(wchar_t ch) { return TrimRight(ch).TrimLeft(ch); }
CString& CString::Trim(LPCWSTR pszTargets) { return TrimRight(pszTargets).TrimLeft(pszTargets); }
CString& CString::TrimLeft() { return TrimLeft(kWhitespace); }
CString& CString::TrimRight() { return TrimRight(kWhitespace); }

CString& CString::TrimLeft(wchar_t ch)
{
    wchar_t sz[2] = { ch, 0 };
    return TrimLeft(sz);
}

CString& CString::TrimRight(wchar_t ch)
{
    wchar_t sz[2] = { ch, 0 };
    return TrimRight(sz);
}

CString& CString::TrimLeft(LPCWSTR pszTargets)
{
    if (!pszTargets || !*pszTargets)
        return *this;
    size_t n = m_str.find_first_not_of(pszTargets);
    m_str.erase(0, n == std::wstring::npos ? m_str.size() : n);
    return *this;
}

CString& CString::TrimRight(LPCWSTR pszTargets)
{
    if (!pszTargets || !*pszTargets)
        return *this;
    size_t n = m_str.find_last_not_of(pszTargets);
    m_str.erase(n == std::wstring::npos ? 0 : n + 1);
    return *this;
}

int CString::Find(wchar_t ch, int nStart) const
{
    if (nStart < 0)
        nStart = 0;
    if (nStart >= GetLength())
        return -1;
    size_t n = m_str.find(ch, nStart);
    return n == std::wstring::npos ? -1 : (int)n;
}

int CString::Find(LPCWSTR psz, int nStart) const
{
    if (!psz)
        return -1;
    if (nStart < 0)
        nStart = 0;
    if (nStart > GetLength())
        return -1;
    size_t n = m_str.find(psz, nStart);
    return n == std::wstring::npos ? -1 : (int)n;
}

int CString::ReverseFind(wchar_t ch) const
{
    size_t n = m_str.rfind(ch);
    return n == std::wstring::npos ? -1 : (int)n;
}

int CString::FindOneOf(LPCWSTR pszCharSet) const
{
    if (!pszCharSet || !*pszCharSet)
        return -1;
    size_t n = m_str.find_first_of(pszCharSet);
    return n == std::wstring::npos ? -1 : (int)n;
}

void CString::FormatV(LPCWSTR pszFormat, va_list args)
{
    m_str.clear();
    if (!pszFormat)
        return;
    va_list argsCount;
    va_copy(argsCount, args);
    int nLength = _vscwprintf(pszFormat, argsCount);
    va_end(argsCount);
    if (nLength <= 0)
        return;
    std::wstring str((size_t)nLength + 1, L'\0');
    int nWritten = _vsnwprintf(&str[0], str.size(), pszFormat, args);
    if (nWritten < 0 || nWritten > nLength)
        return;
    str.resize((size_t)nWritten);
    m_str.swap(str);
}

void CString::FormatRaw(LPCWSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

LPWSTR CString::GetBuffer(int nMinLength)
{
    if (nMinLength > GetLength())
        m_str.resize(nMinLength, L'\0');
    return &m_str[0];
}

LPWSTR CString::GetBufferSetLength(int nNewLength)
{
    m_str.resize(nNewLength < 0 ? 0 : nNewLength, L'\0');
    return const_cast<LPWSTR>(m_str.data());
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0)
        nNewLength = (int)wcsnlen(m_str.c_str(), m_str.size());
    m_str.resize(std::min<size_t>(nNewLength, m_str.size()));
}

BOOL CString::LoadString(UINT nID)
{
    return LoadString(AfxGetResourceHandle(), nID);
}

BOOL CString::LoadString(HINSTANCE hInstance, UINT nID)
{
    // With a zero length LoadStringW hands back a pointer to the resource itself.
    LPCWSTR pszResource = NULL;
    int n = ::LoadStringW(hInstance, nID, reinterpret_cast<LPWSTR>(&pszResource), 0);
    if (n <= 0 || !pszResource)
    {
        m_str.clear();
        return FALSE;
    }
    m_str.assign(pszResource, n);
    return TRUE;
}

std::string CString::ToAnsi() const
{
    return ToCodePage(CP_ACP, m_str);
}

std::string CString::ToUtf8() const
{
    return ToCodePage(CP_UTF8, m_str);
}

CString CString::FromUtf8(const char* psz, int nLength)
{
    return CString(FromCodePage(CP_UTF8, psz, nLength));
}

BSTR CString::AllocSysString() const
{
    return SysAllocStringLen(m_str.data(), (UINT)m_str.size());
}

CString operator+(const CString& s1, const CString& s2)
{
    CString s(s1);
    s += s2;
    return s;
}

CString operator+(const CString& s1, LPCWSTR s2)
{
    CString s(s1);
    s += s2;
    return s;
}

CString operator+(LPCWSTR s1, const CString& s2)
{
    CString s(s1);
    s += s2;
    return s;
}

CString operator+(const CString& s1, wchar_t ch)
{
    CString s(s1);
    s += ch;
    return s;
}

CString operator+(wchar_t ch, const CString& s2)
{
    CString s(ch);
    s += s2;
    return s;
}
