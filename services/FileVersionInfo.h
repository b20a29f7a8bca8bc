#pragma once
// The version resource of an executable file: fixed information and the
// string values of one of its translations.
#include "framework/Afx.h"
#include <shlwapi.h>

class CFileVersionInfo
{
public:
    // Indexes of the standard string values.
    enum
    {
        VI_COMMENTS, VI_COMPANY_NAME, VI_FILE_DESCRIPTION, VI_FILE_VERSION, VI_INTERNAL_NAME,
        VI_LEGAL_COPYRIGHT, VI_LEGAL_TRADEMARKS, VI_ORIGINAL_FILENAME, VI_PRIVATE_BUILD,
        VI_PRODUCT_NAME, VI_PRODUCT_VERSION, VI_SPECIAL_BUILD, VI_OLE_SELF_REGISTER,
        VI_STANDARD_COUNT
    };

    CFileVersionInfo();
    virtual ~CFileVersionInfo();

    // TRUE when the file has a valid version resource with a translation table.
    BOOL Create(LPCWSTR pszFileName);
    BOOL Create(HMODULE hModule);

    BOOL IsValid() const { return m_bValid; }
    const VS_FIXEDFILEINFO& GetFixedInfo() const { return m_FixedInfo; }

    // Copies the value of the current translation (cut to nSize - 1 characters);
    // without a buffer only tests that the value exists.
    BOOL GetStringValue(LPCWSTR pszName, LPWSTR pszBuffer, int nSize) const;
    BOOL GetStringValue(int nIndex, LPWSTR pszBuffer, int nSize) const;
    static LPCWSTR GetStandardValueName(int nIndex);

    int GetTranslationCount() const { return (int)m_nTranslationCount; }
    int GetCurrentTranslation() const { return (int)m_nCurrentTranslation; }
    BOOL SetCurrentTranslation(int nIndex);
    // Makes the entry for this language and code page current; FALSE when absent.
    BOOL FindTranslation(WORD wLanguage, WORD wCodePage);
    BOOL GetTranslation(int nIndex, WORD& wLanguage, WORD& wCodePage) const;

    static BOOL GetLanguageName(WORD wLanguage, LPWSTR pszBuffer, int nSize);
    // FALSE and "Unknown" for a code page outside the table.
    static BOOL GetCodePageName(WORD wCodePage, LPWSTR pszBuffer, int nSize);

    // Fills a DLLVERSIONINFO (cbSize must be its size) from a library's fixed
    // information; S_OK, or S_FALSE when the module is no Windows library.
    HRESULT GetDllVersion(HMODULE hModule, DLLVERSIONINFO* pVersion);

    CFileVersionInfo(const CFileVersionInfo&) = delete;
    CFileVersionInfo& operator=(const CFileVersionInfo&) = delete;

private:
    void Reset();

    VS_FIXEDFILEINFO m_FixedInfo;
    BYTE* m_pVersionData;
    const DWORD* m_pTranslations;
    UINT m_nCurrentTranslation;
    UINT m_nTranslationCount;
    BOOL m_bValid;
};
