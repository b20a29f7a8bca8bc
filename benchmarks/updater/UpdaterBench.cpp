// Two speeds of the updater and the kit:
// 1. The updater's package download (CUpdatePackage::Download, 256 KB reads into
//    a temporary file) of a 20 MB file from a local HTTP server against the
//    host's curl fetching the same URL (curl's own time_total). Three runs
//    each, in turn. Target: a ratio of 2.0 or less.
// 2. A drop-shadow redraw (CWindowShadow::Update) of an 800 x 600 window
//    against UpdateLayeredWindow of a ready bitmap of that size. Twenty runs
//    each, in turn. Target: a ratio of 3.0 or less.
// Every run is printed, with the best and the median.
//
// Run by hand under wine64 on a display (the tests' prefix does):
//   cmake -S . -B build/x86_64 ... -DTAMSEL_BUILD_BENCHMARKS=ON && cmake --build build/x86_64 --target updater_bench
//   build/x86_64/wine-run.sh --setup
//   build/x86_64/wine-run.sh build/x86_64/bin/updater_bench.exe
#include "app/UpdaterPackage.h"
#include "benchmarks/support/BenchSupport.h"
#include "controls/skin/WindowShadow.h"

#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>

using namespace benchsupport;

namespace {

const int kPort = 28731;
const DWORD kBytes = 20 * 1024 * 1024;

void DownloadBench()
{
    std::string strDir = "/tmp/tamsel-bench-site-" + std::to_string(GetCurrentProcessId());
    std::string strUrl = "http://127.0.0.1:" + std::to_string(kPort) + "/pack.bin";
    if (RunHost("mkdir -p " + strDir + " && head -c " + std::to_string(kBytes) + " /dev/urandom > " + strDir +
              "/pack.bin && cd " + strDir + " && (python3 -m http.server " + std::to_string(kPort) +
              " --bind 127.0.0.1 </dev/null >/dev/null 2>&1 & echo $! > server.pid) && sleep 1", 60000) != 0)
    {
        printf("download: could not start the local server\n");
        return;
    }
    CUpdaterSettings settings;
    WCHAR szTemp[MAX_PATH];
    GetTempPathW(MAX_PATH, szTemp);
    settings.strAppDir = szTemp;
    CUpdatePackage package(settings);
    HINTERNET hSession = package.OpenSession();
    CString strWideUrl(std::wstring(strUrl.begin(), strUrl.end()).c_str());
    std::vector<double> arrOurs, arrCurl;
    bool bOk = true;
    for (int nRun = 0; nRun < 3 && bOk; nRun++)
    {
        LARGE_INTEGER start, end;
        CString strFile;
        QueryPerformanceCounter(&start);
        bOk = package.Download(hSession, strWideUrl, strFile) && package.m_dwBytes == kBytes;
        QueryPerformanceCounter(&end);
        DeleteFileW(strFile);
        arrOurs.push_back(Seconds(start, end));
        std::string strTime = strDir + "/curl.txt";
        RunHost("curl -s -o /dev/null -w '%{time_total}' " + strUrl + " > " + strTime, 60000);
        double dTime = atof(ReadFileBytes(WinPath(strTime)).c_str());
        if (dTime > 0)
            arrCurl.push_back(dTime);
        printf("download run %d: updater %.3f s%s, curl %.3f s\n", nRun + 1, arrOurs.back(), bOk ? "" : " (failed)", dTime);
    }
    InternetCloseHandle(hSession);
    RunHost("kill $(cat " + strDir + "/server.pid); rm -rf " + strDir, 60000);
    if (!bOk || arrCurl.size() != arrOurs.size())
    {
        printf("download: failed (ours %s, curl %s)\n", bOk ? "ok" : "failed", arrCurl.empty() ? "missing" : "ok");
        return;
    }
    PrintRuns("download updater", arrOurs);
    PrintRuns("download curl", arrCurl);
    double dOurs = Best(arrOurs), dCurl = Best(arrCurl);
    printf("download 20 MB: updater %.3f s, curl %.3f s, ratio %.2f (target <= 2.00: %s); median ratio %.2f\n", dOurs,
           dCurl, dOurs / dCurl, dOurs <= 2 * dCurl ? "met" : "NOT met", Median(arrOurs) / Median(arrCurl));
}

void ShadowBench()
{
    if (!CWindowShadow::Initialize(GetModuleHandleW(NULL)))
    {
        printf("shadow: no layered windows\n");
        return;
    }
    HWND hParent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 50, 50, 800, 600, NULL, NULL, NULL, NULL);
    CWindowShadow shadow;
    shadow.Create(hParent);
    if (shadow.m_hWnd == (HWND)-1)
    {
        printf("shadow: could not be created\n");
        DestroyWindow(hParent);
        return;
    }
    // The same job without drawing: a ready bitmap of the shadow's size.
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = 800;
    bmi.bmiHeader.biHeight = 600;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* pvBits = NULL;
    HBITMAP hBitmap = CreateDIBSection(NULL, &bmi, DIB_RGB_COLORS, &pvBits, NULL, 0);
    HDC hMem = CreateCompatibleDC(NULL);
    HGDIOBJ hOld = SelectObject(hMem, hBitmap);
    memset(pvBits, 0x40, 800 * 600 * 4);
    std::vector<double> arrOurs, arrPlain;
    for (int nRun = 0; nRun < 20; nRun++)
    {
        LARGE_INTEGER a, b, c;
        QueryPerformanceCounter(&a);
        shadow.Update(hParent);
        QueryPerformanceCounter(&b);
        POINT ptDst = {55, 55}, ptSrc = {0, 0};
        SIZE size = {800, 600};
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        UpdateLayeredWindow(shadow.m_hWnd, NULL, &ptDst, &size, hMem, &ptSrc, 0, &blend, ULW_ALPHA);
        QueryPerformanceCounter(&c);
        arrOurs.push_back(Seconds(a, b));
        arrPlain.push_back(Seconds(b, c));
    }
    SelectObject(hMem, hOld);
    DeleteDC(hMem);
    DeleteObject(hBitmap);
    PrintRuns("shadow redraw", arrOurs, "ms", 1000);
    PrintRuns("UpdateLayeredWindow", arrPlain, "ms", 1000);
    double dOurs = Best(arrOurs), dPlain = Best(arrPlain);
    printf("shadow 800 x 600: redraw %.2f ms, UpdateLayeredWindow %.2f ms, ratio %.2f (target <= 3.00: %s); median "
           "ratio %.2f\n",
           dOurs * 1000, dPlain * 1000, dOurs / dPlain, dOurs <= 3 * dPlain ? "met" : "NOT met",
           Median(arrOurs) / Median(arrPlain));
    DestroyWindow(hParent);
}

} // namespace

int wmain()
{
    setvbuf(stdout, NULL, _IONBF, 0);
    printf("updater benchmark\n");
    DownloadBench();
    ShadowBench();
    return 0;
}
