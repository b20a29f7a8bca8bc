#pragma once
// The tool pages on a host window in a scratch program folder, with the
// registry values they plant removed again. It holds the program's
// application object: one source file of a program includes it.
#include "app/TamselApp.h"
#include "scanner/KeyReader.h"
#include "services/NtRegistry.h"
#include "services/RegKeyTarget.h"
#include "services/RegTreeDelete.h"
#include "tools/BhoManager.h"
#include "tools/StartupManager.h"
#include "tools/ToolBackupArchive.h"
#include "tools/UninstallRemovePage.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TestSupport.h"
#include "tests/tools/ToolTestSupport.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <memory>

using namespace tooltest;
using testsupport::MessageBoxRecorder;
using testsupport::ScratchFolder;

namespace {

CTamselApp s_app;

const wchar_t kRun[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kBho[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects";
const wchar_t kUninstall[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

inline std::wstring MarkerProgram()
{
    wchar_t szPath[MAX_PATH] = {};
    GetModuleFileNameW(NULL, szPath, MAX_PATH);
    PathRemoveFileSpecW(szPath);
    return std::wstring(szPath) + L"\\tools_marker.exe";
}

inline bool MakeShortcut(const std::wstring& link, const std::wstring& target)
{
    IShellLinkW* pLink = NULL;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkW, (void**)&pLink)))
        return false;
    pLink->SetPath(target.c_str());
    IPersistFile* pFile = NULL;
    bool bOk = SUCCEEDED(pLink->QueryInterface(IID_IPersistFile, (void**)&pFile)) && SUCCEEDED(pFile->Save(link.c_str(), TRUE));
    if (pFile)
        pFile->Release();
    pLink->Release();
    return bOk;
}

inline std::wstring UserStartupFolder()
{
    CNtRegistry reg;
    reg.SetKeyForReading(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
    return std::wstring(reg.ReadString(L"Startup", L""));
}

class HostWnd : public CWnd
{
};

class ToolPagesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
        s_app.m_strAppDir = m_folder.Path().c_str();
        s_app.m_strLangFile.Empty();
        s_app.m_arrStartupBackups.RemoveAll();
        s_app.m_arrBhoBackups.RemoveAll();
        CreateDirectoryW(s_app.m_strAppDir + L"Utilities", NULL);
        LPCTSTR lpszClass = AfxRegisterWndClass(0, ::LoadCursorW(NULL, IDC_ARROW), (HBRUSH)(COLOR_WINDOW + 1));
        ASSERT_TRUE(m_wndHost.CreateEx(0, lpszClass, L"Tool host", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, NULL, NULL));
    }
    void TearDown() override
    {
        m_pStartup.reset();
        m_pBho.reset();
        m_pUninstall.reset();
        if (::IsWindow(m_wndHost.m_hWnd))
            m_wndHost.DestroyWindow();
        for (const std::wstring& name : m_runValues)
        {
            HKEY hKey = NULL;
            if (RegOpenKeyExW(HKEY_CURRENT_USER, kRun, 0, KEY_SET_VALUE, &hKey) == ERROR_SUCCESS)
            {
                RegDeleteValueW(hKey, name.c_str());
                RegCloseKey(hKey);
            }
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRun, 0, KEY_SET_VALUE, &hKey) == ERROR_SUCCESS)
            {
                RegDeleteValueW(hKey, name.c_str());
                RegCloseKey(hKey);
            }
        }
        for (const std::wstring& file : m_files)
            DeleteFileW(file.c_str());
        for (const std::wstring& key : m_keys)
            SHDeleteKeyW(HKEY_LOCAL_MACHINE, key.c_str());
        for (const std::wstring& key : m_classKeys)
            SHDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str());
        for (const ViewValue& value : m_viewValues)
            DeleteValue(value.hRoot, value.key, value.name, value.samView);
        for (const ViewKey& key : m_viewKeys)
            DeleteRegTree(key.hRoot, key.path.c_str(), key.samView, NULL);
    }

    // The view a test plants in besides the own one; it fails where the
    // system keeps one view only, as every 64-bit Windows keeps two.
    static REGSAM OtherView()
    {
        EXPECT_TRUE(HasTwoRegistryViews());
        return CKeyReader::OtherView();
    }
    // A Run value of one view (0: the own one), removed again.
    void PlantRunIn(HKEY hRoot, const std::wstring& name, const std::wstring& text, REGSAM samView)
    {
        SetText(hRoot, kRun, name, text, REG_SZ, samView);
        m_viewValues.push_back({ hRoot, kRun, name, samView });
    }
    // A key of one view, deleted with what is below it after the test.
    void ForgetKeyIn(HKEY hRoot, const std::wstring& path, REGSAM samView)
    {
        m_viewKeys.push_back({ hRoot, path, samView });
    }
    // A browser helper object of one view whose class is registered in that view.
    void PlantBhoIn(const std::wstring& clsid, const std::wstring& dll, REGSAM samView)
    {
        SetText(HKEY_LOCAL_MACHINE, std::wstring(kBho) + L"\\" + clsid, L"NoExplorer", L"1", REG_SZ, samView);
        SetText(HKEY_CLASSES_ROOT, L"CLSID\\" + clsid + L"\\InprocServer32", L"", dll, REG_SZ, samView);
        ForgetKeyIn(HKEY_LOCAL_MACHINE, std::wstring(kBho) + L"\\" + clsid, samView);
        ForgetKeyIn(HKEY_CLASSES_ROOT, L"CLSID\\" + clsid, samView);
    }

    void PlantRun(HKEY hRoot, const std::wstring& name, const std::wstring& text, DWORD dwType = REG_SZ)
    {
        SetText(hRoot, kRun, name, text, dwType);
        m_runValues.push_back(name);
    }
    CStartupRemovePage& OpenStartup()
    {
        m_pStartup.reset(new CStartupManager());
        EXPECT_TRUE(m_pStartup->Create(254, &m_wndHost));
        m_pStartup->ShowWindow(SW_SHOW);
        return m_pStartup->m_pageRemove;
    }
    CBhoRemovePage& OpenBho()
    {
        m_pBho.reset(new CBhoManager());
        EXPECT_TRUE(m_pBho->Create(253, &m_wndHost));
        m_pBho->ShowWindow(SW_SHOW);
        return m_pBho->m_pageRemove;
    }
    CUninstallRemovePage& OpenUninstall()
    {
        m_pUninstall.reset(new CUninstallRemovePage());
        EXPECT_TRUE(m_pUninstall->Create(271, &m_wndHost));
        m_pUninstall->ShowWindow(SW_SHOW);
        m_pUninstall->FillList();
        return *m_pUninstall;
    }
    // Rows whose column nColumn begins with the prefix, as "col1|col2".
    static std::vector<std::wstring> Rows(CXListCtrl& list, const std::wstring& prefix, int nColumn = 1)
    {
        std::vector<std::wstring> rows;
        for (int i = 0; i < list.GetItemCount(); ++i)
        {
            std::wstring text = (LPCWSTR)list.GetItemText(i, nColumn);
            if (text.compare(0, prefix.size(), prefix) == 0)
                rows.push_back(text + L"|" + std::wstring((LPCWSTR)list.GetItemText(i, nColumn + 1)));
        }
        return rows;
    }
    static int FindRow(CXListCtrl& list, const std::wstring& text, int nColumn = 1)
    {
        for (int i = 0; i < list.GetItemCount(); ++i)
        {
            if (std::wstring((LPCWSTR)list.GetItemText(i, nColumn)) == text)
                return i;
        }
        return -1;
    }
    static bool RunValueExists(HKEY hRoot, const std::wstring& name)
    {
        DWORD dwType = 0;
        Bytes data;
        return GetValue(hRoot, kRun, name, dwType, data);
    }
    // A browser helper object with a registered in-process server.
    void PlantBho(const std::wstring& clsid, const std::wstring& dll)
    {
        SetText(HKEY_LOCAL_MACHINE, std::wstring(kBho) + L"\\" + clsid, L"NoExplorer", L"1");
        SetText(HKEY_CLASSES_ROOT, L"CLSID\\" + clsid + L"\\InprocServer32", L"", dll);
        m_classKeys.push_back(L"CLSID\\" + clsid);
    }
    std::wstring WaitForMarker(const std::wstring& file)
    {
        std::wstring text;
        testsupport::WaitFor([&] {
            std::string bytes = testsupport::ReadFileBytes(file);
            if (bytes.empty())
                return false;
            text.assign((const wchar_t*)bytes.data(), bytes.size() / 2);
            return true;
        }, 15000);
        return text;
    }

    ScratchFolder m_folder;
    HostWnd m_wndHost;
    std::unique_ptr<CStartupManager> m_pStartup;
    std::unique_ptr<CBhoManager> m_pBho;
    std::unique_ptr<CUninstallRemovePage> m_pUninstall;
    std::vector<std::wstring> m_runValues, m_files, m_keys, m_classKeys;
    struct ViewValue
    {
        HKEY hRoot;
        std::wstring key, name;
        REGSAM samView;
    };
    struct ViewKey
    {
        HKEY hRoot;
        std::wstring path;
        REGSAM samView;
    };
    std::vector<ViewValue> m_viewValues;
    std::vector<ViewKey> m_viewKeys;
};

} // namespace
