#include "scanner/Scanners.h"
#include "scanner/CommandLine.h"
#include "scanner/KeyWalk.h"
#include "scanner/ProblemRecorder.h"
#include "scanner/ScanRoots.h"

namespace {
const int FONT_CATEGORY = 4;
const wchar_t* const FONTS_KEY = SCAN_KEY_FONTS;
const wchar_t SHELL_FOLDERS_KEY[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The Fonts folder with a trailing backslash.
CString GetFontsFolder()
{
    CKeyReader folders;
    CString strFolder;
    if (folders.Open(HKEY_CURRENT_USER, SHELL_FOLDERS_KEY) == ERROR_SUCCESS)
        strFolder = folders.ReadString(L"Fonts", CString());
    if (strFolder.IsEmpty())
        strFolder = GetWindowsFolder() + L"Fonts";
    if (strFolder.Right(1) != L"\\")
        strFolder += L"\\";
    return strFolder;
}
}  // namespace

void ScanFonts(CScanContext& scan)
{
    if (!BeginCategory(scan, FONT_CATEGORY))
        return;
    CString strFolder = GetFontsFolder();
    CKeyReader fonts;
    if (fonts.Open(HKEY_LOCAL_MACHINE, FONTS_KEY) == ERROR_SUCCESS)
    {
        PathView view = scan.m_pathTest.ViewOfKey(fonts);
        if (!WalkTextValues(scan, fonts, [&](const CString& strName, const CString& strText) {
                if (strText.IsEmpty())
                    return;
                CString strPath = strText.Find(L':') < 0 ? strFolder + strText : strText;
                if (!scan.m_pathTest.FileExists(strPath, view))
                    RecordProblem(scan, FONT_CATEGORY, HKEY_LOCAL_MACHINE, FONTS_KEY, TRUE, strName, strText, 24);
            }))
            return;
    }
    EndCategory(scan, FONT_CATEGORY);
}
