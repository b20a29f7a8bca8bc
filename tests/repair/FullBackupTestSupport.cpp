#include "tests/repair/FullBackupTestSupport.h"
#include "services/RegKeyTarget.h"

#include <shlwapi.h>

void FullBackupTest::SetUp()
{
    BackupPageTest::SetUp();
    m_strKeyPath = L"Software\\TamselTest\\" + testsupport::CurrentTestName();
    m_strKeyNamed = L"HKEY_LOCAL_MACHINE\\" + m_strKeyPath;
    // A key of a 32-bit process's own view is under Wow6432Node in the view
    // a full backup is written in.
    m_strKeyText = OwnRegistryView() != WholeRegistryView()
                       ? L"HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\TamselTest\\" + testsupport::CurrentTestName()
                       : m_strKeyNamed;
    m_strFolder = AppDir() + L"FullBackup\\";
    ASSERT_TRUE(::CreateDirectoryW(m_strFolder.c_str(), NULL));
    ::SHDeleteKeyW(HKEY_LOCAL_MACHINE, m_strKeyPath.c_str());
    HKEY hKey = NULL;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, (m_strKeyPath + L"\\Sub\\Deeper").c_str(), 0, NULL, 0,
                                               KEY_ALL_ACCESS, NULL, &hKey, NULL));
    const wchar_t szText[] = L"deep \"value\"";
    ::RegSetValueExW(hKey, L"Text", 0, REG_SZ, (const BYTE*)szText, sizeof(szText));
    ::RegCloseKey(hKey);
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, m_strKeyPath.c_str(), 0, KEY_ALL_ACCESS, &hKey));
    DWORD dw = 42;
    ::RegSetValueExW(hKey, L"Answer", 0, REG_DWORD, (const BYTE*)&dw, 4);
    const wchar_t szMulti[] = L"one\0two\0";
    ::RegSetValueExW(hKey, L"List", 0, REG_MULTI_SZ, (const BYTE*)szMulti, sizeof(szMulti));
    ::RegCloseKey(hKey);
}

void FullBackupTest::TearDown()
{
    // Both views: a restore into the wrong one leaves nothing behind either.
    for (REGSAM samView : {(REGSAM)KEY_WOW64_32KEY, (REGSAM)KEY_WOW64_64KEY})
    {
        HKEY hParent = NULL;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\TamselTest", 0, KEY_ALL_ACCESS | samView, &hParent) ==
            ERROR_SUCCESS)
        {
            ::SHDeleteKeyW(hParent, testsupport::CurrentTestName().c_str());
            ::RegCloseKey(hParent);
        }
    }
    ::SHDeleteKeyW(HKEY_LOCAL_MACHINE, m_strKeyPath.c_str());
    ::SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\TamselEvil");
    BackupPageTest::TearDown();
}

void FullBackupTest::ChangeKey()
{
    HKEY hKey = NULL;
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, m_strKeyPath.c_str(), 0, KEY_ALL_ACCESS, &hKey));
    DWORD dw = 7;
    ::RegSetValueExW(hKey, L"Answer", 0, REG_DWORD, (const BYTE*)&dw, 4);
    ::RegCloseKey(hKey);
    ASSERT_EQ(ERROR_SUCCESS, ::SHDeleteKeyW(HKEY_LOCAL_MACHINE, (m_strKeyPath + L"\\Sub").c_str()));
}
