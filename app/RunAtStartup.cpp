#include "app/RunAtStartup.h"
#include "services/NtRegistry.h"

namespace {

const WCHAR s_szRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const WCHAR s_szRunValue[] = L"Tamsel";

CString QuotedModulePath()
{
    WCHAR szPath[520] = L"";
    ::GetModuleFileNameW(NULL, szPath, 520);
    CString strQuoted;
    strQuoted.Format(L"\"%s\"", szPath);
    return strQuoted;
}

} // namespace

BOOL IsRunAtStartup()
{
    CNtRegistry registry;
    return registry.SetKey(HKEY_CURRENT_USER, s_szRunKey, FALSE) && registry.ValueExists(s_szRunValue);
}

BOOL SetRunAtStartup(BOOL bRun)
{
    CNtRegistry registry;
    if (!registry.SetKey(HKEY_CURRENT_USER, s_szRunKey, TRUE))
        return FALSE;
    registry.DeleteValue(s_szRunValue);
    // Quoted: a path with blanks would otherwise start the wrong program.
    return bRun ? registry.WriteString(s_szRunValue, QuotedModulePath()) : TRUE;
}
