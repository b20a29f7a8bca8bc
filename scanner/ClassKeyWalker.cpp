#include "scanner/ClassKeyWalker.h"
#include "scanner/ClassKeyLists.h"
#include "scanner/CommandLine.h"
#include "scanner/ProblemRecorder.h"
#include <shlwapi.h>
#include <vector>

namespace {

// Class keys nest a few levels; deeper ones are not walked.
const int CLASS_WALK_MAX_DEPTH = 64;

BOOL Record(CScanContext& scan, int nCategory, const CString& strKey, BOOL bValue = FALSE,
            const CString& strValueName = CString(), const CString& strData = CString(), int nDescription = 0)
{
    return RecordProblem(scan, nCategory, HKEY_CLASSES_ROOT, strKey, bValue, strValueName, strData, nDescription);
}

BOOL CountsOf(const CKeyReader& key, DWORD& nSubKeys, DWORD& nValues)
{
    return key.GetCounts(&nSubKeys, &nValues) == ERROR_SUCCESS;
}

// A verb that the shell runs through a handler instead of a command (the
// counts spare the look-ups for the usual verb).
BOOL VerbWorksWithoutCommand(const CKeyReader& verb, DWORD nSubKeys, DWORD nValues, BOOL bHasCommand)
{
    if (nValues > 0 && (verb.HasValue(L"ExplorerCommandHandler") || verb.HasValue(L"DelegateExecute")))
        return TRUE;
    if (nSubKeys <= (bHasCommand ? 1u : 0u))
        return FALSE;
    CKeyReader dropTarget;
    return dropTarget.OpenChild(verb, L"DropTarget") == ERROR_SUCCESS;
}

void CheckShellKey(CScanContext& scan, int nCategory, const CKeyReader& shell)
{
    CStringArray arrVerbs;
    shell.GetSubKeyNames(arrVerbs);
    if (arrVerbs.GetSize() == 0)
    {
        Record(scan, nCategory, shell.GetPath(), FALSE, CString(), CString(), 6);
        return;
    }
    int nBad = 0, nFlags = 0;
    for (int i = 0; i < arrVerbs.GetSize(); i++)
    {
        if (scan.IsStopped())
            return;
        CKeyReader verb;
        if (verb.OpenChild(shell, arrVerbs[i]) != ERROR_SUCCESS)
            continue;
        DWORD nVerbKeys = 0, nVerbValues = 0;
        if (!CountsOf(verb, nVerbKeys, nVerbValues))
            continue;
        CKeyReader command;
        BOOL bHasCommand = command.OpenChild(verb, L"command") == ERROR_SUCCESS;
        if (VerbWorksWithoutCommand(verb, nVerbKeys, nVerbValues, bHasCommand))
        {
            nFlags++;
            continue;
        }
        if (bHasCommand)
        {
            if (CheckShellCommand(scan, nCategory, command))
                continue;
            DWORD nCommandKeys = 0, nCommandValues = 0;
            if (!CountsOf(command, nCommandKeys, nCommandValues) || nCommandValues >= 2)
                continue;
            nFlags++;
            if (nVerbValues < 2 && nVerbKeys == 1)
            {
                nBad++;
                Record(scan, nCategory, verb.GetPath(), FALSE, CString(), CString(), 6);
            }
            continue;
        }
        nFlags++;
        if (nVerbValues < 2 && nVerbKeys == 0)
        {
            nBad++;
            Record(scan, nCategory, verb.GetPath(), FALSE, CString(), CString(), 6);
        }
    }
    if (nFlags == arrVerbs.GetSize() && nBad == nFlags)
        Record(scan, nCategory, shell.GetPath(), FALSE, CString(), CString(), 7);
}

void CheckShellNew(CScanContext& scan, int nCategory, const CKeyReader& parent, const CKeyReader& shellNew)
{
    DWORD nKeys = 0, nValues = 0;
    if (!CountsOf(shellNew, nKeys, nValues) || nValues > 0)
        return;
    Record(scan, nCategory, shellNew.GetPath(), FALSE, CString(), CString(), 8);
    // Files: a nested ShellNew; extensions: one right under the extension.
    BOOL bNested = parent.GetPath().Find(L'\\') >= 0;
    if (bNested != (nCategory == 9))
        return;
    DWORD nParentKeys = 0, nParentValues = 0;
    if (CountsOf(parent, nParentKeys, nParentValues) && nParentKeys == 1 && nParentValues == 0)
        Record(scan, nCategory, parent.GetPath(), FALSE, CString(), CString(), 4);
}

// An "Open with" program: one the Applications key knows, or one the shell
// finds by its bare name.
BOOL IsRegisteredApplication(CScanContext& scan, const CString& strName)
{
    const CClassKeyList& applications = ClassKeyLists().m_applications;
    if (!applications.IsUsable() || applications.Contains(strName))
        return TRUE;
    return BareProgramExists(strName, scan.m_pathTest);
}

void CheckOpenWithList(CScanContext& scan, int nCategory, const CKeyReader& list)
{
    CStringArray arrNames;
    list.GetSubKeyNames(arrNames);
    for (int i = 0; i < arrNames.GetSize(); i++)
    {
        // Each entry may be looked for along the search path.
        if (scan.IsStopped())
            return;
        CKeyReader entry;
        DWORD nKeys = 0, nValues = 0;
        if (entry.OpenChild(list, arrNames[i]) != ERROR_SUCCESS || !CountsOf(entry, nKeys, nValues) || nKeys > 0)
            continue;
        if (!IsRegisteredApplication(scan, arrNames[i]))
            Record(scan, nCategory, entry.GetPath(), FALSE, CString(), CString(), 19);
    }
}

void CheckOpenWithProgids(CScanContext& scan, int nCategory, const CKeyReader& progids)
{
    CStringArray arrNames;
    progids.GetValueNames(arrNames);
    for (int i = 0; i < arrNames.GetSize(); i++)
    {
        if (!arrNames[i].IsEmpty() && !IsKnownClassName(arrNames[i]))
            Record(scan, nCategory, progids.GetPath(), TRUE, arrNames[i], CString(), 29);
    }
}

// File types are shared by 32-bit and 64-bit programs: either program folder counts.
BOOL IconExists(CScanContext& scan, const CString& strText)
{
    CString strPath = CPathTest::IconFilePart(strText);
    if (!strPath.IsEmpty() && strPath[0] != L'@' && ClassKeyLists().m_applications.Contains(strPath))
        return TRUE;
    return scan.m_pathTest.IconFileExists(strText);
}

enum DefaultTest
{
    TEST_PERSISTENT_HANDLER,
    TEST_DEFAULT_ICON,
    TEST_CLSID,
    TEST_CUR_VER
};

// The tests on a key's default value.
void CheckDefaultValue(CScanContext& scan, int nCategory, const CKeyReader& key, DefaultTest test)
{
    static const int s_nNoValues[] = {29, 5, 29, 30};
    DWORD nKeys = 0, nValues = 0;
    if (!CountsOf(key, nKeys, nValues))
        return;
    if (nValues == 0)
    {
        Record(scan, nCategory, key.GetPath(), FALSE, CString(), CString(), s_nNoValues[test]);
        return;
    }
    DWORD dwType = REG_NONE;
    CString strData = key.ReadString(L"", L"ERR", dwType);
    BOOL bExpandable = test == TEST_DEFAULT_ICON || test == TEST_CLSID;
    if (dwType != REG_SZ && !(bExpandable && dwType == REG_EXPAND_SZ))
        return;
    if (strData == L"ERR")
        return;
    int nDescription = 0;
    switch (test)
    {
    case TEST_PERSISTENT_HANDLER:
    case TEST_CLSID:
        if (strData.IsEmpty() || (ClassKeyLists().m_clsids.IsUsable() && !IsListedClsid(strData)))
            nDescription = 29;
        break;
    case TEST_DEFAULT_ICON:
        if (!IconExists(scan, strData))
            nDescription = 4;
        break;
    case TEST_CUR_VER:
        if (!IsKnownClassName(strData))
            nDescription = 30;
        break;
    }
    if (nDescription != 0)
        Record(scan, nCategory, key.GetPath(), FALSE, CString(), strData, nDescription);
}

BOOL Walk(CScanContext& scan, int nCategory, const CKeyReader& key, int nDepth)
{
    DWORD nSubKeys = 0, nValues = 0;
    if (!CountsOf(key, nSubKeys, nValues) || nSubKeys == 0)
        return TRUE;
    CStringArray arrNames;
    key.GetSubKeyNames(arrNames, nSubKeys);
    for (int i = 0; i < arrNames.GetSize(); i++)
    {
        if (scan.IsStopped())
            return FALSE;
        const CString& strName = arrNames[i];
        CKeyReader child;
        if (child.OpenChild(key, strName) != ERROR_SUCCESS)
            continue;
        if (strName.CompareNoCase(L"shell") == 0)
            CheckShellKey(scan, nCategory, child);
        else if (strName.CompareNoCase(L"ShellNew") == 0)
            CheckShellNew(scan, nCategory, key, child);
        else if (strName.CompareNoCase(L"OpenWithList") == 0)
            CheckOpenWithList(scan, nCategory, child);
        else if (strName.CompareNoCase(L"OpenWithProgids") == 0)
            CheckOpenWithProgids(scan, nCategory, child);
        else if (strName.CompareNoCase(L"PersistentHandler") == 0)
            CheckDefaultValue(scan, nCategory, child, TEST_PERSISTENT_HANDLER);
        else if (strName.CompareNoCase(L"DefaultIcon") == 0)
            CheckDefaultValue(scan, nCategory, child, TEST_DEFAULT_ICON);
        else if (strName.CompareNoCase(L"CLSID") == 0)
            CheckDefaultValue(scan, nCategory, child, TEST_CLSID);
        else if (strName.CompareNoCase(L"CurVer") == 0)
            CheckDefaultValue(scan, nCategory, child, TEST_CUR_VER);
        else if (nDepth < CLASS_WALK_MAX_DEPTH && !Walk(scan, nCategory, child, nDepth + 1))
            return FALSE;
    }
    return TRUE;
}

}  // namespace

BOOL IsKnownClassName(const CString& strName)
{
    const CClassKeyList& names = ClassKeyLists().m_allNames;
    return !names.IsUsable() || names.Contains(strName);
}

void RebuildClassKeyLists(CScanContext& scan)
{
    // Nothing changes the classes while a scan runs: one build serves both categories.
    if (scan.m_bClassListsBuilt)
        return;
    scan.m_bClassListsBuilt = TRUE;
    CClassKeyLists& lists = ClassKeyLists();
    lists.m_extensions.Clear();
    lists.m_classNames.Clear();
    lists.m_progIds.Clear();
    lists.m_allNames.Clear();
    BuildKeyNameLists(CString());
    lists.m_applications.FillFromKey(HKEY_CLASSES_ROOT, L"Applications");
    FillClsidList(scan.m_bWow64);
    lists.m_contentTypes.FillFromKey(HKEY_CLASSES_ROOT, L"MIME\\Database\\Content Type");
}

BOOL WalkClassKeys(CScanContext& scan, int nCategory, const CKeyReader& key)
{
    return Walk(scan, nCategory, key, 0);
}
