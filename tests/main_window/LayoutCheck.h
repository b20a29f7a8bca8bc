#pragma once
// What a user would see as broken layout: a control outside the area it
// belongs to, or a text that does not fit its control at the font the control
// draws it in (check box glyphs and button pictures taken into account).
#include "framework/Afx.h"
#include <string>
#include <vector>

class CLayoutCheck
{
public:
    explicit CLayoutCheck(HWND hOwner) : m_hOwner(hOwner) {}

    // Every visible control under hParent, and under its sub-dialogs, must lie
    // inside rcArea (screen coordinates) and show its whole text.
    void CheckControls(HWND hParent, const CRect& rcArea, const std::wstring& strWhere);
    // Only the texts of hParent's own visible controls.
    void CheckTexts(HWND hParent, const std::wstring& strWhere);
    // The page shown must be the only visible window over rcArea (screen
    // coordinates) among hMain's children: anything else left visible there
    // shows as a leftover strip beside or under the page.
    void CheckPageAreaOwner(HWND hMain, HWND hPage, const CRect& rcArea, const std::wstring& strWhere);
    // rcArea (screen coordinates) on the screen must look as it does after
    // hMain and its children are painted again whole: pixels a switch left
    // unpainted (a strip of a window gone) differ.
    void CheckPaintedWhole(HWND hMain, const CRect& rcArea, const std::wstring& strWhere);
    // Folder captions and item captions of the navigation.
    void CheckNavigation(CWnd* pFolder, const std::vector<CWnd*>& bars);

    // "<where>: control <id> (<class> "<text>") <what>", one per fault.
    std::vector<std::wstring> m_faults;

private:
    void CheckOne(HWND hWnd, const CRect& rcArea, const std::wstring& strWhere, bool bPlace);
    void CheckText(HWND hWnd, const std::wstring& strWhere);
    void Fail(HWND hWnd, const std::wstring& strWhere, const std::wstring& strWhat);

    HWND m_hOwner;
};

// The wrapped size of a text at a font, in a given width (DT_CALCRECT).
CSize MeasureText(HWND hWnd, HFONT hFont, const CString& strText, UINT uFormat, int nWidth);
