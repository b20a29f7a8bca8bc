#pragma once
// The system's open and save dialogs. The filter is written with '|'
// separators: L"Registry files (*.reg)|*.reg|All files (*.*)|*.*||".
// A caller may point m_ofn.lpstrFile at its own larger buffer before DoModal.
#include <string>
#include <vector>
#include "framework/AfxDefs.h"
#include <commdlg.h>
#include "framework/String.h"

class CWnd;

class CFileDialog
{
public:
    CFileDialog(BOOL bOpenFileDialog, LPCWSTR lpszDefExt = NULL, LPCWSTR lpszFileName = NULL,
                DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCWSTR lpszFilter = NULL,
                CWnd* pParentWnd = NULL);
    virtual ~CFileDialog() {}

    OPENFILENAMEW m_ofn;

    // IDOK or IDCANCEL (also when the dialog could not be shown).
    virtual INT_PTR DoModal();

    CString GetPathName() const;  // with several files chosen: their folder
    CString GetFileName() const;
    CString GetFileExt() const;   // without the dot
    CString GetFileTitle() const;
    BOOL GetReadOnlyPref() const { return (m_ofn.Flags & OFN_READONLY) != 0; }

    // Walks the chosen files as full paths; works for one file too.
    POSITION GetStartPosition() const;
    CString GetNextPathName(POSITION& pos) const;

    // '|'-separated filter text to the double-zero-terminated form.
    static std::wstring ParseFilter(LPCWSTR lpszFilter);

private:
    BOOL m_bOpenFileDialog;
    CWnd* m_pParentWnd;
    std::wstring m_strFilter;
    CString m_strDefExt;
    std::vector<WCHAR> m_fileBuffer;
    WCHAR m_szFileTitle[MAX_PATH];

    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;
};
