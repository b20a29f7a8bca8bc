#pragma once
// The junk file masks and their rules. A mask is matched by its rule over the
// file's long name, never handed to the system as a search pattern: a system
// search also matches 8.3 short names ("*.tmp" finds report.tmp1234).
#include "framework/Afx.h"
#include <string>
#include <vector>

struct JunkMaskRow
{
    LPCWSTR lpszMask;
    LPCWSTR lpszDescription;  // fixed English, not a language text
};

const int JUNK_MASK_COUNT = 45;
// Rows 0 to 11 are the default choice.
const int JUNK_DEFAULT_MASK_COUNT = 12;
extern const JunkMaskRow JunkMaskTable[JUNK_MASK_COUNT];

// The chosen masks compiled once; Match is called for every file of a walk.
class CJunkMatcher
{
public:
    explicit CJunkMatcher(const std::vector<CString>& masks);
    // Index of the first mask that matches the name (any case), or -1. A name
    // without a dot never matches.
    int Match(LPCWSTR lpszName) const;
    int GetMaskCount() const { return (int)m_rules.size(); }

private:
    enum RuleKind
    {
        RULE_NEVER,
        RULE_EXT_BEGINS_TILDE,   // "*.~*"
        RULE_BASE_BEGINS_TILDE,  // "~*.*"
        RULE_EXT3_ENDS_TILDE,    // "*.??~"
        RULE_BASE_EQUALS,        // "ffastun.*", "chklist.*"
        RULE_BASE8_PREFIX_EXT,   // "file????._dd", "twain???.mtx"
        RULE_WHOLE_NAME,         // "thumbs.db" and the other plain names
        RULE_EXT_EQUALS          // "*.<ext>"
    };
    struct CRule
    {
        RuleKind kind;
        std::wstring strA;  // base, prefix or whole name
        std::wstring strB;  // extension
    };
    static CRule Compile(const CString& strMask);
    static bool Matches(const CRule& rule, const std::wstring& strName, size_t nDot);

    std::vector<CRule> m_rules;
};

// One mask against one name: the same rules, for callers with a single mask.
BOOL JunkMaskMatches(LPCWSTR lpszMask, LPCWSTR lpszName);
