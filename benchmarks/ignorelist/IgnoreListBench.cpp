// Remove of one row of an ignore list of 100,000 entries, against a plain
// copy of the same file with CopyFileW.
//
// Writes IgnoreList.dat with 100,000 entries into a scratch program folder
// under the prefix's temp folder, then per run: writes the file afresh,
// shows the ignore list page (the showing time), selects the middle row and
// presses Remove, serving messages until the row is gone and the file is
// written (the Remove time), while a thread of its own sends WM_NULL to the
// window every 20 ms (the longest wait for an answer is the longest stall).
// Each run checks that the file then holds the other 99,999 entries byte for
// byte. The peer copies the same 100,000-line file with CopyFileW in this
// process, so both write the same amount through the same system. Five runs
// (or the number given as the first argument), taking turns at going first,
// each printed, with the best and the median.
// Targets: the row gone within 2 s, no stall over 1 s.
//
// Run by hand under wine64 on a display (Xvfb) from the worktree:
//   cmake -S . -B build/bench-x86_64 ... -DTAMSEL_BUILD_BENCHMARKS=ON
//   cmake --build build/bench-x86_64 --target ignorelist_bench
//   wine64 build/bench-x86_64/bin/ignorelist_bench.exe
// and the 32-bit build under scripts/i686-emulated.sh /usr/lib/wine/wine.
#include "app/TamselApp.h"
#include "benchmarks/support/BenchSupport.h"
#include "repair/IgnoreListPage.h"
#include "tests/support/ResponsiveWatch.h"

#include <commctrl.h>
#include <stdio.h>
#include <memory>
#include <string>
#include <vector>

using namespace benchsupport;

CTamselApp theApp;

namespace {

const int kEntries = 100000;
const int kRemovedRow = kEntries / 2;
const int kDefaultRuns = 5;
const DWORD kHangMs = 600000;

// Entries of several categories and lengths, as scans leave them.
std::wstring Entry(int i)
{
    wchar_t sz[400];
    switch (i % 4)
    {
    case 0:
        wsprintfW(sz, L"0;HKEY_CLASSES_ROOT\\CLSID\\{%08X-1234-5678-9ABC-%012d}\\InprocServer32|{Default}|"
                      L"C:\\Program Files\\Vendor %05d\\lib%d.dll", i * 7919, i, i % 977, i);
        break;
    case 1:
        wsprintfW(sz, L"7;C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Tool %d.lnk|{Default}|"
                      L"C:\\Program Files\\Tool %d\\tool.exe", i, i);
        break;
    case 2:
        wsprintfW(sz, L"14;HKEY_LOCAL_MACHINE\\Software\\Vendor %05d\\Empty %d|{Default}|", i % 977, i);
        break;
    default:
        wsprintfW(sz, L"12;HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run|Helper %d|"
                      L"\"C:\\Program Files\\Helper %d\\helper.exe\" /background", i, i);
        break;
    }
    return sz;
}

std::string Utf16Lines(int nSkipped)
{
    std::wstring strText = L"\xFEFF";
    for (int i = 0; i < kEntries; ++i)
        if (i != nSkipped)
            strText += Entry(i) + L"\n";
    return std::string((const char*)strText.data(), strText.size() * sizeof(wchar_t));
}

class CHost : public CWnd
{
};

struct OursRun
{
    double dShow = -1;
    double dRemove = -1;
    double dStall = -1;
};

bool ListIsFull(CIgnoreListPage& page)
{
    return page.m_list.GetItemCount() == kEntries;
}

// The Remove has ended: the row is gone and nothing is left to write.
bool RemoveDone(CIgnoreListPage& page)
{
    return page.m_list.GetItemCount() == kEntries - 1 && !page.IsSaving();
}

OursRun RunOurs(CHost& host, CIgnoreListPage& page, const std::wstring& strFile, const std::string& full,
                const std::string& expected)
{
    OursRun run;
    if (!WriteFileBytes(strFile, full))
        return run;
    page.ShowWindow(SW_HIDE);
    Pump();
    double dStart = NowSeconds();
    page.ShowWindow(SW_SHOW);
    bool bShown = testsupport::PumpUntil([&page]() { return ListIsFull(page); }, kHangMs);
    page.UpdateWindow();
    run.dShow = NowSeconds() - dStart;
    if (!bShown)
    {
        printf("shown %d of %d rows\n", page.m_list.GetItemCount(), kEntries);
        return OursRun();
    }
    page.m_list.SetItemState(kRemovedRow, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    page.m_list.EnsureVisible(kRemovedRow, FALSE);
    page.UpdateWindow();
    Pump();
    {
        testsupport::ResponsiveWatch watch(host.m_hWnd, 20, kHangMs);
        dStart = NowSeconds();
        // As a click does: the button's notification reaches the page through the queue.
        page.PostMessage(WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), (LPARAM)page.m_btnRemove.m_hWnd);
        bool bDone = testsupport::PumpUntil([&page]() { return RemoveDone(page); }, kHangMs);
        page.UpdateWindow();
        run.dRemove = NowSeconds() - dStart;
        // A stall right after the last step counts as well.
        testsupport::PumpUntil([]() { return false; }, 100);
        watch.Stop();
        run.dStall = watch.LongestWait() / 1000.0;
        if (!bDone)
        {
            printf("the Remove did not end: %d rows\n", page.m_list.GetItemCount());
            return OursRun();
        }
    }
    if (ReadFileBytes(strFile) != expected)
    {
        printf("the file does not hold the other %d entries as they were\n", kEntries - 1);
        return OursRun();
    }
    return run;
}

double RunPeer(const std::wstring& strSource, const std::wstring& strCopy)
{
    ::DeleteFileW(strCopy.c_str());
    double dStart = NowSeconds();
    if (!::CopyFileW(strSource.c_str(), strCopy.c_str(), FALSE))
        return -1;
    return NowSeconds() - dStart;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    // A first argument sets the number of runs (a quick look: 1).
    const int kRuns = argc > 1 && _wtoi(argv[1]) > 0 ? _wtoi(argv[1]) : kDefaultRuns;
    printf("ignorelist_bench: %s process, %d entries, removing row %d\n", ProcessKind(), kEntries, kRemovedRow);
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);

    wchar_t szTemp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, szTemp);
    std::wstring strFolder = std::wstring(szTemp) + L"tamsel-ignorelist-bench\\";
    ::CreateDirectoryW(strFolder.c_str(), NULL);
    std::wstring strFile = strFolder + L"IgnoreList.dat";
    std::wstring strSource = strFolder + L"Source.dat";
    std::wstring strCopy = strFolder + L"Copy.dat";
    const std::string full = Utf16Lines(-1);
    const std::string expected = Utf16Lines(kRemovedRow);
    if (!WriteFileBytes(strSource, full))
    {
        printf("FAILED: cannot write %ls\n", strSource.c_str());
        return 1;
    }
    printf("file: %lld bytes\n", FileSize(strSource));

    CTamselApp* pApp = static_cast<CTamselApp*>(AfxGetApp());
    pApp->m_strAppDir = strFolder.c_str();
    for (int i = 0; i < TAMSEL_CATEGORY_COUNT; ++i)
        pApp->m_strCategoryNames[i].Format(L"Registry category %d", i + 1);

    CHost host;
    if (!host.CreateEx(0, AfxRegisterWndClass(0, ::LoadCursorW(NULL, IDC_ARROW), (HBRUSH)(COLOR_WINDOW + 1)),
                       L"Ignore list bench", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 620, 480, NULL, NULL))
        return 1;
    std::unique_ptr<CIgnoreListPage> pPage(new CIgnoreListPage());
    if (!pPage->Create(CIgnoreListPage::IDD, &host))
    {
        printf("FAILED: cannot create the page\n");
        return 1;
    }
    pPage->MoveWindow(0, 0, 600, 460, TRUE);

    std::vector<double> show, remove, stall, peer;
    for (int nRun = 0; nRun < kRuns; ++nRun)
    {
        OursRun ours;
        double dPeer;
        if (nRun % 2 == 0)
        {
            ours = RunOurs(host, *pPage, strFile, full, expected);
            dPeer = RunPeer(strSource, strCopy);
        }
        else
        {
            dPeer = RunPeer(strSource, strCopy);
            ours = RunOurs(host, *pPage, strFile, full, expected);
        }
        if (ours.dRemove < 0 || dPeer < 0)
        {
            printf("FAILED: run %d\n", nRun + 1);
            return 1;
        }
        show.push_back(ours.dShow);
        remove.push_back(ours.dRemove);
        stall.push_back(ours.dStall);
        peer.push_back(dPeer);
        printf("run %d: showing %.3f s; Remove %.3f s, longest stall %.3f s; CopyFileW %.3f s\n", nRun + 1,
               ours.dShow, ours.dRemove, ours.dStall, dPeer);
        fflush(stdout);
    }
    PrintRuns("showing the page", show);
    PrintRuns("Remove", remove);
    PrintRuns("longest stall during the Remove", stall);
    PrintRuns("CopyFileW of the same file", peer);
    printf("%d entries: Remove best %.3f s, median %.3f s (target <= 2 s: %s); longest stall median %.3f s "
           "(target <= 1 s: %s); Remove / CopyFileW, best %.1f, median %.1f\n",
           kEntries, Best(remove), Median(remove), Median(remove) <= 2.0 ? "met" : "NOT met", Median(stall),
           Median(stall) <= 1.0 ? "met" : "NOT met", Best(remove) / Best(peer), Median(remove) / Median(peer));
    pPage->DestroyWindow();
    host.DestroyWindow();
    ::DeleteFileW(strFile.c_str());
    ::DeleteFileW(strSource.c_str());
    ::DeleteFileW(strCopy.c_str());
    ::RemoveDirectoryW(strFolder.c_str());
    return 0;
}
