#include "tests/main_window/LayoutCheck.h"
#include "controls/skin/ButtonST.h"
#include "controls/skin/ButtonVE_Task.h"
#include "controls/skin/CaptionBar.h"
#include "controls/skin/GuiFolder.h"
#include "controls/skin/GuiOutLook.h"
#include "controls/skin/GuiToolButton.h"
#include "controls/skin/HyperlinkCtrl.h"
#include "controls/skin/TextLabel.h"
#include <algorithm>
#include <climits>
#include <cstring>
#include <cwctype>

namespace {

// The box of a system check box or radio button and the gap before its text.
const int kGlyphRoom = 13 + 4;
// A push button's frame and a little air on each side.
const int kPushButtonRoom = 8;
// A group box's text starts about a character in and needs as much after it.
const int kGroupBoxRoom = 16;

std::wstring ClassName(HWND hWnd)
{
    WCHAR szClass[64] = L"";
    ::GetClassNameW(hWnd, szClass, 64);
    return szClass;
}

CString WindowText(HWND hWnd)
{
    CString strText;
    int nLength = ::GetWindowTextLengthW(hWnd);
    if (nLength > 0)
    {
        std::wstring buffer(nLength + 1, L'\0');
        ::GetWindowTextW(hWnd, &buffer[0], nLength + 1);
        strText = buffer.c_str();
    }
    return strText;
}

bool IsSubDialog(HWND hWnd)
{
    return ClassName(hWnd) == L"#32770";
}

// An owned font for one measurement.
class CScopedFont
{
public:
    CScopedFont(int nHeight, int nWeight, LPCWSTR pszFace, BOOL bUnderline = FALSE)
        : m_hFont(::CreateFontW(nHeight, 0, 0, 0, nWeight, 0, bUnderline, 0, ANSI_CHARSET, 0, 0, 0, FF_SWISS, pszFace))
    {
    }
    ~CScopedFont() { ::DeleteObject(m_hFont); }
    operator HFONT() const { return m_hFont; }

private:
    HFONT m_hFont;
};

HFONT ControlFont(HWND hWnd)
{
    HFONT hFont = (HFONT)::SendMessageW(hWnd, WM_GETFONT, 0, 0);
    return hFont != NULL ? hFont : (HFONT)::GetStockObject(SYSTEM_FONT);
}

int LineHeight(HWND hWnd, HFONT hFont)
{
    HDC hDC = ::GetDC(hWnd);
    HGDIOBJ hOld = ::SelectObject(hDC, hFont);
    TEXTMETRICW tm = {};
    ::GetTextMetricsW(hDC, &tm);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(hWnd, hDC);
    return tm.tmHeight > 0 ? tm.tmHeight : 1;
}

// Whether a text fits a room: no line wider, and no more lines than the
// height shows (a line two thirds visible counts as shown).
bool Fits(HWND hWnd, HFONT hFont, const CString& strText, UINT uFormat, CSize sizeRoom, std::wstring& strWhat)
{
    if (sizeRoom.cx <= 0)
    {
        strWhat = L"leaves no room for its text";
        return false;
    }
    CSize size = MeasureText(hWnd, hFont, strText, uFormat, sizeRoom.cx);
    if (size.cx > sizeRoom.cx)
    {
        strWhat = L"text needs " + std::to_wstring(size.cx) + L" px, the room is " + std::to_wstring(sizeRoom.cx);
        return false;
    }
    if (uFormat & DT_WORDBREAK)
    {
        int nLine = LineHeight(hWnd, hFont);
        int nLines = (size.cy + nLine - 1) / nLine;
        int nShown = (sizeRoom.cy + nLine / 3) / nLine;
        if (nLines > (nShown > 0 ? nShown : 1))
        {
            strWhat = L"text takes " + std::to_wstring(nLines) + L" lines, " + std::to_wstring(nShown) + L" show";
            return false;
        }
    }
    return true;
}

// The screen's pixels over a rectangle, row by row.
std::vector<DWORD> ScreenPixels(const CRect& rc)
{
    std::vector<DWORD> pixels((size_t)rc.Width() * rc.Height());
    HDC hScreen = ::GetDC(NULL);
    HDC hDC = ::CreateCompatibleDC(hScreen);
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = rc.Width();
    bmi.bmiHeader.biHeight = -rc.Height();
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* pBits = NULL;
    HBITMAP hBitmap = ::CreateDIBSection(hDC, &bmi, DIB_RGB_COLORS, &pBits, NULL, 0);
    if (hBitmap != NULL && pBits != NULL)
    {
        HGDIOBJ hOld = ::SelectObject(hDC, hBitmap);
        ::BitBlt(hDC, 0, 0, rc.Width(), rc.Height(), hScreen, rc.left, rc.top, SRCCOPY);
        ::GdiFlush();
        memcpy(pixels.data(), pBits, pixels.size() * sizeof(DWORD));
        ::SelectObject(hDC, hOld);
    }
    if (hBitmap != NULL)
        ::DeleteObject(hBitmap);
    ::DeleteDC(hDC);
    ::ReleaseDC(NULL, hScreen);
    return pixels;
}

} // namespace

CSize MeasureText(HWND hWnd, HFONT hFont, const CString& strText, UINT uFormat, int nWidth)
{
    HDC hDC = ::GetDC(hWnd);
    HGDIOBJ hOld = ::SelectObject(hDC, hFont);
    RECT rc = {0, 0, nWidth, 0};
    ::DrawTextW(hDC, strText, -1, &rc, uFormat | DT_CALCRECT);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(hWnd, hDC);
    return CSize(rc.right - rc.left, rc.bottom - rc.top);
}

void CLayoutCheck::Fail(HWND hWnd, const std::wstring& strWhere, const std::wstring& strWhat)
{
    CString strText = WindowText(hWnd);
    if (CCaptionBar* pBar = dynamic_cast<CCaptionBar*>(CWnd::FromHandlePermanent(hWnd)))
        strText = pBar->GetCaption();
    m_faults.push_back(strWhere + L": control " + std::to_wstring(::GetDlgCtrlID(hWnd)) + L" (" + ClassName(hWnd) +
                       L" \"" + (LPCWSTR)strText + L"\") " + strWhat);
}

namespace {
// A frame drawn around other controls: a caption bar or a group box.
bool IsFrame(HWND hWnd)
{
    if (dynamic_cast<CCaptionBar*>(CWnd::FromHandlePermanent(hWnd)) != NULL)
        return true;
    return ClassName(hWnd) == L"Button" && ((DWORD)::GetWindowLongPtrW(hWnd, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}
} // namespace

void CLayoutCheck::CheckControls(HWND hParent, const CRect& rcArea, const std::wstring& strWhere)
{
    // A control that lies across a frame's edge cuts a gap into it.
    for (HWND hFrame = ::GetWindow(hParent, GW_CHILD); hFrame != NULL; hFrame = ::GetWindow(hFrame, GW_HWNDNEXT))
    {
        if (!::IsWindowVisible(hFrame) || !IsFrame(hFrame))
            continue;
        CRect rcFrame;
        ::GetWindowRect(hFrame, &rcFrame);
        for (HWND hChild = ::GetWindow(hParent, GW_CHILD); hChild != NULL; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
        {
            if (hChild == hFrame || !::IsWindowVisible(hChild))
                continue;
            CRect rc, rcBoth;
            ::GetWindowRect(hChild, &rc);
            if (!rcBoth.IntersectRect(&rc, &rcFrame) || rcBoth == rcFrame)
                continue;
            // Inside, it still hides the edge line when it reaches it.
            CRect rcInner = rcFrame;
            rcInner.DeflateRect(2, 2);
            CRect rcIn;
            if (rcBoth != rc || (rcIn.IntersectRect(&rc, &rcInner) && rcIn != rc))
                Fail(hChild, strWhere, L"lies across the edge of frame " + std::to_wstring(::GetDlgCtrlID(hFrame)));
        }
    }
    for (HWND hChild = ::GetWindow(hParent, GW_CHILD); hChild != NULL; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        if (!::IsWindowVisible(hChild))
            continue;
        CheckOne(hChild, rcArea, strWhere, true);
        if (IsSubDialog(hChild))
        {
            // A sub-dialog's controls belong inside it as much as inside the area.
            CRect rcInner;
            ::GetClientRect(hChild, &rcInner);
            ::MapWindowPoints(hChild, NULL, (LPPOINT)&rcInner, 2);
            rcInner.IntersectRect(&rcInner, &rcArea);
            CheckControls(hChild, rcInner, strWhere);
        }
    }
}

void CLayoutCheck::CheckPageAreaOwner(HWND hMain, HWND hPage, const CRect& rcArea, const std::wstring& strWhere)
{
    for (HWND hChild = ::GetWindow(hMain, GW_CHILD); hChild != NULL; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        if (hChild == hPage || !::IsWindowVisible(hChild))
            continue;
        CRect rc, rcOver;
        ::GetWindowRect(hChild, &rc);
        if (!rcOver.IntersectRect(&rc, &rcArea))
            continue;
        rcOver.OffsetRect(-rcArea.left, -rcArea.top);
        Fail(hChild, strWhere,
             L"is left visible over the page area at (" + std::to_wstring(rcOver.left) + L", " +
                 std::to_wstring(rcOver.top) + L", " + std::to_wstring(rcOver.right) + L", " +
                 std::to_wstring(rcOver.bottom) + L")");
    }
}

void CLayoutCheck::CheckPaintedWhole(HWND hMain, const CRect& rcArea, const std::wstring& strWhere)
{
    std::vector<DWORD> before = ScreenPixels(rcArea);
    ::RedrawWindow(hMain, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    std::vector<DWORD> after = ScreenPixels(rcArea);
    CRect rcStale(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    int nStale = 0;
    for (int y = 0; y < rcArea.Height(); y++)
    {
        for (int x = 0; x < rcArea.Width(); x++)
        {
            size_t n = (size_t)y * rcArea.Width() + x;
            if ((before[n] & 0xFFFFFF) == (after[n] & 0xFFFFFF))
                continue;
            ++nStale;
            rcStale.left = std::min<int>(rcStale.left, x);
            rcStale.top = std::min<int>(rcStale.top, y);
            rcStale.right = std::max<int>(rcStale.right, x + 1);
            rcStale.bottom = std::max<int>(rcStale.bottom, y + 1);
        }
    }
    if (nStale > 0)
        m_faults.push_back(strWhere + L": " + std::to_wstring(nStale) + L" pixels were left unpainted in (" +
                           std::to_wstring(rcStale.left) + L", " + std::to_wstring(rcStale.top) + L", " +
                           std::to_wstring(rcStale.right) + L", " + std::to_wstring(rcStale.bottom) + L")");
}

void CLayoutCheck::CheckTexts(HWND hParent, const std::wstring& strWhere)
{
    for (HWND hChild = ::GetWindow(hParent, GW_CHILD); hChild != NULL; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        if (::IsWindowVisible(hChild) && !IsSubDialog(hChild))
            CheckText(hChild, strWhere);
    }
}

void CLayoutCheck::CheckOne(HWND hWnd, const CRect& rcArea, const std::wstring& strWhere, bool bPlace)
{
    if (bPlace)
    {
        CRect rc, rcInside;
        ::GetWindowRect(hWnd, &rc);
        rcInside.IntersectRect(&rc, &rcArea);
        if (rcInside != rc)
        {
            CRect rcOut = rc;
            rcOut.OffsetRect(-rcArea.left, -rcArea.top);
            Fail(hWnd, strWhere,
                 L"lies outside its area: (" + std::to_wstring(rcOut.left) + L", " + std::to_wstring(rcOut.top) + L", " +
                     std::to_wstring(rcOut.right) + L", " + std::to_wstring(rcOut.bottom) + L") in an area of " +
                     std::to_wstring(rcArea.Width()) + L" x " + std::to_wstring(rcArea.Height()));
        }
    }
    if (!IsSubDialog(hWnd))
        CheckText(hWnd, strWhere);
}

void CLayoutCheck::CheckText(HWND hWnd, const std::wstring& strWhere)
{
    CRect rcClient;
    ::GetClientRect(hWnd, &rcClient);
    const CSize sizeClient = rcClient.Size();
    const DWORD dwStyle = (DWORD)::GetWindowLongPtrW(hWnd, GWL_STYLE);
    const std::wstring strClass = ClassName(hWnd);
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    CString strText = WindowText(hWnd);
    std::wstring strWhat;

    if (CCaptionBar* pBar = dynamic_cast<CCaptionBar*>(pWnd))
    {
        // Caption 6 pixels in, on a patch 2 pixels wider, and the frame's corner after it.
        CScopedFont font(-11, FW_NORMAL, L"Verdana");
        CSize size = MeasureText(hWnd, font, pBar->GetCaption(), DT_SINGLELINE, 0);
        if (!pBar->GetCaption().IsEmpty() && 6 + size.cx + 2 + 6 > sizeClient.cx)
            Fail(hWnd, strWhere, L"caption is wider than the frame");
        return;
    }
    if (strText.IsEmpty())
        return;

    if (CButtonST* pButton = dynamic_cast<CButtonST*>(pWnd))
    {
        // The button draws in its own font, whatever the dialog's is.
        CScopedFont font(13, FW_NORMAL, L"Verdana");
        CSize sizePicture = pButton->GetBitmapSize();
        CPoint ptOrigin = pButton->GetImageOrigin();
        CSize sizeRoom = sizeClient;
        if (pButton->GetCheck() != -1)
            sizeRoom.cx -= sizePicture.cx > 0 ? 13 + ptOrigin.x + sizePicture.cx + ptOrigin.x
                                              : (int)CButtonST::CHECKBOX_TEXT_OFFSET;
        else if (sizePicture.cx > 0 && pButton->GetAlign() == CButtonST::ST_ALIGN_VERT)
            sizeRoom.cy -= sizePicture.cy;
        else if (sizePicture.cx > 0 && pButton->GetAlign() != CButtonST::ST_ALIGN_OVERLAP)
            sizeRoom.cx -= sizePicture.cx + ptOrigin.x;
        if (!Fits(hWnd, font, strText, DT_WORDBREAK | DT_CENTER, sizeRoom, strWhat))
            Fail(hWnd, strWhere, strWhat);
        return;
    }
    if (CButtonVE_Task* pTask = dynamic_cast<CButtonVE_Task*>(pWnd))
    {
        // Title line in the button's title font, description lines in the
        // dialog font, right of the picture: 8-pixel margins inside the
        // 3-pixel frame, 8 between picture and text; all lines in its height.
        int nPicture = 0;
        HBITMAP hBitmap = (HBITMAP)::SendMessageW(hWnd, BM_GETIMAGE, IMAGE_BITMAP, 0);
        BITMAP bm = {};
        if (hBitmap != NULL && ::GetObjectW(hBitmap, sizeof(bm), &bm) != 0)
            nPicture = bm.bmWidth + 8;
        CSize sizeRoom(sizeClient.cx - 2 * (8 + 3) - nPicture, sizeClient.cy - 2 * 8);
        int nLine = 0, nHeight = 0;
        for (int nStart = 0; nStart <= strText.GetLength(); nLine++)
        {
            int nEnd = strText.Find(L'\n', nStart);
            if (nEnd < 0)
                nEnd = strText.GetLength();
            CString strLine = strText.Mid(nStart, nEnd - nStart);
            // A space before the break wraps on its own when the line is
            // just short enough, and shows as a blank line.
            if (nLine > 0 && !strLine.IsEmpty() && iswspace(strLine[strLine.GetLength() - 1]))
                Fail(hWnd, strWhere, L"line \"" + std::wstring((LPCWSTR)strLine) + L"\" ends in a space");
            strLine.TrimRight();
            nStart = nEnd + 1;
            HFONT hFont = nLine == 0 ? (HFONT)pTask->GetCaptionFont().GetSafeHandle() : ControlFont(hWnd);
            // The title shrinks to fit one line; a description line may wrap.
            CSize size = MeasureText(hWnd, hFont, strLine.IsEmpty() ? CString(L" ") : strLine,
                                     nLine == 0 ? DT_SINGLELINE | DT_NOPREFIX : DT_WORDBREAK | DT_NOPREFIX,
                                     nLine == 0 ? 0 : sizeRoom.cx);
            nHeight += size.cy;
            if (size.cx > sizeRoom.cx)
                Fail(hWnd, strWhere, L"line \"" + std::wstring((LPCWSTR)strLine) + L"\" needs " +
                                         std::to_wstring(size.cx) + L" px, the room is " + std::to_wstring(sizeRoom.cx));
        }
        if (nHeight > sizeRoom.cy + 4)
            Fail(hWnd, strWhere, L"lines need " + std::to_wstring(nHeight) + L" px, the room is " +
                                     std::to_wstring(sizeRoom.cy));
        return;
    }
    if (CTextLabel* pLabel = dynamic_cast<CTextLabel*>(pWnd))
    {
        CScopedFont font(pLabel->GetTextHeight(), pLabel->IsBold() ? 900 : 400, pLabel->GetFaceName());
        if (!Fits(hWnd, font, strText, DT_WORDBREAK | DT_NOPREFIX, sizeClient, strWhat))
            Fail(hWnd, strWhere, strWhat);
        return;
    }

    if (strClass == L"Static")
    {
        const DWORD dwType = dwStyle & SS_TYPEMASK;
        if (dwType != SS_LEFT && dwType != SS_CENTER && dwType != SS_RIGHT && dwType != SS_SIMPLE &&
            dwType != SS_LEFTNOWORDWRAP)
            return;
        if (dwStyle & SS_ELLIPSISMASK)
            return;  // shortens its text itself
        HFONT hFont = ControlFont(hWnd);
        CScopedFont fontLink(14, FW_NORMAL, L"Verdana", TRUE);
        CHyperlinkCtrl* pLink = dynamic_cast<CHyperlinkCtrl*>(pWnd);
        if (pLink != NULL && pLink->GetUnderline())
            hFont = fontLink;
        UINT uFormat = (dwStyle & SS_NOPREFIX) ? DT_NOPREFIX : 0;
        uFormat |= (dwType == SS_SIMPLE || dwType == SS_LEFTNOWORDWRAP) ? DT_SINGLELINE : DT_WORDBREAK | DT_EXPANDTABS;
        if (!Fits(hWnd, hFont, strText, uFormat, sizeClient, strWhat))
            Fail(hWnd, strWhere, strWhat);
        return;
    }
    if (strClass == L"Button")
    {
        const DWORD dwType = dwStyle & BS_TYPEMASK;
        const UINT uLines = (dwStyle & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
        CSize sizeRoom = sizeClient;
        switch (dwType)
        {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            sizeRoom.cx -= kGlyphRoom;
            break;
        case BS_GROUPBOX:
            sizeRoom.cx -= kGroupBoxRoom;
            if (!Fits(hWnd, ControlFont(hWnd), strText, DT_SINGLELINE, sizeRoom, strWhat))
                Fail(hWnd, strWhere, strWhat);
            return;
        case BS_OWNERDRAW:
            // A button of the libraries or a task button: every line of its text in its room.
            sizeRoom.cx -= kPushButtonRoom;
            strText.Replace(L"\n", L"\r\n");
            if (!Fits(hWnd, ControlFont(hWnd), strText, DT_WORDBREAK, CSize(sizeRoom.cx, 10000), strWhat))
                Fail(hWnd, strWhere, strWhat);
            return;
        default:
            sizeRoom.cx -= kPushButtonRoom;
            break;
        }
        if (!Fits(hWnd, ControlFont(hWnd), strText, uLines, sizeRoom, strWhat))
            Fail(hWnd, strWhere, strWhat);
    }
}

void CLayoutCheck::CheckNavigation(CWnd* pFolderWnd, const std::vector<CWnd*>& bars)
{
    CGuiFolder* pFolder = dynamic_cast<CGuiFolder*>(pFolderWnd);
    if (pFolder == NULL)
        return;
    // Folder captions: bold Verdana 14 right of a 32-pixel image, one or two lines.
    CScopedFont fontFolder(14, FW_BOLD, L"Verdana");
    for (int i = 0; i < pFolder->GetFolderCount(); i++)
    {
        FolderRecord* pRecord = pFolder->GetFolder(i);
        if (pRecord == NULL)
            continue;
        CRect rcHeader = pRecord->rcHeader;
        CSize sizeRoom(rcHeader.Width() - 1 - CGuiFolder::CAPTION_IMAGE_LEFT - 32 - 2 * CGuiFolder::CAPTION_GAP,
                       rcHeader.Height() - 1);
        std::wstring strWhat;
        if (!Fits(pFolder->m_hWnd, fontFolder, pRecord->strName, DT_WORDBREAK, sizeRoom, strWhat))
            m_faults.push_back(L"navigation: folder " + std::to_wstring(i) + L" \"" + (LPCWSTR)pRecord->strName +
                               L"\" " + strWhat);
    }
    // Item captions: Verdana 14 on one line, right of the icon, inside the bar.
    CScopedFont fontItem(14, FW_NORMAL, L"Verdana");
    for (CWnd* pBarWnd : bars)
    {
        CGuiOutLook* pBar = dynamic_cast<CGuiOutLook*>(pBarWnd);
        if (pBar == NULL || pBar->GetSafeHwnd() == NULL)
            continue;
        CRect rcBar;
        pBar->GetWindowRect(&rcBar);
        for (int i = 0; i < pBar->GetItemCount(); i++)
        {
            OutlookItem* pItem = pBar->GetItem(i);
            if (pItem == NULL || pItem->button.GetSafeHwnd() == NULL)
                continue;
            CGuiToolButton& button = pItem->button;
            CRect rcButton, rcClient;
            button.GetWindowRect(&rcButton);
            button.GetClientRect(&rcClient);
            std::wstring strWhere = L"navigation bar " + std::to_wstring(pBar->GetDlgCtrlID());
            CRect rcInside;
            rcInside.IntersectRect(&rcButton, &rcBar);
            if (rcInside != rcButton)
                Fail(button.m_hWnd, strWhere, L"lies outside its bar");
            std::wstring strWhat;
            CSize sizeRoom(rcClient.Width() - button.GetTextLeft() - CGuiToolButton::TEXT_RIGHT_MARGIN,
                           rcClient.Height());
            if (!Fits(button.m_hWnd, fontItem, button.GetCaption(), DT_SINGLELINE, sizeRoom, strWhat))
                m_faults.push_back(strWhere + L": item \"" + (LPCWSTR)button.GetCaption() + L"\" " + strWhat);
        }
    }
}
