// Settings.ini: read once at start-up, written back whole at exit.
#include "app/TamselApp.h"
#include "app/RunAtStartup.h"
#include "services/IniFileCheck.h"
#include "services/IniSection.h"
#include "framework/Time.h"

namespace {
const wchar_t kOptions[] = L"General Options";
const wchar_t kGeneral[] = L"General Settings";
const wchar_t kScanLog[] = L"ScanLog";

BOOL WriteInt(LPCTSTR lpszSection, LPCTSTR lpszKey, int nValue, LPCTSTR lpszFile)
{
    CString strValue;
    strValue.Format(L"%d", nValue);
    return ::WritePrivateProfileStringW(lpszSection, lpszKey, strValue, lpszFile);
}
} // namespace

void CTamselApp::LoadSettings()
{
    // What the profile functions cannot read they read as empty, and the
    // defaults written back at exit would replace what the file holds.
    m_bSettingsUnread = !PrepareIniFile(m_strSettingsFile, &m_settingsCheck);
    // One read a section: each key read alone opens the file again.
    CIniSection options, general, scanLog;
    options.Read(m_strSettingsFile, kOptions);
    general.Read(m_strSettingsFile, kGeneral);
    scanLog.Read(m_strSettingsFile, kScanLog);
    for (int nSlot = 0; nSlot < TAMSEL_CATEGORY_COUNT; ++nSlot)
        m_bScanCategory[nSlot] = options.GetInt(s_pszScanKeys[nSlot], 1);
    m_bCloseAfterScan = general.GetInt(L"CloseAfterScan", 0);
    m_bAutoRepair = general.GetInt(L"AutoRepair", 0);
    m_bAutoUpdate = general.GetInt(L"AutoUpdate", 1);
    m_bStartup = general.GetInt(L"Startup", 0);

    // The Run value, not the file, says whether the program starts with Windows.
    m_bStartup = IsRunAtStartup();

    // Empty until the first scan: the report page says no scan was made.
    CString strTime;
    scanLog.GetString(L"LastScanTime", strTime);
    m_strLastScanTime = strTime.Left(63);

    CString strKey;
    for (int i = 0; i < TAMSEL_CATEGORY_COUNT; ++i)
    {
        strKey.Format(L"Error%d", i + 1);
        m_nErrors[i] = scanLog.GetInt(strKey, 0);
    }
    for (int i = 0; i < TAMSEL_CATEGORY_COUNT; ++i)
    {
        strKey.Format(L"Cleaned%d", i + 1);
        m_nCleaned[i] = scanLog.GetInt(strKey, 0);
    }
}

BOOL CTamselApp::SaveSettings()
{
    // Never over a file that did not read, nor one that stopped reading.
    if (m_bSettingsUnread || !PrepareIniFile(m_strSettingsFile))
        return FALSE;
    BOOL bAll = TRUE;
    for (int nSlot = 0; nSlot < TAMSEL_CATEGORY_COUNT; ++nSlot)
        bAll &= WriteInt(kOptions, s_pszScanKeys[nSlot], m_bScanCategory[nSlot], m_strSettingsFile);
    bAll &= WriteInt(kOptions, L"Schedule Task", m_bScheduleTask, m_strSettingsFile);
    bAll &= WriteInt(kGeneral, L"CloseAfterScan", m_bCloseAfterScan, m_strSettingsFile);
    bAll &= WriteInt(kGeneral, L"AutoRepair", m_bAutoRepair, m_strSettingsFile);
    bAll &= WriteInt(kGeneral, L"AutoUpdate", m_bAutoUpdate, m_strSettingsFile);
    bAll &= WriteInt(kGeneral, L"Startup", m_bStartup, m_strSettingsFile);
    bAll &= ::WritePrivateProfileStringW(kScanLog, L"LastScanTime", m_strLastScanTime, m_strSettingsFile) ? TRUE : FALSE;
    CString strKey;
    for (int i = 0; i < TAMSEL_CATEGORY_COUNT; ++i)
    {
        strKey.Format(L"Error%d", i + 1);
        bAll &= WriteInt(kScanLog, strKey, m_nErrors[i], m_strSettingsFile);
    }
    for (int i = 0; i < TAMSEL_CATEGORY_COUNT; ++i)
    {
        strKey.Format(L"Cleaned%d", i + 1);
        bAll &= WriteInt(kScanLog, strKey, m_nCleaned[i], m_strSettingsFile);
    }
    return bAll;
}

namespace {
// The main window is gone by now; a pending quit would end the box at once.
void ShowExitMessage(const CString& strText)
{
    MSG msg;
    while (::PeekMessageW(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE))
    {
    }
    AfxMessageBox(strText, MB_OK | MB_ICONEXCLAMATION);
}
} // namespace

void CTamselApp::ReportSettingsNotSaved()
{
    CString strText = GetLangString(L"M_SETTINGS_NOT_SAVED");
    if (strText.IsEmpty())
        strText = L"The settings could not be saved to %s.";
    strText.Replace(L"%s", m_strSettingsFile);
    ShowExitMessage(strText);
}

void CTamselApp::ReportSettingsUnread()
{
    LPCWSTR pszReason = m_settingsCheck.nForm == IniFileLongLine  ? L"M_SETTINGS_ERR_LONGLINE"
                        : m_settingsCheck.nForm == IniFileNotText ? L"M_SETTINGS_ERR_NOTTEXT"
                                                                  : L"M_SETTINGS_ERR_OPEN";
    CString strReason = GetLangString(pszReason);
    if (strReason.IsEmpty())
        strReason = L"%s";
    CString strNumber;
    strNumber.Format(L"%lu", m_settingsCheck.nForm == IniFileLongLine ? (unsigned long)m_settingsCheck.nLine
                                                                       : (unsigned long)m_settingsCheck.dwError);
    strReason.Replace(L"%s", m_strSettingsFile);
    strReason.Replace(L"%d", strNumber);
    CString strText = GetLangString(L"M_SETTINGS_UNREAD");
    if (strText.Find(L"%s") < 0)
        strText = L"%s";
    strText.Replace(L"%s", strReason);
    ShowExitMessage(strText);
}
