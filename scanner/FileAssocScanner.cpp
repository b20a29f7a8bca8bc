#include "scanner/Scanners.h"
#include "scanner/ClassKeyLists.h"
#include "scanner/ClassKeyWalker.h"
#include "scanner/KeyWalk.h"
#include "scanner/ProblemRecorder.h"
#include "scanner/ScanRoots.h"

namespace {
const int ASSOC_CATEGORY = 9;
const wchar_t* const HANDLERS_KEY = SCAN_KEY_HANDLERS;

BOOL IsClsidText(const CString& strText)
{
    return strText.GetLength() == 38 && strText[0] == L'{' && strText[37] == L'}';
}

void CheckHandler(CScanContext& scan, const CKeyReader& handler, const CString& strName)
{
    BOOL bClsidsUsable = ClassKeyLists().m_clsids.IsUsable();
    CStringArray arrValues;
    handler.GetValueNames(arrValues);
    CString strData = handler.ReadString(L"", L"ERR");
    DWORD dwType = REG_NONE;
    BOOL bDefaultText = handler.GetValueType(L"", dwType) && (dwType == REG_SZ || dwType == REG_EXPAND_SZ);
    // The shell takes the class from the default value or, failing that, from the key's name.
    if (IsClsidText(strName) && (!bDefaultText || strData.IsEmpty() || strData.Find(L'{') < 0))
    {
        if (bClsidsUsable && !IsListedClsid(strName))
            RecordProblem(scan, ASSOC_CATEGORY, HKEY_CLASSES_ROOT, handler.GetPath(), FALSE, CString(),
                          bDefaultText ? strData : CString(), 21);
        return;
    }
    if (arrValues.GetSize() == 0)
    {
        RecordProblem(scan, ASSOC_CATEGORY, HKEY_CLASSES_ROOT, handler.GetPath(), FALSE, CString(), CString(), 21);
        return;
    }
    if (!bDefaultText || strData == L"ERR")
        return;
    if (strData.IsEmpty() || (strData.Find(L'{') >= 0 && bClsidsUsable && !IsListedClsid(strData)))
        RecordProblem(scan, ASSOC_CATEGORY, HKEY_CLASSES_ROOT, handler.GetPath(), FALSE, CString(), strData, 21);
}

// FALSE when the scan was stopped.
BOOL CheckContextMenuHandlers(CScanContext& scan)
{
    CKeyReader handlers;
    handlers.Open(HKEY_CLASSES_ROOT, HANDLERS_KEY);
    return WalkEntries(scan, handlers, [&](const CKeyReader& handler, const CString& strName) {
        CheckHandler(scan, handler, strName);
        return TRUE;
    });
}

BOOL WalkNames(CScanContext& scan, const CClassKeyList& names)
{
    CKeyReader root;
    root.Open(HKEY_CLASSES_ROOT, CString());
    return WalkEntries(scan, root, names.GetNames(), [&](const CKeyReader& key, const CString&) {
        return WalkClassKeys(scan, ASSOC_CATEGORY, key);
    });
}
}  // namespace

void ScanFileAssociations(CScanContext& scan)
{
    if (!BeginCategory(scan, ASSOC_CATEGORY))
        return;
    RebuildClassKeyLists(scan);
    if (!CheckContextMenuHandlers(scan) || !WalkNames(scan, ClassKeyLists().m_classNames) ||
        !WalkNames(scan, ClassKeyLists().m_progIds))
        return;
    EndCategory(scan, ASSOC_CATEGORY);
}
