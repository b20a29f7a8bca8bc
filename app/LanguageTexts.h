#pragma once
// The [String] section of the current language file, read once and kept
// while the file is unchanged: translating a window asks for dozens of keys,
// and each profile call opens and checks the file again.
#include "framework/Afx.h"
#include <string>
#include <unordered_map>

class CLanguageTexts
{
public:
    // What GetPrivateProfileString gives for the key of section "String"
    // with an empty default and a buffer of nBufferChars: trimmed, one pair
    // of enclosing quotes removed, cut to fit.
    CString Get(const CString& strFile, const CString& strKey, int nBufferChars);
    void Clear();

private:
    bool Load(const CString& strFile);

    CString m_strFile;
    FILETIME m_ftWrite = {};
    ULONGLONG m_nSize = 0;
    bool m_bLoaded = false;
    // The section of m_strFile is too large to keep: keys are read one by one
    // until the file changes, without trying to read it whole again.
    bool m_bKeyByKey = false;
    std::unordered_map<std::wstring, std::wstring> m_texts;  // by lower-case key
};
