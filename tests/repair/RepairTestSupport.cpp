#include "tests/repair/RepairTestSupport.h"
#include "services/ZipReader.h"

#include <algorithm>
#include <stdlib.h>

namespace repairtest {

std::vector<std::wstring> ArchiveNames(const CString& strArchive)
{
    std::vector<std::wstring> names;
    ZipHandle hZip = OpenZipArchive((LPCWSTR)strArchive, 0, ZipKindFile);
    if (hZip == NULL)
        return names;
    ZipArchiveEntry entry = {};
    GetZipArchiveItem(hZip, -1, &entry);
    int nCount = entry.m_nIndex;
    for (int i = 0; i < nCount; i++)
    {
        if (GetZipArchiveItem(hZip, i, &entry) == ZipOk)
            names.push_back(entry.m_szName);
    }
    CloseZipReader(hZip);
    return names;
}

CTamselApp* App()
{
    // Another suite of this executable may have made the object already.
    if (AfxGetApp() == NULL)
    {
        static CTamselApp s_app;
    }
    return static_cast<CTamselApp*>(AfxGetApp());
}

void ResetApp(const std::wstring& strFolder)
{
    CTamselApp* pApp = App();
    pApp->m_strAppDir = strFolder.c_str();
    pApp->m_strSettingsFile = pApp->m_strAppDir + L"Settings.ini";
    for (int i = 0; i < TAMSEL_CATEGORY_COUNT; i++)
    {
        pApp->m_arrProblems[i].RemoveAll();
        pApp->m_arrRepair[i].RemoveAll();
        pApp->m_nErrors[i] = 0;
        pApp->m_nCleaned[i] = 0;
    }
    pApp->m_arrIgnoreList.RemoveAll();
    pApp->m_strLastScanTime.Empty();
    pApp->m_bCloseAfterScan = 0;
    pApp->m_bAutoRepair = 0;
}

CRegProblem ValueProblem(const CString& strHive, const CString& strKey, const CString& strValue, const CString& strData)
{
    CRegProblem problem;
    problem.m_bValue = 1;
    problem.m_strKey = strKey;
    problem.m_strKeyPath = strHive + L"\\" + strKey;
    problem.m_strValueName = strValue;
    problem.m_strData = strData;
    problem.m_nKind = 1;
    return problem;
}

CRegProblem KeyProblem(const CString& strHive, const CString& strKey)
{
    CRegProblem problem;
    problem.m_bValue = 0;
    problem.m_strKey = strKey;
    problem.m_strKeyPath = strHive + L"\\" + strKey;
    problem.m_nKind = 1;
    return problem;
}

CRegProblem ShortcutProblem(const CString& strPath)
{
    CRegProblem problem;
    problem.m_bValue = 0;
    problem.m_strKey = strPath;
    problem.m_strKeyPath = strPath;
    problem.m_nKind = 1;
    return problem;
}

std::vector<std::wstring> FolderFiles(const std::wstring& strFolder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE hFind = FindFirstFileW((strFolder + L"\\*").c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return names;
    do
    {
        if (wcscmp(fd.cFileName, L".") != 0 && wcscmp(fd.cFileName, L"..") != 0)
            names.push_back(fd.cFileName);
    } while (FindNextFileW(hFind, &fd));
    FindClose(hFind);
    std::sort(names.begin(), names.end());
    return names;
}

bool RequirePeers()
{
    wchar_t szValue[8] = {};
    return GetEnvironmentVariableW(L"TAMSEL_REQUIRE_PEERS", szValue, 8) > 0 && wcscmp(szValue, L"1") == 0;
}

bool PeerAvailable(const char* pszUnixTool)
{
    if (testsupport::RunHostCommand(std::string("command -v ") + pszUnixTool) == 0)
        return true;
    if (RequirePeers())
        ADD_FAILURE() << pszUnixTool << " is missing on the host and TAMSEL_REQUIRE_PEERS=1";
    return false;
}

std::string UnixPathOf(const std::wstring& strWindowsPath)
{
    typedef char*(CDECL * UNIX_NAME_PROC)(LPCWSTR);
    UNIX_NAME_PROC pfnUnixName =
        (UNIX_NAME_PROC)(void*)GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
    if (pfnUnixName == NULL)
        return std::string();
    char* pszName = pfnUnixName(strWindowsPath.c_str());
    if (pszName == NULL)
        return std::string();
    std::string strName = pszName;
    HeapFree(GetProcessHeap(), 0, pszName);
    return strName;
}

namespace {
std::string Quote(const std::string& str)
{
    std::string out = "'";
    for (char c : str)
    {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}
} // namespace

int RunPython(const std::string& strScript, const std::vector<std::wstring>& arrArgs, std::string& strOut)
{
    // Not a ScratchFolder: that one is named after the test and would
    // replace the test's own folder.
    wchar_t szTemp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, szTemp);
    std::wstring strFolder = std::wstring(szTemp) + L"TamselRepairPython\\";
    CreateDirectoryW(strFolder.c_str(), NULL);
    std::wstring strScriptFile = strFolder + L"check.py";
    std::wstring strOutFile = strFolder + L"out.txt";
    if (!testsupport::WriteFileBytes(strScriptFile, strScript))
        return -1;
    testsupport::WriteFileBytes(strOutFile, "");
    std::string strCommand = "python3 " + Quote(UnixPathOf(strScriptFile));
    for (const std::wstring& strArg : arrArgs)
        strCommand += " " + Quote(UnixPathOf(strArg));
    strCommand += " > " + Quote(UnixPathOf(strOutFile)) + " 2>&1";
    int nResult = testsupport::RunHostCommand(strCommand);
    strOut = testsupport::ReadFileBytes(strOutFile);
    testsupport::RemoveTree(strFolder);
    return nResult;
}

bool UseProgramResources()
{
    static HMODULE s_hResources = NULL;
    if (s_hResources == NULL)
    {
        wchar_t szPath[MAX_PATH] = {};
        GetModuleFileNameW(NULL, szPath, MAX_PATH);
        std::wstring strPath = szPath;
        strPath = strPath.substr(0, strPath.rfind(L'\\') + 1) + L"Tamsel.exe";
        s_hResources = LoadLibraryExW(strPath.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    }
    if (s_hResources == NULL)
        return false;
    AfxSetResourceHandle(s_hResources);
    return true;
}

std::wstring EnglishIniPath()
{
    std::wstring strData = TAMSEL_TEST_DATA;
    // tests/repair/data -> the source root
    std::wstring strRoot = strData.substr(0, strData.rfind(L"tests"));
    std::wstring strPath = strRoot + L"resources/English.ini";
    for (wchar_t& c : strPath)
    {
        if (c == L'/')
            c = L'\\';
    }
    if (strPath.size() > 1 && strPath[0] == L'\\')
        strPath = L"Z:" + strPath;
    return strPath;
}

} // namespace repairtest

#include "app/TamselDlg.h"

namespace repairtest {

void RepairWindowTest::SetUp()
{
    ASSERT_TRUE(UseProgramResources()) << "Tamsel.exe must be built beside the tests: its templates are used";
    ResetApp(m_folder.Path());
    m_pApp = App();
    m_pApp->m_strLangFile = EnglishIniPath().c_str();
    m_pApp->m_bAutoUpdate = 0;
    for (int i = 0; i < TAMSEL_CATEGORY_COUNT; i++)
    {
        m_pApp->m_bScanCategory[i] = 1;
        m_pApp->m_strCategoryNames[i] = m_pApp->GetLangString(CTamselApp::s_pszCategoryNameKeys[i]);
    }
    m_pDlg = new CTamselDlg;
    // Dialogs look their control classes up under the module of their
    // templates: Tamsel.exe here, not the test executable.
    WNDCLASSW wc = {};
    if (GetClassInfoW(AfxGetInstanceHandle(), L"HTMLTreeList", &wc) &&
        !GetClassInfoW(AfxGetResourceHandle(), L"HTMLTreeList", &wc))
    {
        wc.hInstance = AfxGetResourceHandle();
        RegisterClassW(&wc);
    }
    ASSERT_TRUE(m_pDlg->Create(IDD_MAIN_WINDOW, NULL));
    m_pDlg->ShowWindow(SW_SHOW);
    // The home page is made once the window idles.
    ASSERT_TRUE(testsupport::WaitFor([&] { return m_pDlg->m_pageHome.m_hWnd != NULL; }, 20000));
    Pump(100);
}

void RepairWindowTest::TearDown()
{
    if (m_pDlg != NULL)
    {
        if (m_pDlg->m_hWnd != NULL)
            m_pDlg->DestroyWindow();
        delete m_pDlg;
        m_pDlg = NULL;
    }
    // Whatever the closing posted must not end later tests' loops.
    MSG msg;
    while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
    {
    }
    WritePrivateProfileStringW(NULL, NULL, NULL, m_pApp->m_strSettingsFile);
}

void SaveScreenshot(const char* pszName)
{
    char szFolder[MAX_PATH] = {};
    if (GetEnvironmentVariableA("TAMSEL_SCREENSHOT_DIR", szFolder, MAX_PATH) == 0)
        return;
    testsupport::WaitFor([] { return false; }, 300);
    testsupport::RunHostCommand(std::string("import -window root ") + szFolder + "/" + pszName + ".png");
}

void RepairWindowTest::Pump(DWORD dwMs)
{
    testsupport::WaitFor([] { return false; }, dwMs);
}

} // namespace repairtest
