#include "services/NtRegistry.h"
#include "services/ScopedHandle.h"

BOOL CNtRegistry::SetKeyForReading(HKEY hRoot, const CString& strKey)
{
    if (!SetRoot(hRoot))
        return FALSE;
    if (strKey.IsEmpty())
    {
        m_strKeyPath.Empty();
        return TRUE;
    }
    CRegKeyHandle key;
    m_nLastError = RegOpenKeyExW(m_hRootKey, strKey, 0, KEY_READ, key.Receive());
    if (m_nLastError != ERROR_SUCCESS)
        return FALSE;
    m_strKeyPath = strKey;
    return TRUE;
}
