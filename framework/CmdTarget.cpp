#include "framework/MessageMap.h"

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY s_entries[] = { { AfxKind_End, 0, 0, 0, 0, nullptr, nullptr } };
    static const AFX_MSGMAP s_map = { nullptr, s_entries };
    return &s_map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

static bool IsCtlColorMessage(UINT nMsg)
{
    return nMsg >= WM_CTLCOLORMSGBOX && nMsg <= WM_CTLCOLORSTATIC;
}

static bool EntryMatches(const AFX_MSGMAP_ENTRY& entry, int nKind, const AFX_MSGCALL& call, UINT nCode)
{
    switch (nKind)
    {
    case AfxKind_Msg:  // any entry for a plain window message
        if (entry.nKind == AfxKind_Msg)
            return entry.nMessage == call.nMsg;
        if (entry.nKind == AfxKind_RegMsg)
            return entry.pnRegMessage && *entry.pnRegMessage != 0 && *entry.pnRegMessage == call.nMsg;
        if (entry.nKind == AfxKind_CtlColor)
            return IsCtlColorMessage(call.nMsg);
        return false;
    case AfxKind_Command:
    case AfxKind_Notify:
        return entry.nKind == nKind && entry.nCode == nCode && call.nID >= entry.nID && call.nID <= entry.nLastID;
    case AfxKind_ReflectCommand:
    case AfxKind_ReflectNotify:
        return entry.nKind == nKind && entry.nCode == nCode;
    case AfxKind_ReflectCtlColor:
        return entry.nKind == nKind;
    default:
        return false;
    }
}

BOOL CCmdTarget::DispatchMapMessage(int nKind, AFX_MSGCALL& call, UINT nCode)
{
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr)
    {
        for (const AFX_MSGMAP_ENTRY* pEntry = pMap->lpEntries; pEntry->nKind != AfxKind_End; ++pEntry)
        {
            if (EntryMatches(*pEntry, nKind, call, nCode) && pEntry->pfnDispatch(this, call))
                return TRUE;
        }
    }
    return FALSE;
}
