#include "tests/privacy_ui/ViewGeometry.h"
#include <commctrl.h>
#include <sstream>

namespace viewgeo {

namespace {

std::string Narrow(const std::wstring& str)
{
    std::string strOut;
    for (wchar_t ch : str)
        strOut += (ch >= 32 && ch < 127) ? (char)ch : '?';
    return strOut;
}

std::wstring ClassOf(HWND hWnd)
{
    wchar_t szClass[64] = L"";
    ::GetClassNameW(hWnd, szClass, 64);
    return szClass;
}

std::wstring TextOf(HWND hWnd)
{
    wchar_t szText[512] = L"";
    ::GetWindowTextW(hWnd, szText, 512);
    return szText;
}

std::string Name(HWND hWnd)
{
    std::ostringstream out;
    out << Narrow(ClassOf(hWnd)) << " " << ::GetDlgCtrlID(hWnd) << " \"" << Narrow(TextOf(hWnd)).substr(0, 40) << "\"";
    return out.str();
}

std::string Rect(const RECT& rc)
{
    std::ostringstream out;
    out << rc.left << "," << rc.top << "-" << rc.right << "," << rc.bottom;
    return out.str();
}

bool Inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

RECT WindowIn(HWND hWnd, HWND hHost)
{
    RECT rc;
    ::GetWindowRect(hWnd, &rc);
    ::MapWindowPoints(NULL, hHost, (POINT*)&rc, 2);
    return rc;
}

RECT ClientIn(HWND hWnd, HWND hHost)
{
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    ::MapWindowPoints(hWnd, hHost, (POINT*)&rc, 2);
    return rc;
}

// The text's extent in the control's font: one line, or wrapped to nWrap.
SIZE TextExtent(HWND hWnd, const std::wstring& strText, int nWrap)
{
    HDC hdc = ::GetDC(hWnd);
    HFONT hFont = (HFONT)::SendMessageW(hWnd, WM_GETFONT, 0, 0);
    HGDIOBJ hOld = ::SelectObject(hdc, hFont != NULL ? (HGDIOBJ)hFont : ::GetStockObject(DEFAULT_GUI_FONT));
    RECT rc = {0, 0, nWrap > 0 ? nWrap : 0, 0};
    UINT nFormat = DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | (nWrap > 0 ? DT_WORDBREAK : DT_SINGLELINE);
    ::DrawTextW(hdc, strText.c_str(), (int)strText.size(), &rc, nFormat);
    ::SelectObject(hdc, hOld);
    ::ReleaseDC(hWnd, hdc);
    SIZE size = {rc.right - rc.left, rc.bottom - rc.top};
    return size;
}

void CheckStaticText(HWND hWnd, std::vector<std::string>& faults)
{
    const LONG nStyle = ::GetWindowLongW(hWnd, GWL_STYLE);
    const LONG nType = nStyle & SS_TYPEMASK;
    if (nType != SS_LEFT && nType != SS_CENTER && nType != SS_RIGHT && nType != SS_LEFTNOWORDWRAP && nType != SS_SIMPLE)
        return;
    std::wstring strText = TextOf(hWnd);
    if (strText.empty())
        return;
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    const bool bWrap = nType == SS_LEFT || nType == SS_CENTER || nType == SS_RIGHT;
    SIZE size = TextExtent(hWnd, strText, bWrap ? rc.right : 0);
    if (size.cx > rc.right || size.cy > rc.bottom)
        faults.push_back(Name(hWnd) + ": text needs " + std::to_string(size.cx) + "x" + std::to_string(size.cy) +
                         ", has " + std::to_string(rc.right) + "x" + std::to_string(rc.bottom));
}

void CheckButtonText(HWND hWnd, std::vector<std::string>& faults)
{
    const LONG nStyle = ::GetWindowLongW(hWnd, GWL_STYLE);
    const LONG nType = nStyle & BS_TYPEMASK;
    if (nType == BS_GROUPBOX || (nStyle & (BS_BITMAP | BS_ICON)))
        return;
    std::wstring strText = TextOf(hWnd);
    if (strText.empty())
        return;
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    int nRoom = rc.right;
    if (nType == BS_CHECKBOX || nType == BS_AUTOCHECKBOX || nType == BS_RADIOBUTTON || nType == BS_AUTORADIOBUTTON ||
        nType == BS_3STATE || nType == BS_AUTO3STATE)
        nRoom -= 16;  // the box and its gap
    else if (nType != BS_OWNERDRAW)
        nRoom -= 12;  // the frame and the padding the themes keep inside it
    SIZE size = TextExtent(hWnd, strText, (nStyle & BS_MULTILINE) ? nRoom : 0);
    if (size.cx > nRoom || size.cy > rc.bottom)
        faults.push_back(Name(hWnd) + ": text needs " + std::to_string(size.cx) + "x" + std::to_string(size.cy) +
                         ", has " + std::to_string(nRoom) + "x" + std::to_string(rc.bottom));
}

void CheckListRows(HWND hWnd, std::vector<std::string>& faults)
{
    // An owner-drawn list ends what does not fit with "...": only its columns count.
    const LONG nStyle = ::GetWindowLongW(hWnd, GWL_STYLE);
    if ((nStyle & LVS_TYPEMASK) != LVS_REPORT)
        return;
    const bool bEllipsis = (nStyle & LVS_OWNERDRAWFIXED) != 0;
    // A list that scrolls sideways shows every column; its rows still count.
    const bool bScrolls = (nStyle & WS_HSCROLL) != 0;
    const DWORD dwExStyle = (DWORD)::SendMessageW(hWnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    const int nCheckBox = (dwExStyle & LVS_EX_CHECKBOXES) ? ::GetSystemMetrics(SM_CXSMICON) : 0;
    RECT rcClient;
    ::GetClientRect(hWnd, &rcClient);
    HWND hHeader = (HWND)::SendMessageW(hWnd, LVM_GETHEADER, 0, 0);
    const int nColumns = hHeader != NULL ? (int)::SendMessageW(hHeader, HDM_GETITEMCOUNT, 0, 0) : 0;
    const int nRows = (int)::SendMessageW(hWnd, LVM_GETITEMCOUNT, 0, 0);
    int nRight = 0;
    for (int nColumn = 0; nColumn < nColumns; nColumn++)
    {
        const int nWidth = (int)::SendMessageW(hWnd, LVM_GETCOLUMNWIDTH, nColumn, 0);
        nRight += nWidth;
        for (int nRow = 0; nRow < nRows; nRow++)
        {
            wchar_t szText[520] = L"";
            LVITEMW item = {};
            item.iSubItem = nColumn;
            item.pszText = szText;
            item.cchTextMax = 520;
            ::SendMessageW(hWnd, LVM_GETITEMTEXTW, nRow, (LPARAM)&item);
            // The list's own margins: 6 on each side of a cell.
            const int nNeeded = (int)::SendMessageW(hWnd, LVM_GETSTRINGWIDTHW, 0, (LPARAM)szText) + 12 +
                                (nColumn == 0 ? nCheckBox : 0);
            if (!bEllipsis && szText[0] != 0 && nNeeded > nWidth)
                faults.push_back(Name(hWnd) + ": row " + std::to_string(nRow) + " column " + std::to_string(nColumn) +
                                 " \"" + Narrow(szText).substr(0, 40) + "\" needs " + std::to_string(nNeeded) +
                                 ", has " + std::to_string(nWidth));
        }
        if (nRows > 0 && !bScrolls && nRight > rcClient.right)
            faults.push_back(Name(hWnd) + ": column " + std::to_string(nColumn) + " ends at " + std::to_string(nRight) +
                             ", the list at " + std::to_string(rcClient.right));
    }
}

void CheckChildren(HWND hParent, HWND hHost, const RECT& rcPage, std::vector<std::string>& faults)
{
    const RECT rcParent = ClientIn(hParent, hHost);
    for (HWND hChild = ::GetWindow(hParent, GW_CHILD); hChild != NULL; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        if (!::IsWindowVisible(hChild))
            continue;
        const RECT rc = WindowIn(hChild, hHost);
        if (rc.right <= rc.left || rc.bottom <= rc.top)
            continue;
        if (!Inside(rc, rcPage))
            faults.push_back(Name(hChild) + " at " + Rect(rc) + " leaves the page area " + Rect(rcPage));
        else if (!Inside(rc, rcParent))
            faults.push_back(Name(hChild) + " at " + Rect(rc) + " is cut by its parent's " + Rect(rcParent));
        const std::wstring strClass = ClassOf(hChild);
        if (strClass == L"Static")
            CheckStaticText(hChild, faults);
        else if (strClass == L"Button")
            CheckButtonText(hChild, faults);
        else if (strClass == WC_LISTVIEWW)
            CheckListRows(hChild, faults);
        // A list's or tree's own parts are its business; a child dialog's are ours.
        if (strClass == L"#32770")
            CheckChildren(hChild, hHost, rcPage, faults);
    }
}

} // namespace

std::vector<std::string> CheckViewFits(HWND hView, HWND hHost, const RECT& rcPage)
{
    std::vector<std::string> faults;
    const RECT rcView = WindowIn(hView, hHost);
    const RECT rcGiven = {rcPage.left - 10, rcPage.top, rcPage.right, rcPage.bottom};
    if (!Inside(rcView, rcGiven))
        faults.push_back("the view " + Name(hView) + " at " + Rect(rcView) + " leaves the host's " + Rect(rcGiven));
    CheckChildren(hView, hHost, rcPage, faults);
    return faults;
}

std::string Join(const std::vector<std::string>& faults)
{
    std::string str;
    for (const std::string& strFault : faults)
        str += strFault + "\n";
    return str;
}

} // namespace viewgeo
