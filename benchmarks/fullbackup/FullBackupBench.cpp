// Full registry backup and restore against Wine's own tools.
//
// Seeds HKEY_LOCAL_MACHINE\Software and HKEY_CURRENT_USER\Software with the
// key of 100,000 values in 5,000 subkeys that the export benchmark uses, then
// times (five runs, taking turns at going first; the regedit is the one of
// the program's own bitness, which sees the same registry view):
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
#include "benchmarks/support/BenchSupport.h"

#include <shlwapi.h>
#include <stdio.h>
#include <string>

using namespace benchsupport;

namespace {

const int kRuns = 5;

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
    std::wstring strDir = WinPath(strUnix);
    std::wstring strOurs = strDir + L"ours\\";
    CreateDirectoryW(strDir.c_str(), NULL);
    CreateDirectoryW(strOurs.c_str(), NULL);

    printf("fullbackup_bench: %s process\n", ProcessKind());
    SHDeleteKeyW(HKEY_LOCAL_MACHINE, kBenchKey);
    SHDeleteKeyW(HKEY_CURRENT_USER, kBenchKey);
    printf("Building %d values in %d subkeys under HKLM and HKCU...\n", kBenchSubKeys * kBenchValuesPerKey, kBenchSubKeys);
    if (!FillBenchKey(HKEY_LOCAL_MACHINE) || !FillBenchKey(HKEY_CURRENT_USER))
    {
        printf("FAILED: the benchmark keys could not be built\n");
        SHDeleteKeyW(HKEY_LOCAL_MACHINE, kBenchKey);
        SHDeleteKeyW(HKEY_CURRENT_USER, kBenchKey);
        return 1;
    }

    CString strArchive;
    auto backupOurs = [&] {
        DeleteFolderFiles(strOurs);
        CFullBackupJob job;
        LARGE_INTEGER t0 = Now();
        bool bOk = job.Backup(strOurs.c_str()) != FALSE;
        double dSeconds = SecondsSince(t0);
        strArchive = job.m_strArchive;
        return bOk ? dSeconds : -1;
    };
    auto backupPeer = [&] {
        DeleteFileW((strDir + L"peer.zip").c_str());
        return Timed([&] {
            return RunProgram(OwnRegedit() + L" /E \"" + strDir + L"hklm.reg\" HKEY_LOCAL_MACHINE") == 0 &&
                   RunProgram(OwnRegedit() + L" /E \"" + strDir + L"hku.reg\" HKEY_USERS") == 0 &&
                   RunHost("cd '" + strUnix + "' && zip -q -8 peer.zip hklm.reg hku.reg") == 0;
        });
    };
    BestTimes backup = TimeInTurns(kRuns, "backup run", "ours", backupOurs, "regedit /E x2 + zip -8", backupPeer);
    bool bOk = backup.bOk;

    // Restore: the archive just made, and the same .reg through regedit /S.
    std::wstring strReg = strDir + L"full.reg";
    if (bOk)
    {
        ZipHandle hZip = OpenZipArchive((LPCWSTR)strArchive, 0, ZipKindFile);
        bOk = hZip != NULL && ExtractZipArchiveItem(hZip, 0, strReg.c_str(), 0, ZipKindFile) == ZipOk;
        CloseZipReader(hZip);
    }
    BestTimes restore;
    if (bOk)
    {
        auto restoreOurs = [&] {
            LARGE_INTEGER t0 = Now();
            CFullBackupJob job;
            if (!job.Restore(strArchive, strOurs.c_str()))
                printf("  (restore reported: partial %d, import result %lu)\n", job.m_bPartial,
                       (unsigned long)job.m_dwImportResult);
            return SecondsSince(t0);
        };
        auto restorePeer = [&] {
            LARGE_INTEGER t0 = Now();
            RunProgram(OwnRegedit() + L" /S \"" + strReg + L"\"");
            return SecondsSince(t0);
        };
        restore = TimeInTurns(kRuns, "restore run", "ours", restoreOurs, "regedit /S", restorePeer);
    }

    SHDeleteKeyW(HKEY_LOCAL_MACHINE, kBenchKey);
    SHDeleteKeyW(HKEY_CURRENT_USER, kBenchKey);
    RunHost("rm -rf '" + strUnix + "'");
    if (!bOk)
    {
        printf("FAILED: a backup did not complete\n");
        return 1;
    }
    printf("full backup:  ours %.3f s, peers %.3f s (best of %d); medians %.3f s, %.3f s\n", backup.dOurs, backup.dPeer,
           kRuns, backup.MedianOurs(), backup.MedianPeer());
    PrintRatios("full backup", "(regedit /E x2 + zip -8)", backup, 1.10);
    printf("full restore: ours %.3f s, regedit /S %.3f s (best of %d); medians %.3f s, %.3f s\n", restore.dOurs,
           restore.dPeer, kRuns, restore.MedianOurs(), restore.MedianPeer());
    printf("ratio full restore / regedit /S, best: %.2f, median: %.2f\n", restore.dOurs / restore.dPeer,
           restore.MedianOurs() / restore.MedianPeer());
    return 0;
}
