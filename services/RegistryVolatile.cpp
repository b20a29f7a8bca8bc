#include "services/RegistryVolatile.h"
#include "services/RegistryLink.h"
#include "services/ScopedHandle.h"

namespace {

// KEY_FLAGS_INFORMATION of NtQueryKey: Wow64Flags, KeyFlags, ControlFlags.
const int kKeyFlagsInformation = 5;
const ULONG kKeyFlagVolatile = 0x1;
// The name of the short-lived subkey; nothing else uses it.
const wchar_t kProbeName[] = L"Tamsel volatility probe {6C1F0B52-52E4-4A57-9D1B-3B7B2F0E4C11}";

typedef LONG(WINAPI* PFN_NT_QUERY_KEY)(HANDLE, int, PVOID, ULONG, PULONG);

RegKeyVolatility VolatilityFromFlags(HKEY hKey)
{
    static PFN_NT_QUERY_KEY s_pfnQueryKey =
        (PFN_NT_QUERY_KEY)(void*)::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryKey");
    if (s_pfnQueryKey == NULL)
        return RegKeyVolatilityUnknown;
    ULONG flags[3] = {};
    ULONG nLength = 0;
    if (s_pfnQueryKey(hKey, kKeyFlagsInformation, flags, sizeof(flags), &nLength) != 0 ||
        nLength < 2 * sizeof(ULONG))
        return RegKeyVolatilityUnknown;
    return (flags[1] & kKeyFlagVolatile) ? RegKeyVolatile : RegKeyLasting;
}

RegKeyVolatility VolatilityFromProbe(HKEY hKey)
{
    CRegKeyHandle probe;
    DWORD dwDisposition = 0;
    LONG nResult = ::RegCreateKeyExW(hKey, kProbeName, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_QUERY_VALUE | DELETE,
                                     NULL, probe.Receive(), &dwDisposition);
    if (nResult == ERROR_CHILD_MUST_BE_VOLATILE)
        return RegKeyVolatile;
    if (nResult != ERROR_SUCCESS)
        return RegKeyVolatilityUnknown;
    // Only the key this call made is removed again.
    if (dwDisposition == REG_CREATED_NEW_KEY && DeleteRegistryKeyHandle(probe) != ERROR_SUCCESS)
        ::RegDeleteKeyW(hKey, kProbeName);
    return RegKeyLasting;
}

} // namespace

RegKeyVolatility GetRegistryKeyVolatility(HKEY hRoot, LPCWSTR pszPath, REGSAM samView)
{
    samView &= KEY_WOW64_32KEY | KEY_WOW64_64KEY;
    CRegKeyHandle key;
    if (::RegOpenKeyExW(hRoot, pszPath, 0, KEY_QUERY_VALUE | samView, key.Receive()) != ERROR_SUCCESS)
        return RegKeyVolatilityUnknown;
    RegKeyVolatility nVolatility = VolatilityFromFlags(key);
    if (nVolatility != RegKeyVolatilityUnknown)
        return nVolatility;
    if (::RegOpenKeyExW(hRoot, pszPath, 0, KEY_CREATE_SUB_KEY | samView, key.Receive()) != ERROR_SUCCESS)
        return RegKeyVolatilityUnknown;
    return VolatilityFromProbe(key);
}
