// Settings.ini: read once at start-up, written back whole at exit.
#include "app/TamselApp.h"
#include "framework/Time.h"
#include "services/NtRegistry.h"

namespace {
const wchar_t kOptions[] = L"General Options";
const wchar_t kGeneral[] = L"General Settings";
const wchar_t kScanLog[] = L"ScanLog";
const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

void WriteInt(LPCTSTR lpszSection, LPCTSTR lpszKey, int nValue, LPCTSTR lpszFile)
{
    CString strValue;
    strValue.Format(L"%d", nValue);
    ::WritePrivateProfileStringW(lpszSection, lpszKey, strValue, lpszFile);
}
} // namespace

void CTamselApp::LoadSettings()
{
    for (int nSlot = 0; nSlot < TAMSEL_CATEGORY_COUNT; ++nSlot)
        m_bScanCategory[nSlot] = ::GetPrivateProfileIntW(kOptions, s_pszScanKeys[nSlot], 1, m_strSettingsFile);
    m_bCloseAfterScan = ::GetPrivateProfileIntW(kGeneral, L"CloseAfterScan", 0, m_strSettingsFile);
    m_bAutoRepair = ::GetPrivateProfileIntW(kGeneral, L"AutoRepair", 0, m_strSettingsFile);
    m_bAutoUpdate = ::GetPrivateProfileIntW(kGeneral, L"AutoUpdate", 1, m_strSettingsFile);
    m_bStartup = ::GetPrivateProfileIntW(kGeneral, L"Startup", 0, m_strSettingsFile);

    // The Run value, not the file, says whether the program starts with Windows.
    {
        CNtRegistry reg;
        m_bStartup = reg.SetKey(HKEY_CURRENT_USER, kRunKey, TRUE) && reg.ValueExists(L"Tamsel");
    }

    CString strNow = CTime::GetCurrentTime().Format(L"%Y%m%d%H%M%S");
    wchar_t szTime[64] = {};
    ::GetPrivateProfileStringW(kScanLog, L"LastScanTime", strNow, szTime, 64, m_strSettingsFile);
    m_strLastScanTime = szTime;

    CString strKey;
    for (int i = 0; i < TAMSEL_CATEGORY_COUNT; ++i)
    {
        strKey.Format(L"Error%d", i + 1);
        m_nErrors[i] = ::GetPrivateProfileIntW(kScanLog, strKey, 0, m_strSettingsFile);
    }
    for (int i = 0; i < TAMSEL_CATEGORY_COUNT; ++i)
    {
        strKey.Format(L"Cleaned%d", i + 1);
        m_nCleaned[i] = ::GetPrivateProfileIntW(kScanLog, strKey, 0, m_strSettingsFile);
    }
}

void CTamselApp::SaveSettings()
{
    for (int nSlot = 0; nSlot < TAMSEL_CATEGORY_COUNT; ++nSlot)
        WriteInt(kOptions, s_pszScanKeys[nSlot], m_bScanCategory[nSlot], m_strSettingsFile);
    WriteInt(kOptions, L"Schedule Task", m_bScheduleTask, m_strSettingsFile);
    WriteInt(kGeneral, L"CloseAfterScan", m_bCloseAfterScan, m_strSettingsFile);
    WriteInt(kGeneral, L"AutoRepair", m_bAutoRepair, m_strSettingsFile);
    WriteInt(kGeneral, L"AutoUpdate", m_bAutoUpdate, m_strSettingsFile);
    WriteInt(kGeneral, L"Startup", m_bStartup, m_strSettingsFile);
    ::WritePrivateProfileStringW(kScanLog, L"LastScanTime", m_strLastScanTime, m_strSettingsFile);
    CString strKey;
    for (int i = 0; i < TAMSEL_CATEGORY_COUNT; ++i)
    {
        strKey.Format(L"Error%d", i + 1);
        WriteInt(kScanLog, strKey, m_nErrors[i], m_strSettingsFile);
    }
    for (int i = 0; i < TAMSEL_CATEGORY_COUNT; ++i)
    {
        strKey.Format(L"Cleaned%d", i + 1);
        WriteInt(kScanLog, strKey, m_nCleaned[i], m_strSettingsFile);
    }
}
