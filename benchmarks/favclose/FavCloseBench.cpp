// Closing Tamsel while its first favorites backup copies a deep tree.
//
// At the first start (no Utilities\Favorites beside Tamsel.exe) the favorites
// page copies the user's Favorites on its own. Their folder is pointed at a
// tree of nested folders (one favorite every 100 levels) made on the host,
// and this program measures:
//   copy:  from Utilities\Favorites.new appearing to the backup in its place,
//          for 1,000 and 2,000 nested folders (the cost of depth), each run
//          beside an idle close;
//   close: from WM_CLOSE to the main window to the end of the process, with
//          2,000 and 5,000 nested folders (Wine reaches about 2,000 levels of
//          one-letter folders: the rest is left out as too long), closing
//          soon after the copy starts, half-way and late (80 %) through it (shares of
//          the 2,000 copy's median time), each run taking turns with the close
//          of an idle Tamsel (its backup made, nothing copying) in the same run.
// Each close run tells whether the copy was still running and how many
// folders the partial copy left for the next start to clear. Prints every
// run, the best and the median, and the ratio of each close to the idle one;
// the goal is every close within 2 s.
//
// Run by hand from the worktree (Tamsel.exe of the same build sits beside
// this program; x86_64 with wine64, i686 with wine, prefixed with
// scripts/i686-emulated.sh where the kernel runs no 32-bit code), on a
// display without a window manager (Xvfb), in a prefix of its own; the
// benchmark starts a small manager when one is installed, as without one
// Wine waits 2 s for a closing window to be withdrawn:
//   apt-get install -y matchbox-window-manager
//   cmake --build build/bench-x86_64 --target favclose_bench
//   export WINEPREFIX=/tmp/tamsel-favbench WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
//   wine64 wineboot -i
//   wineserver -p
//   wine64 build/bench-x86_64/bin/favclose_bench.exe [runs]
//   wineserver -k
// It sets the Favorites of HKCU's Shell Folders and puts the old value back,
// and removes the trees and the backups it made.
#include "benchmarks/support/BenchSupport.h"
#include "benchmarks/support/WindowProbe.h"
#include "tests/support/HostPath.h"

#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>

using namespace benchsupport;

namespace {

const int kDefaultRuns = 3;
const DWORD kWindowWaitMs = 60000;
// A copy that does not start within this time, or a close that does not end
// within this time, fails the run.
const double kCopyStartLimit = 120;
const double kCopyLimit = 3600;
const DWORD kCloseLimitMs = 600000;
const LPCWSTR kShellFolders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

bool IsFolder(const std::wstring& strPath)
{
    DWORD dwAttributes = ::GetFileAttributesW(strPath.c_str());
    return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Quoted(const std::string& str)
{
    return "'" + str + "'";
}

// The user's Favorites value, kept to be put back.
class CFavoritesValue
{
public:
    CFavoritesValue()
    {
        HKEY hKey = NULL;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
            return;
        wchar_t szValue[2048] = {};
        DWORD dwSize = sizeof(szValue) - sizeof(wchar_t), dwType = 0;
        if (::RegQueryValueExW(hKey, L"Favorites", NULL, &dwType, (BYTE*)szValue, &dwSize) == ERROR_SUCCESS &&
            dwType == REG_SZ)
        {
            m_bHad = true;
            m_strValue = szValue;
        }
        ::RegCloseKey(hKey);
    }
    ~CFavoritesValue()
    {
        if (m_bHad)
            Set(m_strValue);
        else
        {
            HKEY hKey = NULL;
            if (::RegOpenKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, KEY_SET_VALUE, &hKey) == ERROR_SUCCESS)
            {
                ::RegDeleteValueW(hKey, L"Favorites");
                ::RegCloseKey(hKey);
            }
        }
    }
    static bool Set(const std::wstring& strFolder)
    {
        HKEY hKey = NULL;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, NULL, 0, KEY_SET_VALUE, NULL, &hKey, NULL) !=
            ERROR_SUCCESS)
            return false;
        LONG lResult = ::RegSetValueExW(hKey, L"Favorites", 0, REG_SZ, (const BYTE*)strFolder.c_str(),
                                        (DWORD)(strFolder.size() + 1) * sizeof(wchar_t));
        ::RegCloseKey(hKey);
        return lResult == ERROR_SUCCESS;
    }

private:
    bool m_bHad = false;
    std::wstring m_strValue;
};

// A favorites folder of nDepth nested folders "a", made on the host (Wine's
// own calls at depth d cost time in d squared), removed when it goes.
class CDeepFavorites
{
public:
    CDeepFavorites(const std::wstring& strFolder, int nDepth) : m_strFolder(strFolder + L"\\"), m_nDepth(nDepth)
    {
        ::CreateDirectoryW(strFolder.c_str(), NULL);
        m_strUnix = testsupport::UnixPathOf(strFolder);
        if (m_strUnix.empty())
        {
            printf("%ls: no host path\n", strFolder.c_str());
            return;
        }
        std::string strScript = "cd -P " + Quoted(m_strUnix) + " && echo '[InternetShortcut]' > top.url && i=0 && n=" +
                                std::to_string(nDepth) +
                                " && while [ $i -lt $n ]; do k=100; [ $((n-i)) -lt 100 ] && k=$((n-i)); "
                                "p=$(printf 'a/%.0s' $(seq $k)); mkdir -p $p && cd -P $p || exit 1; i=$((i+k)); "
                                "echo '[InternetShortcut]' > f$i.url; done";
        int nResult = RunHost(strScript);
        m_bMade = nResult == 0;
        if (!m_bMade)
            printf("%s: the host's shell answered %d\n", m_strUnix.c_str(), nResult);
    }
    ~CDeepFavorites()
    {
        if (!m_strUnix.empty())
            RunHost("rm -rf " + Quoted(m_strUnix));
    }
    bool IsMade() const { return m_bMade; }
    const std::wstring& Folder() const { return m_strFolder; }
    int Depth() const { return m_nDepth; }

private:
    std::wstring m_strFolder;
    std::string m_strUnix;
    int m_nDepth;
    bool m_bMade = false;
};

// Tamsel's favorites backup beside it, with its scratch folders.
struct CBackupFolders
{
    std::wstring strBackup = ProgramFolder() + L"Utilities\\Favorites";
    std::wstring strNew = strBackup + L".new";
    std::string strUnixUtilities = testsupport::UnixPathOf(ProgramFolder() + L"Utilities");

    bool Clear() const
    {
        if (strUnixUtilities.empty())
            return false;
        std::string strBase = Quoted(strUnixUtilities + "/Favorites");
        return RunHost("rm -rf " + strBase + " " + strBase + ".new " + strBase + ".old") == 0;
    }
    // The folders a stopped copy left.
    long LeftFolders() const
    {
        std::string strText = HostOutput("find " + Quoted(strUnixUtilities + "/Favorites.new") + " -type d | wc -l");
        return strText.empty() ? -1 : atol(strText.c_str());
    }
};

struct CloseRun
{
    bool bOk = false;
    double dCopyStart = -1; // from the process start to Favorites.new
    double dCopy = -1;      // to the backup in its place, when waited for
    double dClose = -1;     // from WM_CLOSE to the end of the process
    bool bStillCopying = false;
    long nLeftFolders = -1;
};

// Closes the program and waits for its end; seconds, or -1 when it was ended.
double TimeClose(CProbedProgram& program)
{
    double dStart = NowSeconds();
    ::PostMessageW(program.hWnd, WM_CLOSE, 0, 0);
    DWORD dwWait = ::WaitForSingleObject(program.pi.hProcess, kCloseLimitMs);
    double dClose = NowSeconds() - dStart;
    CloseProbedProgram(program, 5000);
    return dwWait == WAIT_OBJECT_0 ? dClose : -1;
}

// A first start copying favorites: closed dCloseAfter seconds after the copy
// began, or (dCloseAfter < 0) once the backup is in place.
CloseRun RunFirstStart(const CBackupFolders& folders, const CDeepFavorites& favorites, double dCloseAfter)
{
    CloseRun run;
    if (!folders.Clear() || !CFavoritesValue::Set(favorites.Folder()))
        return run;
    CProbedProgram program;
    if (!StartProbedProgram(ProgramFolder() + L"Tamsel.exe", ProgramFolder(), program))
        return run;
    if (!WaitForMainWindow(program, L"Tamsel", kWindowWaitMs))
    {
        CloseProbedProgram(program, 5000);
        return run;
    }
    while (!IsFolder(folders.strNew) && !IsFolder(folders.strBackup) && NowSeconds() - program.dStart < kCopyStartLimit)
        ::Sleep(2);
    double dCopyStart = NowSeconds();
    run.dCopyStart = dCopyStart - program.dStart;
    if (!IsFolder(folders.strNew) && !IsFolder(folders.strBackup))
    {
        CloseProbedProgram(program, 5000);
        return run;
    }
    if (dCloseAfter < 0)
    {
        while (!(IsFolder(folders.strBackup) && !IsFolder(folders.strNew)) && NowSeconds() - dCopyStart < kCopyLimit)
            ::Sleep(5);
        if (!IsFolder(folders.strBackup))
        {
            CloseProbedProgram(program, 5000);
            return run;
        }
        run.dCopy = NowSeconds() - dCopyStart;
        // Not timed: a message that tells what was left out may be up.
        CloseProbedProgram(program, 30000);
        run.bOk = true;
        return run;
    }
    while (NowSeconds() - dCopyStart < dCloseAfter)
        ::Sleep(2);
    run.bStillCopying = IsFolder(folders.strNew) && !IsFolder(folders.strBackup);
    run.dClose = TimeClose(program);
    run.nLeftFolders = folders.LeftFolders();
    run.bOk = run.dClose >= 0;
    return run;
}

// Tamsel started with its backup made and closed once it answers and has
// made its pages: the close of a program with nothing to stop.
double RunIdle(const CBackupFolders& folders, const std::wstring& strSmallFavorites)
{
    if (!folders.Clear())
        return -1;
    ::CreateDirectoryW((ProgramFolder() + L"Utilities").c_str(), NULL);
    if (!::CreateDirectoryW(folders.strBackup.c_str(), NULL) ||
        !WriteFileBytes(folders.strBackup + L"\\idle.url", "[InternetShortcut]\r\n") ||
        !CFavoritesValue::Set(strSmallFavorites))
        return -1;
    CProbedProgram program;
    if (!StartProbedProgram(ProgramFolder() + L"Tamsel.exe", ProgramFolder(), program))
        return -1;
    if (!WaitForMainWindow(program, L"Tamsel", kWindowWaitMs))
    {
        CloseProbedProgram(program, 5000);
        return -1;
    }
    // Answering within 50 ms, then time for the pages made one per slice.
    while (NowSeconds() - program.dStart < 60)
    {
        double dAnswer = AnswerTime(program.hWnd, 50);
        if (dAnswer >= 0 && dAnswer <= 0.05)
            break;
    }
    ::Sleep(2000);
    return TimeClose(program);
}

struct CloseSeries
{
    std::string strName;
    std::vector<double> arrClose;
    std::vector<double> arrIdle;
    bool bAllCopying = true;
};

void PrintSeries(const CloseSeries& series)
{
    printf("%s:\n", series.strName.c_str());
    PrintRuns("close during the copy", series.arrClose);
    PrintRuns("idle close", series.arrIdle);
    double dWorst = 0;
    for (double d : series.arrClose)
        dWorst = d > dWorst ? d : dWorst;
    printf("  ratio close during the copy / idle close: best %.2f, median %.2f; slowest close %.3f s (goal 2 s: %s)%s\n",
           Best(series.arrClose) / Best(series.arrIdle), Median(series.arrClose) / Median(series.arrIdle), dWorst,
           dWorst <= 2.0 ? "met" : "NOT met", series.bAllCopying ? "" : "; in some runs the copy had ended");
    fflush(stdout);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    int nRuns = argc > 1 ? _wtoi(argv[1]) : kDefaultRuns;
    if (nRuns < 1)
        nRuns = kDefaultRuns;
    printf("favclose_bench: %s process, %d runs each\n", ProcessKind(), nRuns);
    if (HWND hRunning = FindMarkedWindow(L"Tamsel"))
    {
        DWORD dwProcessId = 0;
        ::GetWindowThreadProcessId(hRunning, &dwProcessId);
        printf("FAILED: Tamsel already runs in this prefix (process %lu); close it first\n", dwProcessId);
        return 1;
    }
    CBackupFolders folders;
    if (folders.strUnixUtilities.empty())
    {
        printf("FAILED: no host path for %ls\n", folders.strBackup.c_str());
        return 1;
    }
    // Without a window manager Wine waits 2 s for every window it hides to
    // be withdrawn, which would hide what the close itself costs.
    std::string strManager = FindWindowManager();
    bool bManager = !strManager.empty() && StartWindowManager(strManager);
    if (bManager)
        printf("with %s\n", strManager.c_str());
    else
        printf("without a window manager (%s): Wine waits 2 s for each hidden window in every close below\n",
               strManager.empty() ? "apt-get install matchbox-window-manager" : "it did not start");
    CFavoritesValue savedValue;
    std::wstring strSmall = L"C:\\favsmall";
    CDeepFavorites small(strSmall, 0);
    CDeepFavorites deep1000(L"C:\\fav1000", 1000), deep2000(L"C:\\fav2000", 2000), deep5000(L"C:\\fav5000", 5000);
    if (!small.IsMade() || !deep1000.IsMade() || !deep2000.IsMade() || !deep5000.IsMade())
    {
        printf("FAILED: the favorites trees could not be made on the host\n");
        if (bManager)
            StopWindowManager();
        return 1;
    }
    bool bOk = true;

    // The copies to their end, each beside an idle close.
    double dCopy2000 = 0;
    std::vector<CloseSeries> allSeries;
    std::vector<double> arrIdleAll;
    for (const CDeepFavorites* pTree : {&deep1000, &deep2000})
    {
        std::vector<double> arrCopy;
        for (int nRun = 0; nRun < nRuns && bOk; nRun++)
        {
            CloseRun run = RunFirstStart(folders, *pTree, -1);
            double dIdle = RunIdle(folders, small.Folder());
            bOk = run.bOk && dIdle >= 0;
            if (!bOk)
                break;
            printf("copy of %d nested folders, run %d: began %.3f s after the start, took %.3f s; idle close %.3f s\n",
                   pTree->Depth(), nRun + 1, run.dCopyStart, run.dCopy, dIdle);
            fflush(stdout);
            arrCopy.push_back(run.dCopy);
            arrIdleAll.push_back(dIdle);
        }
        if (!bOk)
        {
            printf("FAILED: a copy of %d nested folders did not run to its end\n", pTree->Depth());
            break;
        }
        printf("copy of %d nested folders:\n", pTree->Depth());
        PrintRuns("copy", arrCopy);
        if (pTree == &deep2000)
            dCopy2000 = Median(arrCopy);
    }

    // Closes at three moments of the copy.
    struct Moment
    {
        const char* pszName;
        double dShare;  // of the 2,000 copy's median; 0: half a second
    };
    const Moment moments[] = {{"soon after the copy began (0.5 s)", 0}, {"half-way", 0.5}, {"late (80 %)", 0.8}};
    for (const CDeepFavorites* pTree : {&deep2000, &deep5000})
    {
        for (const Moment& moment : moments)
        {
            if (!bOk)
                break;
            double dAfter = moment.dShare == 0 ? 0.5 : moment.dShare * dCopy2000;
            CloseSeries series;
            series.strName = "closed " + std::string(moment.pszName) + " through the copy of " +
                             std::to_string(pTree->Depth()) + " nested folders";
            for (int nRun = 0; nRun < nRuns && bOk; nRun++)
            {
                CloseRun run;
                double dIdle = -1;
                // Taking turns at going first.
                if (nRun % 2 == 0)
                {
                    run = RunFirstStart(folders, *pTree, dAfter);
                    dIdle = RunIdle(folders, small.Folder());
                }
                else
                {
                    dIdle = RunIdle(folders, small.Folder());
                    run = RunFirstStart(folders, *pTree, dAfter);
                }
                bOk = run.bOk && dIdle >= 0;
                if (!bOk)
                {
                    printf("FAILED: %s, run %d: %s\n", series.strName.c_str(), nRun + 1,
                           run.bOk ? "the idle Tamsel did not close" : "Tamsel did not start its copy or close");
                    break;
                }
                printf("%s, run %d: closed %.3f s after the copy began (%s), in %.3f s, leaving %ld folders for the "
                       "next start; idle close %.3f s\n",
                       series.strName.c_str(), nRun + 1, dAfter, run.bStillCopying ? "still copying" : "copy ended",
                       run.dClose, run.nLeftFolders, dIdle);
                fflush(stdout);
                series.bAllCopying = series.bAllCopying && run.bStillCopying;
                series.arrClose.push_back(run.dClose);
                series.arrIdle.push_back(dIdle);
                arrIdleAll.push_back(dIdle);
            }
            if (bOk)
                allSeries.push_back(series);
        }
    }
    printf("every idle close:\n");
    PrintRuns("idle close", arrIdleAll);
    for (const CloseSeries& series : allSeries)
        if (!series.arrClose.empty())
            PrintSeries(series);
    folders.Clear();
    if (bManager)
        StopWindowManager();
    return bOk ? 0 : 1;
}
