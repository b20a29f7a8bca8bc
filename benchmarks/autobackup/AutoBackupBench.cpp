// The automatic backup (export, archive, read-back check) against what a
// user would do by hand: Wine's "regedit /E" of the same key plus Info-ZIP's
// "zip -8" of the file.
//
// Builds the key of the registry export benchmark (100,000 values in 5,000
// subkeys under HKEY_CURRENT_USER\Software\TamselBench), chooses one key
// problem per subkey, and times WriteAutoBackup against regedit /E of the
// parent key followed by zip -8, best of five each, taking turns at going
// first. regedit's process start counts, as a user pays for it; zip is
// timed inside the host shell. Target: a ratio of 1.10 or less.
//
// Run by hand under wine64 from the worktree (zip must be on the host):
//   cmake -S . -B build/x86_64 ... -DTAMSEL_BUILD_BENCHMARKS=ON
//   cmake --build build/x86_64 --target autobackup_bench
//   build/x86_64/wine-run.sh build/x86_64/bin/autobackup_bench.exe
#include "app/TamselApp.h"
#include "repair/AutoBackup.h"
#include "repair/Repair.h"

#include <shlwapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>

CTamselApp theApp;

namespace {

const wchar_t kBenchKey[] = L"Software\\TamselBench";
const wchar_t kBenchPath[] = L"HKEY_CURRENT_USER\\Software\\TamselBench";
const char kScratch[] = "/tmp/tamsel-autobackup-bench/";
const int kSubKeys = 5000;
const int kValuesPerKey = 20;
const int kRuns = 5;

std::wstring WinPath(const std::string& strUnix)
{
    std::wstring str = L"Z:";
    for (char c : strUnix)
        str += c == '/' ? L'\\' : (wchar_t)(unsigned char)c;
    return str;
}

double Seconds(LARGE_INTEGER start, LARGE_INTEGER end)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

bool FillBenchKey()
{
    HKEY hRoot = NULL;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kBenchKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hRoot, NULL) != ERROR_SUCCESS)
        return false;
    bool bOk = true;
    for (int nKey = 0; nKey < kSubKeys && bOk; ++nKey)
    {
        wchar_t szName[64];
        wsprintfW(szName, L"Vendor %04d", nKey);
        HKEY hKey = NULL;
        if (RegCreateKeyExW(hRoot, szName, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL) != ERROR_SUCCESS)
        {
            bOk = false;
            break;
        }
        for (int nValue = 0; nValue < kValuesPerKey && bOk; ++nValue)
        {
            wchar_t szValue[64], szText[160];
            wsprintfW(szValue, L"Value %02d", nValue);
            LONG nResult = ERROR_SUCCESS;
            switch (nValue % 4)
            {
            case 0:
                wsprintfW(szText, L"C:\\Program Files\\Vendor %04d\\Product \"%02d\"\\app.exe", nKey, nValue);
                nResult = RegSetValueExW(hKey, szValue, 0, REG_SZ, (const BYTE*)szText, (DWORD)(wcslen(szText) + 1) * 2);
                break;
            case 1:
            {
                DWORD dwData = (DWORD)(nKey * 131 + nValue);
                nResult = RegSetValueExW(hKey, szValue, 0, REG_DWORD, (const BYTE*)&dwData, 4);
                break;
            }
            case 2:
            {
                BYTE data[48];
                for (int i = 0; i < 48; ++i)
                    data[i] = (BYTE)(nKey + nValue * i);
                nResult = RegSetValueExW(hKey, szValue, 0, REG_BINARY, data, sizeof(data));
                break;
            }
            default:
                wsprintfW(szText, L"%%SystemRoot%%\\system32\\vendor%04d_%02d.dll", nKey, nValue);
                nResult = RegSetValueExW(hKey, szValue, 0, REG_EXPAND_SZ, (const BYTE*)szText, (DWORD)(wcslen(szText) + 1) * 2);
                break;
            }
            bOk = nResult == ERROR_SUCCESS;
        }
        RegCloseKey(hKey);
    }
    RegCloseKey(hRoot);
    return bOk;
}

std::string ReadSmallFile(const std::wstring& strPath)
{
    std::string text;
    HANDLE h = CreateFileW(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return text;
    char buf[256];
    DWORD dwRead = 0;
    if (ReadFile(h, buf, sizeof(buf), &dwRead, NULL))
        text.assign(buf, dwRead);
    CloseHandle(h);
    return text;
}

// Runs a command in the host's /bin/sh; its exit code through a marker file
// (Wine does not hand back a Unix program's exit code).
int RunHost(const std::string& strCommand)
{
    std::string strMarker = "/tmp/tamsel-autobackup-bench.rc";
    std::wstring strMarkerWin = WinPath(strMarker);
    DeleteFileW(strMarkerWin.c_str());
    std::string script = "PATH=/usr/local/bin:/usr/bin:/bin; ( " + strCommand + " ) >/dev/null 2>&1; echo $? > "
        + strMarker + ".tmp; mv " + strMarker + ".tmp " + strMarker;
    std::wstring cmd = L"Z:\\bin\\sh -c \"";
    for (char c : script)
    {
        if (c == '"' || c == '\\')
            cmd += L'\\';
        cmd += (wchar_t)(unsigned char)c;
    }
    cmd += L"\"";
    std::vector<wchar_t> buf(cmd.begin(), cmd.end());
    buf.push_back(0);
    STARTUPINFOW si = { sizeof(si) };
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(NULL, buf.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return -1;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    for (int i = 0; i < 60000 && GetFileAttributesW(strMarkerWin.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(5);
    std::string text = ReadSmallFile(strMarkerWin);
    DeleteFileW(strMarkerWin.c_str());
    return text.empty() ? -1 : atoi(text.c_str());
}

bool ExportWithRegedit(const std::wstring& strFile)
{
    std::wstring command = L"regedit.exe /E \"" + strFile + L"\" \"" + kBenchPath + L"\"";
    std::vector<wchar_t> buffer(command.begin(), command.end());
    buffer.push_back(0);
    STARTUPINFOW si = { sizeof(si) };
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(NULL, buffer.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return false;
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD dwExit = 1;
    GetExitCodeProcess(pi.hProcess, &dwExit);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return dwExit == 0;
}

// regedit /E, then zip -8 timed inside the shell; -1 on failure.
double RunPeer()
{
    std::string strReg = std::string(kScratch) + "peer.reg";
    std::string strZip = std::string(kScratch) + "peer.zip";
    std::string strTime = std::string(kScratch) + "zip-ns.txt";
    DeleteFileW(WinPath(strZip).c_str());
    LARGE_INTEGER t0, t1;
    QueryPerformanceCounter(&t0);
    bool bOk = ExportWithRegedit(WinPath(strReg));
    QueryPerformanceCounter(&t1);
    if (!bOk)
        return -1;
    std::string strCommand = "s=$(date +%s%N); zip -8 -q -j " + strZip + " " + strReg + " || exit 1; e=$(date +%s%N); echo $((e-s)) > " + strTime;
    if (RunHost(strCommand) != 0)
        return -1;
    double dZip = _atoi64(ReadSmallFile(WinPath(strTime)).c_str()) / 1e9;
    return Seconds(t0, t1) + dZip;
}

double RunOurs(CTamselApp* pApp, LONGLONG& llArchiveSize)
{
    CAutoBackup backup;
    LARGE_INTEGER t0, t1;
    QueryPerformanceCounter(&t0);
    BOOL bOk = WriteAutoBackup(pApp, backup);
    QueryPerformanceCounter(&t1);
    if (!bOk || backup.m_strArchive.IsEmpty())
    {
        printf("WriteAutoBackup failed: %ls\n", (LPCWSTR)backup.m_strError);
        return -1;
    }
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (GetFileAttributesExW(backup.m_strArchive, GetFileExInfoStandard, &data))
        llArchiveSize = ((LONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow;
    // The next run must not wait for a free name.
    DeleteFileW(backup.m_strArchive);
    return Seconds(t0, t1);
}

} // namespace

int wmain()
{
    if (RunHost(std::string("rm -rf ") + kScratch + " && mkdir -p " + kScratch + "app") != 0 &&
        GetFileAttributesW(WinPath(kScratch).c_str()) == INVALID_FILE_ATTRIBUTES)
    {
        printf("FAILED: the scratch folder %s could not be made\n", kScratch);
        return 1;
    }
    if (RunHost("command -v zip") != 0)
    {
        printf("FAILED: zip is needed on the host\n");
        return 1;
    }
    CTamselApp* pApp = &theApp;
    pApp->m_strAppDir = WinPath(std::string(kScratch) + "app/").c_str();
    pApp->m_strSettingsFile = pApp->m_strAppDir + L"Settings.ini";

    SHDeleteKeyW(HKEY_CURRENT_USER, kBenchKey);
    printf("Building %d values in %d subkeys...\n", kSubKeys * kValuesPerKey, kSubKeys);
    if (!FillBenchKey())
    {
        printf("FAILED: the benchmark key could not be built\n");
        SHDeleteKeyW(HKEY_CURRENT_USER, kBenchKey);
        return 1;
    }
    CArray<CRegProblem>& list = RepairListOf(pApp, 15);
    for (int nKey = 0; nKey < kSubKeys; ++nKey)
    {
        CRegProblem problem;
        problem.m_bValue = 0;
        problem.m_strKey.Format(L"%s\\Vendor %04d", kBenchKey, nKey);
        problem.m_strKeyPath = CString(L"HKEY_CURRENT_USER\\") + problem.m_strKey;
        problem.m_nKind = 1;
        list.Add(problem);
    }

    double dOurs = 1e9, dPeer = 1e9;
    LONGLONG llOurSize = 0;
    bool bOk = true;
    for (int nRun = 0; nRun < kRuns && bOk; ++nRun)
    {
        double dRunOurs = 0, dRunPeer = 0;
        for (int nTurn = 0; nTurn < 2 && bOk; ++nTurn)
        {
            bool bOurs = (nTurn == 0) == (nRun % 2 == 0);
            double d = bOurs ? RunOurs(pApp, llOurSize) : RunPeer();
            bOk = d >= 0;
            (bOurs ? dRunOurs : dRunPeer) = d;
        }
        if (!bOk)
            break;
        if (dRunOurs < dOurs)
            dOurs = dRunOurs;
        if (dRunPeer < dPeer)
            dPeer = dRunPeer;
        printf("run %d: WriteAutoBackup %.3f s, regedit /E + zip -8 %.3f s\n", nRun + 1, dRunOurs, dRunPeer);
    }
    SHDeleteKeyW(HKEY_CURRENT_USER, kBenchKey);
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    LONGLONG llPeerSize = 0;
    if (GetFileAttributesExW(WinPath(std::string(kScratch) + "peer.zip").c_str(), GetFileExInfoStandard, &data))
        llPeerSize = ((LONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow;
    RunHost(std::string("rm -rf ") + kScratch);
    if (!bOk)
    {
        printf("FAILED: a run did not complete\n");
        return 1;
    }
    printf("WriteAutoBackup (with read-back check): %.3f s (best of %d), archive %lld bytes\n", dOurs, kRuns, llOurSize);
    printf("regedit /E + zip -8:                    %.3f s (best of %d), archive %lld bytes\n", dPeer, kRuns, llPeerSize);
    printf("ratio WriteAutoBackup / (regedit /E + zip -8): %.2f (target <= 1.10: %s)\n", dOurs / dPeer,
           dOurs <= 1.10 * dPeer ? "met" : "NOT met");
    return 0;
}
