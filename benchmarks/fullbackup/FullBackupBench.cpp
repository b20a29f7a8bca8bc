// Full registry backup and restore against Wine's own tools.
//
// Seeds HKEY_LOCAL_MACHINE\Software and HKEY_CURRENT_USER\Software with the
// key of 100,000 values in 5,000 subkeys that the export benchmark uses, then
// times (best of five runs, taking turns at going first):
//   backup:  CFullBackupJob::Backup (export of both hives, zip, read-back check)
//            against "regedit /E" of HKEY_LOCAL_MACHINE and of HKEY_USERS plus
//            "zip -8" of both files (process starts included);
//   restore: CFullBackupJob::Restore of the archive against "regedit /S" of the
//            same .reg file.
// Prints the times and their ratios, then removes the keys. Target for the
// backup: a ratio of 1.10 or less.
//
// Run by hand under wine64 from the worktree:
//   scripts/build.sh x86_64 -DTAMSEL_BUILD_BENCHMARKS=ON
//   export WINEPREFIX=/tmp/tamsel-bench WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
//   wine64 wineboot -i
//   wineserver -p
//   wine64 build/x86_64/bin/fullbackup_bench.exe
//   wineserver -k
#include "repair/FullBackupJob.h"
#include "services/ZipReader.h"

#include <shlwapi.h>
#include <stdio.h>
#include <string>
#include <vector>

namespace {

const wchar_t kBenchKey[] = L"Software\\TamselBench";
const int kSubKeys = 5000;
const int kValuesPerKey = 20;
const int kRuns = 5;

double Seconds(LARGE_INTEGER start, LARGE_INTEGER end)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

bool FillBenchKey(HKEY hHive)
{
    HKEY hRoot = NULL;
    if (RegCreateKeyExW(hHive, kBenchKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hRoot, NULL) != ERROR_SUCCESS)
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

// Starts a program and waits for it; its exit code, or -1.
int Run(const std::wstring& command)
{
    std::vector<wchar_t> buffer(command.begin(), command.end());
    buffer.push_back(0);
    STARTUPINFOW si = { sizeof(si) };
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(NULL, buffer.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return -1;
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD dwExit = (DWORD)-1;
    GetExitCodeProcess(pi.hProcess, &dwExit);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return (int)dwExit;
}

// A Linux command through /bin/sh; Wine does not pass its exit code back, so
// the command leaves it in a marker file, which is polled.
bool RunHost(const std::string& strUnixDir, const std::string& strCommand)
{
    std::string strMarker = strUnixDir + "host.rc";
    std::wstring markerWin = L"Z:";
    for (char c : strMarker)
        markerWin += c == '/' ? L'\\' : (wchar_t)c;
    DeleteFileW(markerWin.c_str());
    std::string script = "( " + strCommand + " ) >/dev/null 2>&1; echo $? > " + strMarker + ".tmp; mv " + strMarker +
                         ".tmp " + strMarker;
    std::wstring cmd = L"Z:\\bin\\sh -c \"";
    for (char c : script)
    {
        if (c == '"' || c == '\\')
            cmd += L'\\';
        cmd += (wchar_t)(unsigned char)c;
    }
    cmd += L"\"";
    Run(cmd);
    for (int i = 0; i < 120000 && GetFileAttributesW(markerWin.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(1);
    HANDLE hFile = CreateFileW(markerWin.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    char szText[16] = "";
    DWORD dwRead = 0;
    if (hFile != INVALID_HANDLE_VALUE)
    {
        ReadFile(hFile, szText, sizeof(szText) - 1, &dwRead, NULL);
        CloseHandle(hFile);
    }
    DeleteFileW(markerWin.c_str());
    return dwRead > 0 && szText[0] == '0';
}

std::wstring Win(const std::string& strUnix)
{
    std::wstring result = L"Z:";
    for (char c : strUnix)
        result += c == '/' ? L'\\' : (wchar_t)(unsigned char)c;
    return result;
}

void DeleteFolderFiles(const std::wstring& strFolder)
{
    WIN32_FIND_DATAW fd;
    HANDLE hFind = FindFirstFileW((strFolder + L"*").c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do
    {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileW((strFolder + fd.cFileName).c_str());
    } while (FindNextFileW(hFind, &fd));
    FindClose(hFind);
}

} // namespace

int main()
{
    std::string strUnix = "/tmp/tamsel-fullbench-" + std::to_string(GetCurrentProcessId()) + "/";
    std::wstring strDir = Win(strUnix);
    std::wstring strOurs = strDir + L"ours\\";
    CreateDirectoryW(strDir.c_str(), NULL);
    CreateDirectoryW(strOurs.c_str(), NULL);

    SHDeleteKeyW(HKEY_LOCAL_MACHINE, kBenchKey);
    SHDeleteKeyW(HKEY_CURRENT_USER, kBenchKey);
    printf("Building %d values in %d subkeys under HKLM and HKCU...\n", kSubKeys * kValuesPerKey, kSubKeys);
    if (!FillBenchKey(HKEY_LOCAL_MACHINE) || !FillBenchKey(HKEY_CURRENT_USER))
    {
        printf("FAILED: the benchmark keys could not be built\n");
        SHDeleteKeyW(HKEY_LOCAL_MACHINE, kBenchKey);
        SHDeleteKeyW(HKEY_CURRENT_USER, kBenchKey);
        return 1;
    }

    double dOurs = 1e9, dPeer = 1e9;
    bool bOk = true;
    CString strArchive;
    for (int nRun = 0; nRun < kRuns && bOk; ++nRun)
    {
        double dRunOurs = 0, dRunPeer = 0;
        for (int nTurn = 0; nTurn < 2 && bOk; ++nTurn)
        {
            bool bOurs = (nTurn == 0) == (nRun % 2 == 0);
            LARGE_INTEGER t0, t1;
            if (bOurs)
            {
                DeleteFolderFiles(strOurs);
                CFullBackupJob job;
                QueryPerformanceCounter(&t0);
                bOk = job.Backup(strOurs.c_str()) != FALSE;
                QueryPerformanceCounter(&t1);
                strArchive = job.m_strArchive;
                dRunOurs = Seconds(t0, t1);
            }
            else
            {
                DeleteFileW((strDir + L"peer.zip").c_str());
                QueryPerformanceCounter(&t0);
                bOk = Run(L"regedit.exe /E \"" + strDir + L"hklm.reg\" HKEY_LOCAL_MACHINE") == 0 &&
                      Run(L"regedit.exe /E \"" + strDir + L"hku.reg\" HKEY_USERS") == 0 &&
                      RunHost(strUnix, "cd '" + strUnix + "' && PATH=/usr/local/bin:/usr/bin:/bin zip -q -8 peer.zip hklm.reg hku.reg");
                QueryPerformanceCounter(&t1);
                dRunPeer = Seconds(t0, t1);
            }
        }
        if (dRunOurs < dOurs)
            dOurs = dRunOurs;
        if (dRunPeer < dPeer)
            dPeer = dRunPeer;
        printf("backup run %d: ours %.3f s, regedit /E x2 + zip -8 %.3f s\n", nRun + 1, dRunOurs, dRunPeer);
    }

    // Restore: the archive just made, and the same .reg through regedit /S.
    double dRestore = 1e9, dPeerRestore = 1e9;
    std::wstring strReg = strDir + L"full.reg";
    if (bOk)
    {
        ZipHandle hZip = OpenZipArchive((LPCWSTR)strArchive, 0, ZipKindFile);
        bOk = hZip != NULL && ExtractZipArchiveItem(hZip, 0, strReg.c_str(), 0, ZipKindFile) == ZipOk;
        CloseZipReader(hZip);
    }
    for (int nRun = 0; nRun < kRuns && bOk; ++nRun)
    {
        double dRunOurs = 0, dRunPeer = 0;
        for (int nTurn = 0; nTurn < 2; ++nTurn)
        {
            bool bOurs = (nTurn == 0) == (nRun % 2 == 0);
            LARGE_INTEGER t0, t1;
            QueryPerformanceCounter(&t0);
            if (bOurs)
            {
                CFullBackupJob job;
                if (!job.Restore(strArchive, strOurs.c_str()))
                    printf("  (restore reported: partial %d, import result %lu)\n", job.m_bPartial,
                           (unsigned long)job.m_dwImportResult);
            }
            else
                Run(L"regedit.exe /S \"" + strReg + L"\"");
            QueryPerformanceCounter(&t1);
            (bOurs ? dRunOurs : dRunPeer) = Seconds(t0, t1);
        }
        if (dRunOurs < dRestore)
            dRestore = dRunOurs;
        if (dRunPeer < dPeerRestore)
            dPeerRestore = dRunPeer;
        printf("restore run %d: ours %.3f s, regedit /S %.3f s\n", nRun + 1, dRunOurs, dRunPeer);
    }

    SHDeleteKeyW(HKEY_LOCAL_MACHINE, kBenchKey);
    SHDeleteKeyW(HKEY_CURRENT_USER, kBenchKey);
    RunHost("/tmp/", "rm -rf '" + strUnix + "'");
    if (!bOk)
    {
        printf("FAILED: a backup did not complete\n");
        return 1;
    }
    printf("full backup:  ours %.3f s, peers %.3f s (best of %d)\n", dOurs, dPeer, kRuns);
    printf("ratio full backup / (regedit /E x2 + zip -8): %.2f (target <= 1.10: %s)\n", dOurs / dPeer,
           dOurs <= 1.10 * dPeer ? "met" : "NOT met");
    printf("full restore: ours %.3f s, regedit /S %.3f s (best of %d)\n", dRestore, dPeerRestore, kRuns);
    printf("ratio full restore / regedit /S: %.2f\n", dRestore / dPeerRestore);
    return 0;
}
