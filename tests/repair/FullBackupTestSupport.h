#pragma once
// A full backup of one planted key under HKEY_LOCAL_MACHINE instead of the
// whole registry, and a fixture that plants and removes that key.
#include "repair/FullBackupJob.h"
#include "tests/repair/BackupTestSupport.h"
#include "services/RegFile.h"
#include "services/RegKeyTarget.h"

#include <functional>

class CScratchFullBackupJob : public CFullBackupJob
{
public:
    explicit CScratchFullBackupJob(const std::wstring& strKeyText) : m_strKeyText(strKeyText) {}

    std::wstring m_strKeyText;
    bool m_bFailWrites = false;
    // Runs on the worker while it exports.
    std::function<void()> m_fnDuringExport;

protected:
    HANDLE OpenRegFile(const CString& strPath) override
    {
        if (!m_bFailWrites)
            return CFullBackupJob::OpenRegFile(strPath);
        // Created, but every write to it fails.
        return ::CreateFileW(strPath, GENERIC_READ, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    }
    DWORD ExportRegistry(CRegFile& regFile) override
    {
        if (m_fnDuringExport)
            m_fnDuringExport();
        // In the view of the whole export, which the restore imports in.
        return regFile.ExportKey(m_strKeyText.c_str(), WholeRegistryView());
    }
};

class FullBackupTest : public BackupPageTest
{
protected:
    void SetUp() override;
    void TearDown() override;
    // Changes a value and deletes a subkey of the planted key.
    void ChangeKey();

    std::wstring m_strKeyPath;   // below HKEY_LOCAL_MACHINE, in this process's own view
    std::wstring m_strKeyText;   // with the hive name, as a full backup writes it
    std::wstring m_strKeyNamed;  // with the hive name, as a restore names it to the user
    std::wstring m_strFolder;    // FullBackup\ of the program folder
};
