// The Internet Explorer repairs against Wine's own reg.exe: exports of
// HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE\Software taken before and after a
// Restore of every row differ by exactly what the nine repairs do. On 64-bit
// Windows the machine keys are exported from the 64-bit view, which shows
// the 32-bit view's keys under Wow6432Node: both Internet Explorers' keys.
#include "app/TamselApp.h"
#include "scanner/KeyReader.h"
#include "services/RegKeyTarget.h"
#include "services/RegTreeDelete.h"
#include "tools/IeRestorePage.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TestSupport.h"
#include "tests/tools/IeRestoreKeys.h"
#include "tests/tools/ToolTestSupport.h"

#include <gtest/gtest.h>
#include <shlwapi.h>
#include <algorithm>
#include <map>
#include <memory>
#include <set>

using namespace ierestoretest;
using namespace tooltest;
using testsupport::MessageBoxRecorder;
using testsupport::ScratchFolder;

namespace {

const wchar_t kUserMain[] = L"Software\\Microsoft\\Internet Explorer\\Main";
const wchar_t kIePolicies[] = L"Software\\Policies\\Microsoft\\Internet Explorer";
const wchar_t kStartLink[] = L"\"http://go.microsoft.com/fwlink/?LinkId=69157\"";
const wchar_t kSearchLink[] = L"\"http://go.microsoft.com/fwlink/?LinkId=54896\"";

// key (upper case) -> value name (upper case, "" for the default) -> data as written
typedef std::map<std::wstring, std::map<std::wstring, std::wstring>> RegTree;

std::wstring Upper(std::wstring str)
{
    std::transform(str.begin(), str.end(), str.begin(), [](wchar_t ch) { return (wchar_t)towupper(ch); });
    return str;
}

// The text of a registry-editor file as reg.exe writes it: UTF-16LE, a
// byte-order mark, CR LF lines, hex data continued with ",\".
bool ParseRegFile(const std::wstring& strPath, RegTree& tree)
{
    std::string bytes = testsupport::ReadFileBytes(strPath);
    if (bytes.size() < 2 || (unsigned char)bytes[0] != 0xFF || (unsigned char)bytes[1] != 0xFE)
        return false;
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    memcpy(&text[0], bytes.data() + 2, text.size() * 2);
    std::vector<std::wstring> lines;
    size_t nStart = 0;
    while (nStart < text.size())
    {
        size_t nEnd = text.find(L'\n', nStart);
        if (nEnd == std::wstring::npos)
            nEnd = text.size();
        std::wstring line = text.substr(nStart, nEnd - nStart);
        if (!line.empty() && line.back() == L'\r')
            line.pop_back();
        lines.push_back(line);
        nStart = nEnd + 1;
    }
    std::map<std::wstring, std::wstring>* pKey = NULL;
    for (size_t i = 0; i < lines.size(); i++)
    {
        std::wstring line = lines[i];
        if (line.empty())
            continue;
        if (line[0] == L'[' && line.back() == L']')
        {
            pKey = &tree[Upper(line.substr(1, line.size() - 2))];
            continue;
        }
        if (pKey == NULL || (line[0] != L'"' && line[0] != L'@'))
            continue;
        std::wstring strName;
        size_t nPos = 0;
        if (line[0] == L'@')
            nPos = 1;
        else
        {
            for (nPos = 1; nPos < line.size() && line[nPos] != L'"'; nPos++)
            {
                if (line[nPos] == L'\\' && nPos + 1 < line.size())
                    nPos++;
                strName += line[nPos];
            }
            nPos++;
        }
        if (nPos >= line.size() || line[nPos] != L'=')
            return false;
        std::wstring strData = line.substr(nPos + 1);
        // Hex data goes on over lines ending in a backslash.
        while (!strData.empty() && strData.back() == L'\\' && strData.compare(0, 3, L"hex") == 0 &&
               i + 1 < lines.size())
        {
            strData.pop_back();
            std::wstring next = lines[++i];
            next.erase(0, next.find_first_not_of(L' '));
            strData += next;
        }
        (*pKey)[Upper(strName)] = strData;
    }
    return true;
}

// Lines "+[key]", "-[key]", "+key|name=data", "-key|name", "~key|name=data"
// (the new data), sorted.
std::set<std::wstring> Difference(const RegTree& before, const RegTree& after)
{
    std::set<std::wstring> lines;
    for (const auto& key : before)
    {
        auto it = after.find(key.first);
        if (it == after.end())
        {
            lines.insert(L"-[" + key.first + L"]");
            continue;
        }
        for (const auto& value : key.second)
        {
            auto itValue = it->second.find(value.first);
            if (itValue == it->second.end())
                lines.insert(L"-" + key.first + L"|" + value.first);
            else if (itValue->second != value.second)
                lines.insert(L"~" + key.first + L"|" + value.first + L"=" + itValue->second);
        }
        for (const auto& value : it->second)
        {
            if (key.second.find(value.first) == key.second.end())
                lines.insert(L"+" + key.first + L"|" + value.first + L"=" + value.second);
        }
    }
    for (const auto& key : after)
    {
        if (before.find(key.first) != before.end())
            continue;
        lines.insert(L"+[" + key.first + L"]");
        for (const auto& value : key.second)
            lines.insert(L"+" + key.first + L"|" + value.first + L"=" + value.second);
    }
    return lines;
}

std::wstring Join(const std::set<std::wstring>& lines)
{
    std::wstring text;
    for (const std::wstring& line : lines)
        text += line + L"\n";
    return text;
}

int RegExe(const std::wstring& strArguments)
{
    return RunWindowsProgram(L"reg.exe " + strArguments, 180000);
}

// The views the machine keys are planted in and repaired in: each Internet
// Explorer's on 64-bit Windows, the one view elsewhere.
std::vector<REGSAM> MachineViews()
{
    if (!HasTwoRegistryViews())
        return {0};
    return {KEY_WOW64_64KEY, KEY_WOW64_32KEY};
}

// reg.exe's switch for a view ("" for the process's own).
std::wstring ViewSwitch(REGSAM samView)
{
    if (samView == KEY_WOW64_64KEY)
        return L" /reg:64";
    if (samView == KEY_WOW64_32KEY)
        return L" /reg:32";
    return L"";
}

// The view the machine exports are taken in: the 64-bit one where there are two.
REGSAM ExportView()
{
    return HasTwoRegistryViews() ? KEY_WOW64_64KEY : 0;
}

// How a key of that view ("SOFTWARE\...") is named in an export of ExportView().
std::wstring ExportedName(const std::wstring& strKey, REGSAM samView)
{
    if (samView != KEY_WOW64_32KEY)
        return strKey;
    return strKey.substr(0, 9) + L"Wow6432Node\\" + strKey.substr(9);
}

// Whether the 32-bit view's hRoot\strKey is a key of its own rather than the
// 64-bit view's under a second name (absent counts as its own).
bool OwnKeyIn32BitView(HKEY hRoot, const std::wstring& strKey)
{
    CKeyReader key64, key32;
    if (key32.Open(hRoot, strKey.c_str(), KEY_WOW64_32KEY) != ERROR_SUCCESS ||
        key64.Open(hRoot, strKey.c_str(), KEY_WOW64_64KEY) != ERROR_SUCCESS)
        return true;
    return key32.GetObjectName().CompareNoCase(key64.GetObjectName()) != 0;
}

void PlantValue(HKEY hRoot, const std::wstring& strKey, const std::wstring& strName, DWORD dwType, const Bytes& data,
                REGSAM samView)
{
    HKEY hKey = NULL;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExW(hRoot, strKey.c_str(), 0, NULL, 0, KEY_SET_VALUE | samView, NULL, &hKey, NULL));
    LONG nResult = RegSetValueExW(hKey, strName.c_str(), 0, dwType, data.data(), (DWORD)data.size());
    RegCloseKey(hKey);
    ASSERT_EQ(ERROR_SUCCESS, nResult);
}

// The keys the test plants in and the repairs write to, put back as they
// were afterwards (exported with reg.exe, deleted, imported again).
class KeysKeeper
{
public:
    explicit KeysKeeper(const ScratchFolder& folder) : m_folder(folder) {}
    // samView: the view the key is kept in (0: the process's own).
    bool Keep(const std::wstring& strRootName, HKEY hRoot, const std::wstring& strKey, REGSAM samView = 0)
    {
        Kept kept = {hRoot, strKey, samView, m_folder.File(L"kept" + std::to_wstring(m_kept.size()) + L".reg"), false};
        HKEY hKey = NULL;
        if (RegOpenKeyExW(hRoot, strKey.c_str(), 0, KEY_READ | samView, &hKey) == ERROR_SUCCESS)
        {
            RegCloseKey(hKey);
            if (RegExe(L"export \"" + strRootName + L"\\" + strKey + L"\" \"" + kept.strFile + L"\" /y" +
                       ViewSwitch(samView)) != 0)
                return false;
            kept.bExisted = true;
        }
        m_kept.push_back(kept);
        return true;
    }
    ~KeysKeeper()
    {
        for (auto it = m_kept.rbegin(); it != m_kept.rend(); ++it)
        {
            DeleteRegTree(it->hRoot, it->strKey.c_str(), it->samView, NULL);
            if (it->bExisted)
                RegExe(L"import \"" + it->strFile + L"\"" + ViewSwitch(it->samView));
        }
    }

private:
    struct Kept
    {
        HKEY hRoot;
        std::wstring strKey;
        REGSAM samView;
        std::wstring strFile;
        bool bExisted;
    };
    const ScratchFolder& m_folder;
    std::vector<Kept> m_kept;
};

class HostWnd : public CWnd
{
};

} // namespace

TEST(IeRestorePeer, ExportsDifferByTheRepairsOnly)
{
    ScratchFolder folder;
    wchar_t szReg[MAX_PATH] = {};
    if (SearchPathW(NULL, L"reg.exe", NULL, MAX_PATH, szReg, NULL) == 0)
        TAMSEL_PEER_MISSING("Wine's reg.exe");

    CTamselApp* pApp = static_cast<CTamselApp*>(AfxGetApp());
    ASSERT_TRUE(pApp != NULL);
    std::wstring strLang = folder.File(L"English.ini");
    WritePrivateProfileStringW(L"String", L"M_IERESTORE", L"IE Restore Finished!", strLang.c_str());
    pApp->m_strLangFile = strLang.c_str();
    // The window first, so that nothing it may write falls between the exports.
    HostWnd host;
    LPCTSTR lpszClass = AfxRegisterWndClass(0, ::LoadCursorW(NULL, IDC_ARROW), (HBRUSH)(COLOR_WINDOW + 1));
    ASSERT_TRUE(host.CreateEx(0, lpszClass, L"IE host", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, NULL, NULL));
    std::unique_ptr<CIeRestorePage> pPage(new CIeRestorePage());
    ASSERT_TRUE(pPage->Create(413, &host));
    pPage->ShowWindow(SW_SHOW);

    {
        KeysKeeper keeper(folder);
        // The machine keys in each view, once where the views share them.
        for (REGSAM samView : MachineViews())
        {
            for (const wchar_t* pszKey : {kIeMain, L"Software\\Policies"})
            {
                if (samView != KEY_WOW64_32KEY || OwnKeyIn32BitView(HKEY_LOCAL_MACHINE, pszKey))
                    ASSERT_TRUE(keeper.Keep(L"HKLM", HKEY_LOCAL_MACHINE, pszKey, samView));
            }
        }
        ASSERT_TRUE(keeper.Keep(L"HKCU", HKEY_CURRENT_USER, kUserMain));
        ASSERT_TRUE(keeper.Keep(L"HKCU", HKEY_CURRENT_USER, kSystem));
        ASSERT_TRUE(keeper.Keep(L"HKCU", HKEY_CURRENT_USER, L"Software\\Policies"));
        ASSERT_TRUE(keeper.Keep(L"HKCU", HKEY_CURRENT_USER, kMenuExt));
        ASSERT_TRUE(keeper.Keep(L"HKCU", HKEY_CURRENT_USER, kTypedUrls));
        ASSERT_TRUE(keeper.Keep(L"HKCU", HKEY_CURRENT_USER, kToolbar));

        // Something for every repair to change, in each view each Internet
        // Explorer reads; the HKLM Restrictions key is missing, so repair 4
        // creates it.
        for (REGSAM samView : MachineViews())
        {
            ASSERT_NO_FATAL_FAILURE(PlantValue(HKEY_LOCAL_MACHINE, kIeMain, L"Start Page", REG_SZ,
                                               TextBytes(L"http://planted.example/start"), samView));
            ASSERT_NO_FATAL_FAILURE(PlantValue(HKEY_LOCAL_MACHINE, kIeMain, L"Default_Page_URL", REG_SZ,
                                               TextBytes(L"http://planted.example/default"), samView));
            ASSERT_NO_FATAL_FAILURE(PlantValue(HKEY_LOCAL_MACHINE, kIeMain, L"Search Page", REG_SZ,
                                               TextBytes(L"http://planted.example/search"), samView));
            ASSERT_NO_FATAL_FAILURE(PlantValue(HKEY_LOCAL_MACHINE, kIeMain, L"Default_Search_URL", REG_SZ,
                                               TextBytes(L"http://planted.example/dsearch"), samView));
            ASSERT_NO_FATAL_FAILURE(
                PlantValue(HKEY_LOCAL_MACHINE, kControlPanel, L"HomePage", REG_DWORD, {1, 0, 0, 0}, samView));
            ASSERT_NO_FATAL_FAILURE(PlantValue(HKEY_LOCAL_MACHINE, std::wstring(kControlPanel) + L"\\Sub", L"x", REG_SZ,
                                               TextBytes(L"y"), samView));
            DeleteRegTree(HKEY_LOCAL_MACHINE, kRestrictions, samView, NULL);
        }
        SetText(HKEY_CURRENT_USER, kUserMain, L"Start Page", L"http://planted.example/ustart");
        SetText(HKEY_CURRENT_USER, kUserMain, L"Search Page", L"http://planted.example/usearch");
        SetValue(HKEY_CURRENT_USER, kSystem, L"DisableRegistryTools", REG_DWORD, {1, 0, 0, 0});
        SetText(HKEY_CURRENT_USER, kSystem, L"Other", L"kept");
        SetValue(HKEY_CURRENT_USER, kRestrictions, L"NoBrowserContextMenu", REG_DWORD, {1, 0, 0, 0});
        SetValue(HKEY_CURRENT_USER, kRestrictions, L"NoPrinting", REG_DWORD, {1, 0, 0, 0});
        SetText(HKEY_CURRENT_USER, std::wstring(kMenuExt) + L"\\Add to Foo", L"", L"res://foo");
        SetText(HKEY_CURRENT_USER, kTypedUrls, L"url1", L"http://example.org/");
        SetText(HKEY_CURRENT_USER, kToolbar, L"LinksFolderName", L"Linky");
        SetText(HKEY_CURRENT_USER, kToolbar, L"Other", L"kept");

        const std::wstring strUserBefore = folder.File(L"hkcu-before.reg"), strUserAfter = folder.File(L"hkcu-after.reg");
        const std::wstring strMachineBefore = folder.File(L"hklm-before.reg"),
                           strMachineAfter = folder.File(L"hklm-after.reg");
        ASSERT_EQ(RegExe(L"export HKCU \"" + strUserBefore + L"\" /y"), 0);
        ASSERT_EQ(RegExe(L"export \"HKLM\\Software\" \"" + strMachineBefore + L"\" /y" + ViewSwitch(ExportView())), 0);
        MessageBoxRecorder boxes;
        for (int i = 0; i < pPage->GetList().GetItemCount(); i++)
            EXPECT_EQ(pPage->GetList().GetCheckbox(i, 0), 2) << i;
        pPage->OnRestore();
        EXPECT_EQ(boxes.LastText(), L"IE Restore Finished!");
        ASSERT_EQ(RegExe(L"export HKCU \"" + strUserAfter + L"\" /y"), 0);
        ASSERT_EQ(RegExe(L"export \"HKLM\\Software\" \"" + strMachineAfter + L"\" /y" + ViewSwitch(ExportView())), 0);

        RegTree userBefore, userAfter, machineBefore, machineAfter;
        ASSERT_TRUE(ParseRegFile(strUserBefore, userBefore));
        ASSERT_TRUE(ParseRegFile(strUserAfter, userAfter));
        ASSERT_TRUE(ParseRegFile(strMachineBefore, machineBefore));
        ASSERT_TRUE(ParseRegFile(strMachineAfter, machineAfter));
        ASSERT_GT(machineBefore.size(), 100u);

        const std::wstring hkcu = L"HKEY_CURRENT_USER\\", hklm = L"HKEY_LOCAL_MACHINE\\";
        auto key = [](const std::wstring& strRoot, const std::wstring& strKey) { return Upper(strRoot + strKey); };
        std::set<std::wstring> expectedUser = {
            L"~" + key(hkcu, kUserMain) + L"|START PAGE=" + kStartLink,
            L"~" + key(hkcu, kUserMain) + L"|SEARCH PAGE=" + kSearchLink,
            // The editor is enabled by removing the policy value alone.
            L"-" + key(hkcu, kSystem) + L"|DISABLEREGISTRYTOOLS",
            L"-" + key(hkcu, kRestrictions) + L"|NOBROWSERCONTEXTMENU",
            L"-" + key(hkcu, kRestrictions) + L"|NOPRINTING",
            L"-[" + key(hkcu, kMenuExt) + L"\\ADD TO FOO]",
            L"-" + key(hkcu, kTypedUrls) + L"|URL1",
            L"~" + key(hkcu, kToolbar) + L"|LINKSFOLDERNAME=\"Links\"",
        };
        // Each Internet Explorer's Main key changes; where the 32-bit view
        // keeps its own, the export shows it under Wow6432Node.
        std::set<std::wstring> expectedMachine;
        for (REGSAM samView : MachineViews())
        {
            std::wstring strMain = ExportedName(kIeMain, samView);
            ASSERT_NE(machineBefore.find(key(hklm, strMain)), machineBefore.end()) << "not in the export: " << strMain;
            expectedMachine.insert(L"~" + key(hklm, strMain) + L"|START PAGE=" + kStartLink);
            expectedMachine.insert(L"~" + key(hklm, strMain) + L"|DEFAULT_PAGE_URL=" + kStartLink);
            expectedMachine.insert(L"~" + key(hklm, strMain) + L"|SEARCH PAGE=" + kSearchLink);
            expectedMachine.insert(L"~" + key(hklm, strMain) + L"|DEFAULT_SEARCH_URL=" + kSearchLink);
            // A policy key the views share shows under Wow6432Node only where
            // the system links it there (Wine does): then each change shows
            // under both names.
            std::wstring strPolicies = ExportedName(L"Software\\Policies\\Microsoft\\Internet Explorer\\", samView);
            if (samView == KEY_WOW64_32KEY && machineBefore.count(key(hklm, strPolicies + L"Control Panel")) == 0)
                continue;
            expectedMachine.insert(L"+[" + key(hklm, strPolicies + L"Restrictions") + L"]");
            expectedMachine.insert(L"-[" + key(hklm, strPolicies + L"Control Panel") + L"]");
            expectedMachine.insert(L"-[" + key(hklm, strPolicies + L"Control Panel\\Sub") + L"]");
        }
        // The planted policy parent stays; only the repairs' own keys change.
        EXPECT_NE(machineAfter.find(key(hklm, kIePolicies)), machineAfter.end());
        EXPECT_EQ(Join(Difference(userBefore, userAfter)), Join(expectedUser));
        EXPECT_EQ(Join(Difference(machineBefore, machineAfter)), Join(expectedMachine));
    }
    pPage.reset();
    host.DestroyWindow();
    pApp->m_strLangFile.Empty();
}
