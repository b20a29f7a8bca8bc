#pragma once
// CString: a UTF-16 string value with the members the program's code uses.
// Indexes past either end are clamped, never undefined.
#include "framework/AfxDefs.h"
#include <cstdarg>
#include <string>
#include <type_traits>

class CString;

namespace AfxFormat {
// What one Format argument becomes on its way through C varargs: a CString
// its text, a scalar itself; any other class type does not compile.
template <class T>
inline auto Pass(const T& value)
{
    typedef std::decay_t<T> TArg;
    if constexpr (std::is_same_v<TArg, CString>)
        return (LPCWSTR)value;
    else
    {
        static_assert(std::is_arithmetic_v<TArg> || std::is_pointer_v<TArg> || std::is_enum_v<TArg>
                          || std::is_null_pointer_v<TArg>,
                      "Format takes numbers, pointers, strings and CString; convert other classes first");
        return value;
    }
}
} // namespace AfxFormat

class CString
{
public:
    CString() {}
    CString(const CString& str) : m_str(str.m_str) {}
    CString(CString&& str) noexcept : m_str(std::move(str.m_str)) {}
    CString(LPCWSTR psz) { if (psz) m_str = psz; }
    CString(LPCWSTR pch, int nLength);
    CString(LPCSTR psz);  // ANSI code page
    CString(LPCSTR pch, int nLength);
    explicit CString(wchar_t ch, int nRepeat = 1);
    explicit CString(const std::wstring& str) : m_str(str) {}

    CString& operator=(const CString& str) { m_str = str.m_str; return *this; }
    CString& operator=(CString&& str) noexcept { m_str = std::move(str.m_str); return *this; }
    CString& operator=(LPCWSTR psz) { if (psz) m_str = psz; else m_str.clear(); return *this; }
    CString& operator=(LPCSTR psz) { return *this = CString(psz); }
    CString& operator=(wchar_t ch) { m_str.assign(1, ch); return *this; }

    int GetLength() const { return (int)m_str.size(); }
    BOOL IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    wchar_t GetAt(int nIndex) const;
    void SetAt(int nIndex, wchar_t ch);
    wchar_t operator[](int nIndex) const { return GetAt(nIndex); }
    operator LPCWSTR() const { return m_str.c_str(); }
    LPCWSTR GetString() const { return m_str.c_str(); }
    const std::wstring& Str() const { return m_str; }

    CString& operator+=(const CString& str) { m_str += str.m_str; return *this; }
    CString& operator+=(LPCWSTR psz) { if (psz) m_str += psz; return *this; }
    CString& operator+=(wchar_t ch) { m_str += ch; return *this; }
    void Append(LPCWSTR psz) { *this += psz; }
    void AppendChar(wchar_t ch) { m_str += ch; }

    int Compare(LPCWSTR psz) const;
    int CompareNoCase(LPCWSTR psz) const;
    int Collate(LPCWSTR psz) const;
    int CollateNoCase(LPCWSTR psz) const;

    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString SpanIncluding(LPCWSTR pszCharSet) const;
    CString SpanExcluding(LPCWSTR pszCharSet) const;

    CString& MakeUpper();
    CString& MakeLower();
    CString& MakeReverse();

    int Replace(wchar_t chOld, wchar_t chNew);
    int Replace(LPCWSTR pszOld, LPCWSTR pszNew);
    int Remove(wchar_t ch);
    int Insert(int nIndex, wchar_t ch);
    int Insert(int nIndex, LPCWSTR psz);
    int Delete(int nIndex, int nCount = 1);

    CString& Trim();
    CString& Trim(wchar_t ch);
    CString& Trim(LPCWSTR pszTargets);
    CString& TrimLeft();
    CString& TrimLeft(wchar_t ch);
    CString& TrimLeft(LPCWSTR pszTargets);
    CString& TrimRight();
    CString& TrimRight(wchar_t ch);
    CString& TrimRight(LPCWSTR pszTargets);

    // -1 when not found; a start past the end finds nothing.
    int Find(wchar_t ch, int nStart = 0) const;
    int Find(LPCWSTR psz, int nStart = 0) const;
    int ReverseFind(wchar_t ch) const;
    int FindOneOf(LPCWSTR pszCharSet) const;

    // printf-style: %s and %c take wide arguments, %S and %C narrow ones. A
    // CString argument is passed as its text. A format that cannot be
    // printed leaves the string empty.
    template <class... TArgs>
    void Format(LPCWSTR pszFormat, const TArgs&... args)
    {
        FormatRaw(pszFormat, AfxFormat::Pass(args)...);
    }
    template <class... TArgs>
    void Format(UINT nFormatID, const TArgs&... args)
    {
        CString strFormat;
        strFormat.LoadString(nFormatID);
        FormatRaw(strFormat.GetString(), AfxFormat::Pass(args)...);
    }
    template <class... TArgs>
    void AppendFormat(LPCWSTR pszFormat, const TArgs&... args)
    {
        CString strMore;
        strMore.FormatRaw(pszFormat, AfxFormat::Pass(args)...);
        *this += strMore;
    }
    void FormatV(LPCWSTR pszFormat, va_list args);

    // A writable buffer of at least nMinLength characters plus a terminator;
    // ReleaseBuffer(-1) takes the length up to the first zero.
    LPWSTR GetBuffer(int nMinLength = 0);
    LPWSTR GetBufferSetLength(int nNewLength);
    void ReleaseBuffer(int nNewLength = -1);

    // Loads a string resource from the resource module; FALSE when missing.
    BOOL LoadString(UINT nID);
    BOOL LoadString(HINSTANCE hInstance, UINT nID);

    // The text in the ANSI code page (for old file formats and APIs).
    std::string ToAnsi() const;
    std::string ToUtf8() const;
    static CString FromUtf8(const char* psz, int nLength = -1);
    BSTR AllocSysString() const;

private:
    std::wstring m_str;
    void FormatRaw(LPCWSTR pszFormat, ...);
};

CString operator+(const CString& s1, const CString& s2);
CString operator+(const CString& s1, LPCWSTR s2);
CString operator+(LPCWSTR s1, const CString& s2);
CString operator+(const CString& s1, wchar_t ch);
CString operator+(wchar_t ch, const CString& s2);

inline bool operator==(const CString& s1, const CString& s2) { return s1.Str() == s2.Str(); }
inline bool operator==(const CString& s1, LPCWSTR s2) { return s1.Compare(s2) == 0; }
inline bool operator==(LPCWSTR s1, const CString& s2) { return s2.Compare(s1) == 0; }
inline bool operator!=(const CString& s1, const CString& s2) { return !(s1 == s2); }
inline bool operator!=(const CString& s1, LPCWSTR s2) { return !(s1 == s2); }
inline bool operator!=(LPCWSTR s1, const CString& s2) { return !(s1 == s2); }
inline bool operator<(const CString& s1, const CString& s2) { return s1.Compare(s2) < 0; }
inline bool operator<(const CString& s1, LPCWSTR s2) { return s1.Compare(s2) < 0; }
inline bool operator>(const CString& s1, const CString& s2) { return s1.Compare(s2) > 0; }
inline bool operator>(const CString& s1, LPCWSTR s2) { return s1.Compare(s2) > 0; }
inline bool operator<=(const CString& s1, const CString& s2) { return s1.Compare(s2) <= 0; }
inline bool operator>=(const CString& s1, const CString& s2) { return s1.Compare(s2) >= 0; }
