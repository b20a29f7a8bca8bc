#include "privacy/JunkMaskRules.h"

const JunkMaskRow JunkMaskTable[JUNK_MASK_COUNT] = {
    {L"*.swp", L"Temporary Junk Files"},
    {L"*.$$$", L"Temporary Junk Files"},
    {L"*.~*", L"Temporary Junk Files"},
    {L"*.___", L"Temporary Junk Files"},
    {L"*.^", L"Temporary Junk Files"},
    {L"*.tmp", L"Temporary Junk Files"},
    {L"*.temp", L"Temporary Junk Files"},
    {L"*.---", L"Temporary Junk Files"},
    {L"~*.*", L"Temporary Junk Files"},
    {L"*.??~", L"Temporary Junk Files"},
    {L"*.db$", L"Temporary Files (Database)"},
    {L"*.nch", L"Temporary Files created by Outlook Express"},
    {L"*.pch", L"Visual Studio Temporary Files"},
    {L"*.ncb", L"Visual Studio Temporary Files"},
    {L"*.ilk", L"Visual Studio Temporary Files"},
    {L"*.exp", L"Visual Studio Temporary Files"},
    {L"*.ilc", L"C++ Builder Temporary Files"},
    {L"*.ild", L"C++ Builder Temporary Files"},
    {L"*.ils", L"C++ Builder Temporary Files"},
    {L"*.ilf", L"C++ Builder Temporary Files"},
    {L"*.tds", L"C++ Builder Temporary Files"},
    {L"iebak.dat", L"Internet Explorer Junk File"},
    {L"ffastun.*", L"Microsoft Find Fast Indexer File"},
    {L"chklist.*", L"Microsoft Junk File"},
    {L"*.sik", L"junk files..."},
    {L"*.gid", L"Windows Help Index Files"},
    {L"*.fts", L"Word List File of *.HLP"},
    {L"*.ftg", L"Word List File of *.HLP"},
    {L"*.err", L"Error Files"},
    {L"*.dmp", L"Memory Dump - Junk Files"},
    {L"*.chk", L"CHKDSK Log Files"},
    {L"chklist.*", L"CHKDSK Log Files"},
    {L"file????._dd", L"CHKDSK Log Files"},
    {L"*.diz", L"Description Files"},
    {L"*.log", L"Log File"},
    {L"*.prv", L"Backup Files"},
    {L"*.old", L"Backup Files"},
    {L"*.nu3", L"Symantec Norton Utilities Backup File"},
    {L"system.1st", L"Windows diagnostic Registry file"},
    {L"suhdlog.dat", L"Windows diagnostic file"},
    {L"modemdet.txt", L"Windows diagnostic file"},
    {L"twain???.mtx", L"TWAIN Temporary file"},
    {L"thumbs.db", L"ThumbNails created by Windows"},
    {L"mscreate.dir", L"Microsoft Temporary Installation Files"},
    {L"*.wri", L"Readme Files"},
};

namespace {

std::wstring Lower(LPCWSTR psz)
{
    std::wstring str(psz != NULL ? psz : L"");
    if (!str.empty())
        ::CharLowerBuffW(&str[0], (DWORD)str.size());
    return str;
}

} // namespace

CJunkMatcher::CRule CJunkMatcher::Compile(const CString& strMask)
{
    std::wstring mask = Lower(strMask);
    CRule rule = {RULE_NEVER, std::wstring(), std::wstring()};
    if (mask == L"*.~*")
        rule.kind = RULE_EXT_BEGINS_TILDE;
    else if (mask == L"~*.*")
        rule.kind = RULE_BASE_BEGINS_TILDE;
    else if (mask == L"*.??~")
        rule.kind = RULE_EXT3_ENDS_TILDE;
    else if (mask == L"ffastun.*" || mask == L"chklist.*")
    {
        rule.kind = RULE_BASE_EQUALS;
        rule.strA = mask.substr(0, mask.size() - 2);
    }
    else if (mask == L"file????._dd")
    {
        rule.kind = RULE_BASE8_PREFIX_EXT;
        rule.strA = L"file";
        rule.strB = L"_dd";
    }
    else if (mask == L"twain???.mtx")
    {
        rule.kind = RULE_BASE8_PREFIX_EXT;
        rule.strA = L"twain";
        rule.strB = L"mtx";
    }
    else if (mask == L"iebak.dat" || mask == L"system.1st" || mask == L"suhdlog.dat" || mask == L"modemdet.txt"
             || mask == L"thumbs.db" || mask == L"mscreate.dir")
    {
        rule.kind = RULE_WHOLE_NAME;
        rule.strA = mask;
    }
    else if (mask.size() > 2 && mask.compare(0, 2, L"*.") == 0)
    {
        rule.kind = RULE_EXT_EQUALS;
        rule.strB = mask.substr(2);
    }
    return rule;
}

CJunkMatcher::CJunkMatcher(const std::vector<CString>& masks)
{
    m_rules.reserve(masks.size());
    for (const CString& strMask : masks)
        m_rules.push_back(Compile(strMask));
}

bool CJunkMatcher::Matches(const CRule& rule, const std::wstring& strName, size_t nDot)
{
    const size_t nExt = strName.size() - nDot - 1;
    switch (rule.kind)
    {
    case RULE_EXT_BEGINS_TILDE:
        return nExt >= 1 && strName[nDot + 1] == L'~';
    case RULE_BASE_BEGINS_TILDE:
        return nDot >= 1 && strName[0] == L'~';
    case RULE_EXT3_ENDS_TILDE:
        return nExt == 3 && strName.back() == L'~';
    case RULE_BASE_EQUALS:
        return nDot == rule.strA.size() && strName.compare(0, nDot, rule.strA) == 0;
    case RULE_BASE8_PREFIX_EXT:
        return nDot == 8 && strName.compare(0, rule.strA.size(), rule.strA) == 0
               && strName.compare(nDot + 1, std::wstring::npos, rule.strB) == 0;
    case RULE_WHOLE_NAME:
        return strName == rule.strA;
    case RULE_EXT_EQUALS:
        return strName.compare(nDot + 1, std::wstring::npos, rule.strB) == 0;
    default:
        return false;
    }
}

int CJunkMatcher::Match(LPCWSTR lpszName) const
{
    if (lpszName == NULL || m_rules.empty())
        return -1;
    std::wstring strName = Lower(lpszName);
    size_t nDot = strName.rfind(L'.');
    if (nDot == std::wstring::npos)
        return -1;
    for (size_t i = 0; i < m_rules.size(); i++)
    {
        if (Matches(m_rules[i], strName, nDot))
            return (int)i;
    }
    return -1;
}

BOOL JunkMaskMatches(LPCWSTR lpszMask, LPCWSTR lpszName)
{
    std::vector<CString> masks(1, CString(lpszMask));
    return CJunkMatcher(masks).Match(lpszName) == 0;
}
