// Full registry backup and restore against Wine's own tools.
//
// Seeds HKEY_LOCAL_MACHINE\Software and HKEY_CURRENT_USER\Software with the
// key of 100,000 values in 5,000 subkeys that the export benchmark uses, then
// times (five runs, or the number given as the first argument, taking turns
// at going first):
//   backup:  CFullBackupJob::Backup (export of both hives, zip, read-back check)
//            against "regedit /E" of HKEY_LOCAL_MACHINE and of HKEY_USERS plus
//            "zip -8" of both files (process starts included);
//   restore: CFullBackupJob::Restore of the archive against "regedit /S" of the
//            same .reg file.
// The peer is of the program's own bitness and reads the view the backup
// reads, the whole registry's: regedit where that is the program's own view,
// else (a 32-bit build on 64-bit Windows) reg.exe's "export"/"import" with
// /reg:64, as regedit has no switch for the view; the output names it.
// Prints the times and their ratios, then removes the keys. Target for the
// backup: a ratio of 1.10 or less.
//
// Run by hand from the worktree, x86_64 with wine64, i686 with wine (prefix
// the 32-bit loader with scripts/i686-emulated.sh where the kernel runs no
// 32-bit code):
//   cmake --build build/bench-x86_64 --target fullbackup_bench
//   export WINEPREFIX=/tmp/tamsel-bench WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
//   /usr/lib/wine/wine wineboot -i
//   wineserver -p
//   wine64 build/bench-x86_64/bin/fullbackup_bench.exe [runs]   (wine build/bench-i686/bin/fullbackup_bench.exe)
//   wineserver -k
#include "repair/FullBackupJob.h"
#include "services/RegKeyTarget.h"
#include "services/ZipReader.h"
#include "benchmarks/support/BenchSupport.h"

#include <shlwapi.h>
#include <stdio.h>
#include <string>

using namespace benchsupport;

namespace {

const int kDefaultRuns = 5;

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

// The peer's export and import, in the view the backup reads and restores.
struct PeerTools
{
    std::wstring strTool;
    std::wstring strView;  // empty: regedit in this process's own view

    PeerTools()
    {
        REGSAM samWhole = WholeRegistryView();
        if (samWhole == OwnRegistryView())
        {
            strTool = OwnRegedit();
            return;
        }
        strTool = L"\"" + OwnRegExe() + L"\"";
        strView = samWhole == KEY_WOW64_32KEY ? L" /reg:32" : L" /reg:64";
    }
    std::wstring Export(const std::wstring& strFile, const wchar_t* pszKey) const
    {
        if (strView.empty())
            return strTool + L" /E \"" + strFile + L"\" " + pszKey;
        return strTool + L" export " + pszKey + L" \"" + strFile + L"\" /y" + strView;
    }
    // How the output names the two sides.
    std::string ExportName() const { return strView.empty() ? "regedit /E x2 + zip -8" : "reg export x2 + zip -8"; }
    std::string ImportName() const { return strView.empty() ? "regedit /S" : "reg import"; }
    std::wstring Import(const std::wstring& strFile) const
    {
        if (strView.empty())
            return strTool + L" /S \"" + strFile + L"\"";
        return strTool + L" import \"" + strFile + L"\"" + strView;
    }
};

} // namespace

int wmain(int argc, wchar_t** argv)
{
    // A first argument sets the number of runs (a quick look: 1).
    const int kRuns = argc > 1 && _wtoi(argv[1]) > 0 ? _wtoi(argv[1]) : kDefaultRuns;
    std::string strUnix = "/tmp/tamsel-fullbench-" + std::to_string(GetCurrentProcessId()) + "/";
    std::wstring strDir = WinPath(strUnix);
    std::wstring strOurs = strDir + L"ours\\";
    CreateDirectoryW(strDir.c_str(), NULL);
    CreateDirectoryW(strOurs.c_str(), NULL);

    printf("fullbackup_bench: %s process\n", ProcessKind());
    const PeerTools peer;
    printf("peer: %ls\n     %ls\n", peer.Export(strDir + L"hklm.reg", L"HKEY_LOCAL_MACHINE").c_str(),
           peer.Import(strDir + L"full.reg").c_str());
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
            return RunProgram(peer.Export(strDir + L"hklm.reg", L"HKEY_LOCAL_MACHINE")) == 0 &&
                   RunProgram(peer.Export(strDir + L"hku.reg", L"HKEY_USERS")) == 0 &&
                   RunHost("cd '" + strUnix + "' && zip -q -8 peer.zip hklm.reg hku.reg") == 0;
        });
    };
    BestTimes backup = TimeInTurns(kRuns, "backup run", "ours", backupOurs, peer.ExportName().c_str(), backupPeer);
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
            RunProgram(peer.Import(strReg));
            return SecondsSince(t0);
        };
        restore = TimeInTurns(kRuns, "restore run", "ours", restoreOurs, peer.ImportName().c_str(), restorePeer);
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
    PrintRatios("full backup", ("(" + peer.ExportName() + ")").c_str(), backup, 1.10);
    printf("full restore: ours %.3f s, %s %.3f s (best of %d); medians %.3f s, %.3f s\n", restore.dOurs,
           peer.ImportName().c_str(), restore.dPeer, kRuns, restore.MedianOurs(), restore.MedianPeer());
    printf("ratio full restore / %s, best: %.2f, median: %.2f\n", peer.ImportName().c_str(),
           restore.dOurs / restore.dPeer, restore.MedianOurs() / restore.MedianPeer());
    return 0;
}
