#include "tests/repair/BackupTestSupport.h"
#include "scanner/FolderWalk.h"
#include "services/RegFile.h"
#include "services/ZipWriter.h"

#include <algorithm>
#include <memory>

namespace backuptest {

namespace {
std::wstring ExeFolder()
{
    WCHAR szPath[MAX_PATH] = L"";
    ::GetModuleFileNameW(NULL, szPath, MAX_PATH);
    std::wstring strPath(szPath);
    return strPath.substr(0, strPath.rfind(L'\\') + 1);
}

// The templates, bitmaps and texts live in the program built beside the tests.
void LoadProgramResources()
{
    static HMODULE s_hProgram = NULL;
    if (s_hProgram != NULL)
        return;
    s_hProgram = ::LoadLibraryExW((ExeFolder() + L"Tamsel.exe").c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (s_hProgram != NULL)
        AfxSetResourceHandle(s_hProgram);
}

// A temporary folder apart from the test's own scratch folder.
class LooseFolder
{
public:
    LooseFolder()
    {
        static LONG s_nCounter = 0;
        WCHAR szTemp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, szTemp);
        m_strPath = std::wstring(szTemp) + L"TamselLoose" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                    std::to_wstring(::InterlockedIncrement(&s_nCounter)) + L"\\";
        testsupport::RemoveTree(m_strPath);
        ::CreateDirectoryW(m_strPath.c_str(), NULL);
    }
    ~LooseFolder() { testsupport::RemoveTree(m_strPath); }
    std::wstring File(const std::wstring& strName) const { return m_strPath + strName; }
private:
    std::wstring m_strPath;
};

bool WriteRegFile(const std::wstring& strPath, const std::vector<std::wstring>& keys)
{
    HANDLE hFile = ::CreateFileW(strPath.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    DWORD dwWritten = 0;
    ::WriteFile(hFile, "\xFF\xFE", 2, &dwWritten, NULL);
    CRegFile regFile;
    regFile.m_hFile = hFile;
    regFile.m_nCount = 0;
    regFile.m_nColumn = 0;
    regFile.PutString(L"Windows Registry Editor Version");
    regFile.PutString(L" ");
    regFile.PutString(L"5.00");
    regFile.PutString(L"\n\n");
    bool bOk = true;
    for (const std::wstring& strKey : keys)
        bOk = regFile.ExportKey(strKey.c_str()) == 0 && bOk;
    bOk = regFile.Flush() && bOk;
    ::CloseHandle(hFile);
    return bOk;
}
} // namespace

CTamselApp& App()
{
    LoadProgramResources();
    CTamselApp* pApp = static_cast<CTamselApp*>(AfxGetApp());
    if (pApp == NULL)
        pApp = new CTamselApp;  // lives as long as the process
    return *pApp;
}

bool WriteAutoBackupArchive(const std::wstring& strArchive, const std::wstring& strStamp,
                            const std::vector<std::wstring>& keys, const std::vector<ShortcutEntry>& shortcuts)
{
    LooseFolder loose;
    std::wstring strReg = loose.File(L"AutoBackup" + strStamp + L".reg");
    if (!keys.empty() && !WriteRegFile(strReg, keys))
        return false;
    ZipHandle hZip = CreateZipArchive(strArchive.c_str(), 0, ZipKindFile);
    if (hZip == NULL)
        return false;
    bool bOk = true;
    if (!keys.empty())
        bOk = AddToZipArchive(hZip, (L"AutoBackup" + strStamp + L".reg").c_str(), strReg.c_str(), 0, ZipKindFile) == ZipOk;
    std::string list = "\xFF\xFE";
    for (size_t i = 0; i < shortcuts.size() && bOk; i++)
    {
        std::wstring strFile = loose.File(std::to_wstring(i) + L".lnk");
        bOk = testsupport::WriteFileBytes(strFile, shortcuts[i].bytes) &&
              AddToZipArchive(hZip, shortcuts[i].strName.c_str(), strFile.c_str(), 0, ZipKindFile) == ZipOk;
        for (wchar_t ch : shortcuts[i].strPath + L"\n")
            list += std::string{(char)(ch & 0xFF), (char)(ch >> 8)};
    }
    if (!shortcuts.empty() && bOk)
    {
        std::wstring strList = loose.File(L"ShortCuts.txt");
        bOk = testsupport::WriteFileBytes(strList, list) &&
              AddToZipArchive(hZip, L"ShortCuts.txt", strList.c_str(), 0, ZipKindFile) == ZipOk;
    }
    return CloseZipWriter(hZip) == ZipOk && bOk;
}

std::string ExportKeyText(const std::wstring& strKeyPath)
{
    LooseFolder scratch;
    std::wstring strFile = scratch.File(L"export.reg");
    if (!WriteRegFile(strFile, {strKeyPath}))
        return std::string();
    return testsupport::ReadFileBytes(strFile);
}

bool BreakItemCrc(const std::wstring& strArchive, const std::string& strItemName)
{
    std::string bytes = testsupport::ReadFileBytes(strArchive);
    int nChanged = 0;
    for (size_t i = 0; i + 46 < bytes.size(); i++)
    {
        const BYTE* p = (const BYTE*)bytes.data() + i;
        DWORD dwSignature = p[0] | (p[1] << 8) | (p[2] << 16) | ((DWORD)p[3] << 24);
        size_t nNameOffset, nNameLength, nCrcOffset;
        if (dwSignature == 0x04034B50)
            nNameOffset = 30, nNameLength = p[26] | (p[27] << 8), nCrcOffset = 14;
        else if (dwSignature == 0x02014B50)
            nNameOffset = 46, nNameLength = p[28] | (p[29] << 8), nCrcOffset = 16;
        else
            continue;
        if (i + nNameOffset + nNameLength > bytes.size() ||
            bytes.compare(i + nNameOffset, nNameLength, strItemName) != 0 || nNameLength != strItemName.size())
            continue;
        bytes[i + nCrcOffset] ^= 0x5A;
        nChanged++;
    }
    return nChanged >= 2 && testsupport::WriteFileBytes(strArchive, bytes);
}

std::vector<std::wstring> FolderEntries(const std::wstring& strFolder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE hFind = ::FindFirstFileW((strFolder + L"*").c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return names;
    do
    {
        if (lstrcmpW(fd.cFileName, L".") != 0 && lstrcmpW(fd.cFileName, L"..") != 0)
            names.push_back(fd.cFileName);
    } while (::FindNextFileW(hFind, &fd));
    ::FindClose(hFind);
    std::sort(names.begin(), names.end());
    return names;
}

bool RequirePeer(const char* pszTool)
{
    if (testsupport::RunHostCommand(std::string("PATH=/usr/local/bin:/usr/bin:/bin; command -v ") + pszTool) == 0)
        return true;
    char szRequire[8] = "";
    if (::GetEnvironmentVariableA("TAMSEL_REQUIRE_PEERS", szRequire, sizeof(szRequire)) && szRequire[0] == '1')
        ADD_FAILURE() << pszTool << " is missing on the host (TAMSEL_REQUIRE_PEERS=1)";
    return false;
}

ShortcutScanFolder::ShortcutScanFolder()
{
    CString strPrograms = ReadShellFolder(HKEY_CURRENT_USER, L"Programs");
    EXPECT_FALSE(strPrograms.IsEmpty()) << "no Programs folder in Shell Folders";
    strPrograms.TrimRight(L'\\');
    m_strPath = std::wstring(strPrograms) + L"\\TamselRestoreTest" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
    testsupport::RemoveTree(m_strPath);
    EXPECT_TRUE(::CreateDirectoryW(m_strPath.c_str(), NULL)) << Narrow(m_strPath);
}

ShortcutScanFolder::~ShortcutScanFolder()
{
    testsupport::RemoveTree(m_strPath);
}

std::wstring Widen(const std::string& str)
{
    return std::wstring(str.begin(), str.end());
}

std::string Narrow(const std::wstring& str)
{
    std::string result;
    for (wchar_t ch : str)
        result += (char)ch;
    return result;
}

} // namespace backuptest

void BackupPageTest::SetUp()
{
    m_app.m_strAppDir = m_folder.Path().c_str();
    m_app.m_strSettingsFile = m_app.m_strAppDir + L"Settings.ini";
    m_app.m_arrBackupFiles.RemoveAll();
    m_app.m_strFullBackupFile.Empty();
    std::wstring strLanguage = m_folder.File(L"English.ini");
    std::string source = backuptest::Narrow(TAMSEL_TEST_DATA) + "/../../../resources/English.ini";
    ASSERT_TRUE(::CopyFileW(testsupport::HostPath(source).c_str(), strLanguage.c_str(), FALSE));
    m_app.m_strLangFile = strLanguage.c_str();
    m_hWndHost = ::CreateWindowExW(0, L"Static", L"Backup test host", WS_POPUP | WS_VISIBLE, 0, 0, 560, 440, NULL,
                                   NULL, NULL, NULL);
    ASSERT_NE(m_hWndHost, (HWND)NULL);
}

void BackupPageTest::TearDown()
{
    if (m_hWndHost != NULL)
        ::DestroyWindow(m_hWndHost);
    ::WritePrivateProfileStringW(NULL, NULL, NULL, m_app.m_strLangFile);
    m_app.m_strLangFile.Empty();
}

void BackupPageTest::Click(CWnd& page, UINT nID)
{
    page.SendMessage(WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), (LPARAM)::GetDlgItem(page.m_hWnd, (int)nID));
}

void BackupPageTest::SelectRow(CListCtrl& list, int nRow)
{
    list.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (nRow >= 0)
        list.SetItemState(nRow, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}
