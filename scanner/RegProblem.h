#pragma once
// One problem a scan found: a registry value, a whole key, or (for invalid
// shortcuts) a shortcut file. Also the row record of the tool pages' lists.
#include "framework/Afx.h"

class CRegProblem
{
public:
    CRegProblem();
    CRegProblem(const CRegProblem& problem);
    CRegProblem& operator=(const CRegProblem& problem);
    ~CRegProblem();

    BOOL m_bValue;              // 1: the value m_strValueName; 0: the whole key (or the file)
    CString m_strKey;           // key path below the hive; a shortcut's file path
    CString m_strKeyPath;       // hive name, backslash, key path; a shortcut's full path
    CString m_strValueName;     // empty for the default value and for key and file problems
    CString m_strData;          // the value's data as text
    int m_nKind;                // 1, or 3 for one kind of history list problem
    CString m_strDescription;   // language text of a REGISTRY_ERROR_n key
    // The registry view the key was found in when it is not the process's own
    // (KEY_WOW64_32KEY or KEY_WOW64_64KEY); 0 for the own view. The repair
    // and its backup act in this view.
    REGSAM m_samView;
};

