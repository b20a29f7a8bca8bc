// Not a check: draws each backup page into a bitmap file for a look by eye.
// Run by hand with --gtest_also_run_disabled_tests; the pictures go to the
// folder named by TAMSEL_LOOK_DIR.
#include "tests/repair/BackupTestSupport.h"
#include "repair/AutoBackupPage.h"
#include "repair/BackupHubPage.h"
#include "repair/FavoritesBackupPage.h"
#include "repair/FullBackupPage.h"
#include "repair/SchedulePage.h"

using namespace backuptest;

namespace {
void SaveWindow(HWND hWnd, const std::wstring& strFile)
{
    RECT rc;
    ::GetWindowRect(hWnd, &rc);
    int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
    HDC hScreen = ::GetDC(NULL);
    HDC hMem = ::CreateCompatibleDC(hScreen);
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 24;
    void* pBits = NULL;
    HBITMAP hBitmap = ::CreateDIBSection(hScreen, &bmi, DIB_RGB_COLORS, &pBits, NULL, 0);
    HGDIOBJ hOld = ::SelectObject(hMem, hBitmap);
    ::BitBlt(hMem, 0, 0, cx, cy, hScreen, rc.left, rc.top, SRCCOPY);
    ::SelectObject(hMem, hOld);
    DWORD dwStride = ((DWORD)cx * 3 + 3) & ~3u;
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof(header) + sizeof(bmi.bmiHeader);
    header.bfSize = header.bfOffBits + dwStride * cy;
    std::string bytes((const char*)&header, sizeof(header));
    bytes.append((const char*)&bmi.bmiHeader, sizeof(bmi.bmiHeader));
    bytes.append((const char*)pBits, dwStride * cy);
    testsupport::WriteFileBytes(strFile, bytes);
    ::DeleteObject(hBitmap);
    ::DeleteDC(hMem);
    ::ReleaseDC(NULL, hScreen);
}

template <class TPage> void Look(HWND hWndHost, TPage& page, UINT nID, const std::wstring& strFile)
{
    ASSERT_TRUE(page.Create(nID, CWnd::FromHandle(hWndHost)));
    page.ShowWindow(SW_SHOW);
    testsupport::WaitFor([] { return false; }, 600);
    SaveWindow(hWndHost, strFile);
    page.DestroyWindow();
}
} // namespace

TEST_F(BackupPageTest, DISABLED_PagesForALook)
{
    char szDir[MAX_PATH] = "";
    ASSERT_TRUE(::GetEnvironmentVariableA("TAMSEL_LOOK_DIR", szDir, MAX_PATH));
    std::wstring strDir = Widen(szDir);
    std::wstring strBackups = AppDir() + L"AutoBackup\\";
    ::CreateDirectoryW(strBackups.c_str(), NULL);
    testsupport::WriteFileBytes(strBackups + L"AutoBackup20080908143122.zip", "x");
    testsupport::WriteFileBytes(strBackups + L"AutoBackup20091231235959.zip", "x");
    ::CreateDirectoryW((AppDir() + L"FullBackup").c_str(), NULL);
    testsupport::WriteFileBytes(AppDir() + L"FullBackup\\FullBackup20100615101500.zip", "x");
    ::MoveWindow(m_hWndHost, 0, 0, 540, 420, TRUE);
    {
        CAutoBackupPage page;
        Look(m_hWndHost, page, 127, strDir + L"\\auto.bmp");
    }
    {
        CFullBackupPage page;
        Look(m_hWndHost, page, 255, strDir + L"\\full.bmp");
    }
    {
        CFavoritesBackupPage page;
        Look(m_hWndHost, page, 5714, strDir + L"\\favorites.bmp");
    }
    {
        CSchedulePage page;
        Look(m_hWndHost, page, 236, strDir + L"\\schedule.bmp");
    }
    {
        CBackupHubPage page;
        Look(m_hWndHost, page, 416, strDir + L"\\hub.bmp");
    }
}
