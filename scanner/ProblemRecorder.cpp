#include "scanner/ProblemRecorder.h"
#include "scanner/KeyReader.h"

BOOL BeginCategory(CScanContext& scan, int nCategory)
{
    if (scan.IsStopped())
        return FALSE;
    scan.m_nCategoryCount[nCategory - 1] = 1;
    CScanFeedItem item;
    item.nKind = FEED_CATEGORY_START;
    item.nCategory = nCategory;
    scan.m_feed.Push(item);
    return TRUE;
}

void EndCategory(CScanContext& scan, int nCategory)
{
    // A stop that came after the last loop head still leaves the row unfinished.
    if (scan.IsStopped())
        return;
    CScanFeedItem item;
    item.nKind = FEED_CATEGORY_END;
    item.nCategory = nCategory;
    item.nNumber = scan.ProblemList(nCategory).GetSize() > 0 ? 1 : 0;
    scan.m_feed.Push(item);
}

CString EscapeRowText(const CString& strText)
{
    CString strEscaped = strText;
    strEscaped.Replace(L"&", L"&amp;");
    strEscaped.Replace(L"<", L"&lt;");
    strEscaped.Replace(L">", L"&gt;");
    return strEscaped;
}

CString BuildRowText(const CRegProblem& problem)
{
    CString strValueName = problem.m_strValueName.IsEmpty() ? CString(L"{Default}") : problem.m_strValueName;
    CString strText;
    strText.Format(L"<font color=#ff0000><b>%s.</b></font><br><b>Key:</b> %s<br><b>Value:</b> %s=%s<br>",
                   (LPCWSTR)EscapeRowText(problem.m_strDescription), (LPCWSTR)EscapeRowText(problem.m_strKeyPath),
                   (LPCWSTR)EscapeRowText(strValueName), (LPCWSTR)EscapeRowText(problem.m_strData));
    return strText;
}

BOOL RecordProblem(CScanContext& scan, int nCategory, const CFoundProblem& found)
{
    if (nCategory < 1 || nCategory > SCAN_CATEGORIES)
        return FALSE;
    // A check cut short by the stop (a list read in part, a look-up given
    // up) proves nothing: after the stop nothing more is recorded.
    if (scan.IsStopped())
        return FALSE;
    CString strData = found.strData == L"ERR" ? CString() : found.strData;
    if (IsIgnored(scan.m_ignoreList, found.hRoot, found.strKey, found.strValueName, strData))
        return FALSE;
    // A problem the repair could not mend is not offered: a value goes with
    // KEY_SET_VALUE, a key with its subtree needs to be listed and emptied too.
    const REGSAM samKeyRepair = DELETE | KEY_SET_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE;
    if (found.hRoot != NULL &&
        !CKeyReader::CanOpenWith(found.hRoot, found.strKey, found.bValue ? KEY_SET_VALUE : samKeyRepair, found.samView))
    {
        scan.m_bUnwritableSkipped = TRUE;
        return FALSE;
    }

    CRegProblem problem;
    problem.m_bValue = found.bValue;
    problem.m_strKey = found.strKey;
    problem.m_strKeyPath = found.hRoot == NULL ? found.strKey : GetHiveName(found.hRoot) + L"\\" + found.strKey;
    problem.m_strValueName = found.strValueName;
    problem.m_strData = strData;
    problem.m_nKind = found.nKind;
    problem.m_strDescription = found.strDescription;
    problem.m_samView = found.samView;
    CArray<CRegProblem>& list = scan.ProblemList(nCategory);
    list.Add(problem);

    CScanFeedItem item;
    item.nKind = FEED_PROBLEM_ROW;
    item.nCategory = nCategory;
    item.nNumber = scan.m_nCategoryCount[nCategory - 1];
    item.nTotal = scan.m_nNextProblem;
    item.row.nCategory = nCategory;
    item.row.strText = BuildRowText(problem);
    item.row.dwItemData = (DWORD_PTR)(list.GetSize() - 1);
    item.row.nState = SCAN_PROBLEM_ROW_STATE;
    scan.m_feed.Push(item);
    scan.m_nCategoryCount[nCategory - 1]++;
    scan.m_nNextProblem++;
    return TRUE;
}

BOOL RecordProblem(CScanContext& scan, int nCategory, HKEY hRoot, const CString& strKey, BOOL bValue,
                   const CString& strValueName, const CString& strData, int nDescription, int nKind,
                   REGSAM samView)
{
    CFoundProblem found;
    found.hRoot = hRoot;
    found.strKey = strKey;
    found.bValue = bValue;
    found.strValueName = strValueName;
    found.strData = strData;
    found.nKind = nKind;
    found.samView = samView;
    if (nDescription > 0 && nDescription < SCAN_DESCRIPTIONS)
        found.strDescription = scan.m_strDescriptions[nDescription];
    return RecordProblem(scan, nCategory, found);
}
