#include "controls/skin/MenuXP.h"
#include "controls/skin/DrawHelpersXP.h"
#include <algorithm>
#include <map>
#include <vector>

namespace {

const WCHAR s_szPropMenuXP[] = L"XPWndProp_MenuXP";
const WCHAR s_szPropOldProc[] = L"XPWndProp_OldProc";

struct ImageRef
{
    HIMAGELIST hImageList;
    int nImage;
};

struct MenuWindow
{
    HWND hWnd;
    RECT rcWindow;
    POINT ptLast;
    HBITMAP hbmBehind;
};

// Texts and images by submenu handle and by command id; measurements by
// (command id, item data), so the owner's data word stays the owner's.
struct MenuTables
{
    std::map<HMENU, CString> textsBySubmenu;
    std::map<UINT, CString> textsById;
    std::map<HMENU, ImageRef> imagesBySubmenu;
    std::map<UINT, ImageRef> imagesById;
    std::map<std::pair<UINT, ULONG_PTR>, CMenuXP::Measure> measures;
    std::map<HWND, MenuWindow> windows;
    RECT rcMenuBarItem = {};
    int nPaintCount = 0;
    HHOOK hHook = NULL;
    int nHookCount = 0;
};

MenuTables& Tables()
{
    static MenuTables s_tables;
    return s_tables;
}

bool HasShadow()
{
    return GetWinVersion() != WINVER_XP_CLASS;
}

const int SHADOW = 4;

void MeasureText(HDC hDC, const CString& strText, BOOL bBold, int& nText, int& nShortcut)
{
    CBoldDC bold(hDC, bBold);
    int nTab = strText.Find(L'\t');
    CString strMain = nTab < 0 ? strText : strText.Left(nTab);
    CString strKey = nTab < 0 ? CString() : strText.Mid(nTab + 1);
    RECT rc = {0, 0, 0, 0};
    ::DrawTextW(hDC, strMain, strMain.GetLength(), &rc, DT_SINGLELINE | DT_CALCRECT);
    nText = rc.right;
    rc = RECT{0, 0, 0, 0};
    nShortcut = 0;
    if (!strKey.IsEmpty())
    {
        ::DrawTextW(hDC, strKey, strKey.GetLength(), &rc, DT_SINGLELINE | DT_CALCRECT);
        nShortcut = rc.right;
    }
}

// The first toolbar child of the window that has a button for the command.
BOOL FindToolbarImage(HWND hWnd, UINT nID, ImageRef& ref)
{
    for (HWND hChild = ::GetWindow(hWnd, GW_CHILD); hChild != NULL; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        WCHAR szClass[32] = L"";
        ::GetClassNameW(hChild, szClass, 32);
        if (lstrcmpiW(szClass, L"ToolbarWindow32") != 0)
            continue;
        TBBUTTONINFOW info = {};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_IMAGE;
        if (::SendMessageW(hChild, TB_GETBUTTONINFOW, nID, (LPARAM)&info) < 0 || info.iImage < 0)
            continue;
        HIMAGELIST hImageList = (HIMAGELIST)::SendMessageW(hChild, TB_GETIMAGELIST, 0, 0);
        if (hImageList == NULL)
            continue;
        ref.hImageList = hImageList;
        ref.nImage = info.iImage;
        return TRUE;
    }
    return FALSE;
}

// The position of the item with this id and data in the menu, or -1.
int FindItem(HMENU hMenu, UINT nID, ULONG_PTR dwData)
{
    int nCount = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < nCount; i++)
    {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_DATA;
        if (::GetMenuItemInfoW(hMenu, i, TRUE, &info) && info.wID == nID && info.dwItemData == dwData)
            return i;
    }
    return -1;
}

} // namespace

// ---- CMenuItemXP ------------------------------------------------------------------------

CMenuItemXP::CMenuItemXP(HMENU hMenu, UINT nPos) : m_hImageList(NULL), m_nImage(-1), m_bValid(FALSE)
{
    ZeroMemory(&m_info, sizeof(m_info));
    // The size of this build's record: a 32-bit size is refused by 64-bit menus.
    m_info.cbSize = sizeof(m_info);
    m_info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | MIIM_DATA;
    m_bValid = ::GetMenuItemInfoW(hMenu, nPos, TRUE, &m_info);
    if (!m_bValid || IsSeparator())
        return;
    MenuTables& tables = Tables();
    if (m_info.hSubMenu != NULL)
    {
        auto it = tables.textsBySubmenu.find(m_info.hSubMenu);
        if (it != tables.textsBySubmenu.end())
            m_strText = it->second;
        auto img = tables.imagesBySubmenu.find(m_info.hSubMenu);
        if (img != tables.imagesBySubmenu.end())
        {
            m_hImageList = img->second.hImageList;
            m_nImage = img->second.nImage;
        }
    }
    else
    {
        auto it = tables.textsById.find(m_info.wID);
        if (it != tables.textsById.end())
            m_strText = it->second;
        auto img = tables.imagesById.find(m_info.wID);
        if (img != tables.imagesById.end())
        {
            m_hImageList = img->second.hImageList;
            m_nImage = img->second.nImage;
        }
    }
}

// ---- Tables and hook ----------------------------------------------------------------------

void CMenuXP::InstallHook()
{
    MenuTables& tables = Tables();
    if (tables.nHookCount++ == 0)
        tables.hHook = ::SetWindowsHookExW(WH_CALLWNDPROC, &CMenuXP::HookProc, NULL, ::GetCurrentThreadId());
}

void CMenuXP::UninstallHook()
{
    MenuTables& tables = Tables();
    if (tables.nHookCount <= 0)
        return;
    if (--tables.nHookCount > 0)
        return;
    while (!tables.windows.empty())
        EndMenuWindow(tables.windows.begin()->first);
    if (tables.hHook != NULL)
        ::UnhookWindowsHookEx(tables.hHook);
    tables.hHook = NULL;
}

int CMenuXP::GetHookCount()
{
    return Tables().nHookCount;
}

void CMenuXP::SetXPLook(HWND hWnd, BOOL bOn)
{
    if (bOn)
        ::SetPropW(hWnd, s_szPropMenuXP, (HANDLE)1);
    else
        ::RemovePropW(hWnd, s_szPropMenuXP);
}

void CMenuXP::UpdateMenuBar(HWND hWnd)
{
    if (::GetPropW(hWnd, s_szPropMenuXP) != NULL && ::GetMenu(hWnd) != NULL)
        UpdateMenu(hWnd, ::GetMenu(hWnd), TRUE, FALSE);
}

COLORREF CMenuXP::MenuBackColor()
{
    return HLSTransform(::GetSysColor(COLOR_3DFACE), 75, 0);
}

COLORREF CMenuXP::IconColumnColor()
{
    return HLSTransform(::GetSysColor(COLOR_3DFACE), 20, 0);
}

void CMenuXP::UpdateMenu(HWND hWnd, HMENU hMenu, BOOL bConvert, BOOL bPopupOnly)
{
    MenuTables& tables = Tables();
    for (auto it = tables.textsBySubmenu.begin(); it != tables.textsBySubmenu.end();)
        it = ::IsMenu(it->first) ? std::next(it) : tables.textsBySubmenu.erase(it);
    for (auto it = tables.imagesBySubmenu.begin(); it != tables.imagesBySubmenu.end();)
        it = ::IsMenu(it->first) ? std::next(it) : tables.imagesBySubmenu.erase(it);
    for (auto it = tables.measures.begin(); it != tables.measures.end();)
        it = ::IsMenu(it->second.hMenu) ? std::next(it) : tables.measures.erase(it);
    if (hMenu == NULL || !::IsMenu(hMenu))
        return;

    HDC hDC = ::GetDC(NULL);
    HGDIOBJ hOldFont = ::SelectObject(hDC, ::GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW tm = {};
    ::GetTextMetricsW(hDC, &tm);
    int nItemHeight = std::max<int>(tm.tmHeight + 2, 16) + 4;
    int nSeparatorHeight = tm.tmHeight / 2 + 2;
    BOOL bMenuBar = !bPopupOnly && hWnd != NULL && ::GetMenu(hWnd) == hMenu;

    int nCount = ::GetMenuItemCount(hMenu);
    int nMaxText = 0, nMaxShortcut = 0;
    std::vector<std::pair<UINT, ULONG_PTR>> keys;
    std::vector<int> heights;
    for (int i = 0; i < nCount; i++)
    {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | MIIM_DATA | MIIM_STRING;
        WCHAR szText[512] = L"";
        info.dwTypeData = szText;
        info.cch = 511;
        if (!::GetMenuItemInfoW(hMenu, i, TRUE, &info))
            continue;
        if (!bConvert)
        {
            if (info.fType & MFT_OWNERDRAW)
            {
                MENUITEMINFOW set = {};
                set.cbSize = sizeof(set);
                set.fMask = MIIM_FTYPE;
                set.fType = info.fType & ~MFT_OWNERDRAW;
                ::SetMenuItemInfoW(hMenu, i, TRUE, &set);
            }
            continue;
        }
        BOOL bSeparator = (info.fType & MFT_SEPARATOR) != 0;
        CString strText;
        if (info.fType & MFT_OWNERDRAW)
        {
            // Already ours (or the owner's): its recorded text still counts.
            if (info.hSubMenu != NULL && tables.textsBySubmenu.count(info.hSubMenu))
                strText = tables.textsBySubmenu[info.hSubMenu];
            else if (info.hSubMenu == NULL && tables.textsById.count(info.wID))
                strText = tables.textsById[info.wID];
        }
        else
        {
            strText = szText;
            if (!bSeparator)
            {
                if (info.hSubMenu != NULL)
                    tables.textsBySubmenu[info.hSubMenu] = strText;
                else
                {
                    tables.textsById[info.wID] = strText;
                    ImageRef ref;
                    if (hWnd != NULL && FindToolbarImage(hWnd, info.wID, ref))
                        tables.imagesById[info.wID] = ref;
                }
            }
            // Only the type changes: the text stays with the item, and so does its data.
            MENUITEMINFOW set = {};
            set.cbSize = sizeof(set);
            set.fMask = MIIM_FTYPE;
            set.fType = info.fType | MFT_OWNERDRAW;
            ::SetMenuItemInfoW(hMenu, i, TRUE, &set);
        }
        if (!bSeparator)
        {
            int nText = 0, nShortcut = 0;
            MeasureText(hDC, strText, (info.fState & MFS_DEFAULT) != 0, nText, nShortcut);
            nMaxText = std::max(nMaxText, nText);
            nMaxShortcut = std::max(nMaxShortcut, nShortcut);
        }
        keys.push_back(std::make_pair(info.wID, info.dwItemData));
        heights.push_back(bSeparator ? nSeparatorHeight : nItemHeight);
    }
    ::SelectObject(hDC, hOldFont);
    ::ReleaseDC(NULL, hDC);
    if (!bConvert)
        return;
    for (size_t i = 0; i < keys.size(); i++)
        tables.measures[keys[i]] = Measure{hMenu, nMaxText, nMaxShortcut, heights[i], bMenuBar};
}

BOOL CMenuXP::GetMeasure(UINT nItemID, ULONG_PTR dwItemData, Measure& measure)
{
    MenuTables& tables = Tables();
    auto it = tables.measures.find(std::make_pair(nItemID, dwItemData));
    if (it == tables.measures.end())
        return FALSE;
    measure = it->second;
    return TRUE;
}

BOOL CMenuXP::MeasureItem(MEASUREITEMSTRUCT* pMeasure)
{
    if (pMeasure == NULL || pMeasure->CtlType != ODT_MENU)
        return FALSE;
    Measure measure;
    if (!GetMeasure(pMeasure->itemID, pMeasure->itemData, measure))
        return FALSE;
    pMeasure->itemWidth = measure.nTextWidth + measure.nShortcutWidth + (measure.bMenuBar ? 4 : 42);
    pMeasure->itemHeight = measure.nHeight;
    return TRUE;
}

BOOL CMenuXP::DrawItem(DRAWITEMSTRUCT* pDraw)
{
    if (pDraw == NULL || pDraw->CtlType != ODT_MENU)
        return FALSE;
    HMENU hMenu = (HMENU)pDraw->hwndItem;
    Measure measure;
    if (!GetMeasure(pDraw->itemID, pDraw->itemData, measure))
        return FALSE;
    int nPos = FindItem(hMenu, pDraw->itemID, pDraw->itemData);
    if (nPos < 0)
        return FALSE;
    CMenuItemXP item(hMenu, (UINT)nPos);
    MenuTables& tables = Tables();
    tables.nPaintCount++;

    RECT rc = pDraw->rcItem;
    CBufferDC dc(pDraw->hDC, rc);
    CFontDC font(dc, DEFAULT_GUI_FONT);
    ::SetBkMode(dc, TRANSPARENT);
    BOOL bSelected = (pDraw->itemState & (ODS_SELECTED | ODS_HOTLIGHT)) != 0;
    BOOL bGrayed = (pDraw->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    COLORREF clrBack = MenuBackColor(), clrIcon = IconColumnColor();
    COLORREF clrGray = HLSTransform(::GetSysColor(COLOR_3DFACE), -18, 0);
    UINT nPrefix = 0;
    BOOL bCues = TRUE;
    ::SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &bCues, 0);
    if (!bCues && (pDraw->itemState & ODS_NOACCEL))
        nPrefix = DT_HIDEPREFIX;

    if (measure.bMenuBar)
    {
        HBRUSH hBack = ::CreateSolidBrush(::GetSysColor(COLOR_MENU));
        ::FillRect(dc, &rc, hBack);
        ::DeleteObject(hBack);
        if (bSelected)
        {
            CPenDC pen(dc, ::GetSysColor(COLOR_3DDKSHADOW));
            CBrushDC brush(dc, clrIcon);
            ::Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
            RECT rcScreen = rc;
            ::MapWindowPoints(::WindowFromDC(pDraw->hDC), NULL, (LPPOINT)&rcScreen, 2);
            tables.rcMenuBarItem = rcScreen;
        }
        RECT rcText = rc;
        ::SetTextColor(dc, bGrayed ? clrGray : ::GetSysColor(COLOR_MENUTEXT));
        ::DrawTextW(dc, item.m_strText, item.m_strText.GetLength(), &rcText,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE | nPrefix);
        return TRUE;
    }

    int nIconWidth = (rc.bottom - rc.top) + 2;
    RECT rcIcon = {rc.left, rc.top, rc.left + nIconWidth, rc.bottom};
    RECT rcBack = {rcIcon.right, rc.top, rc.right, rc.bottom};
    HBRUSH hIcon = ::CreateSolidBrush(clrIcon), hBack = ::CreateSolidBrush(clrBack);
    ::FillRect(dc, &rcIcon, hIcon);
    ::FillRect(dc, &rcBack, hBack);
    ::DeleteObject(hIcon);
    ::DeleteObject(hBack);

    if (item.IsSeparator())
    {
        CPenDC pen(dc, clrGray);
        int y = (rc.top + rc.bottom) / 2;
        ::MoveToEx(dc, rcIcon.right + 8, y, NULL);
        ::LineTo(dc, rc.right, y);
        return TRUE;
    }
    if (bSelected)
    {
        CPenDC pen(dc, ::GetSysColor(COLOR_HIGHLIGHT));
        CBrushDC brush(dc, bGrayed ? HLSTransform(::GetSysColor(COLOR_3DFACE), 73, 0)
                                   : HLSTransform(::GetSysColor(COLOR_HIGHLIGHT), 70, -57));
        ::Rectangle(dc, rc.left + 1, rc.top, rc.right - 1, rc.bottom);
    }
    int nImageY = rc.top + ((rc.bottom - rc.top) - 16) / 2;
    if (item.m_hImageList != NULL && item.m_nImage >= 0)
    {
        if (bSelected && !bGrayed)
            ::ImageList_Draw(item.m_hImageList, item.m_nImage, dc, rc.left + 4, nImageY - 1, ILD_TRANSPARENT);
        else
            ::ImageList_Draw(item.m_hImageList, item.m_nImage, dc, rc.left + 3, nImageY, ILD_TRANSPARENT);
    }
    else if (pDraw->itemState & ODS_CHECKED)
    {
        HBITMAP hCheck = ::LoadBitmapW(NULL, MAKEINTRESOURCEW(32760)  /* OBM_CHECK */);
        if (hCheck != NULL)
        {
            BITMAP bm = {};
            ::GetObjectW(hCheck, sizeof(bm), &bm);
            HDC hMem = ::CreateCompatibleDC(dc);
            HGDIOBJ hOld = ::SelectObject(hMem, hCheck);
            int x = rc.left + (nIconWidth - bm.bmWidth) / 2, y = rc.top + ((rc.bottom - rc.top) - bm.bmHeight) / 2;
            ::BitBlt(dc, x, y, bm.bmWidth, bm.bmHeight, hMem, 0, 0, SRCAND);
            ::SelectObject(hMem, hOld);
            ::DeleteDC(hMem);
            ::DeleteObject(hCheck);
        }
    }
    CString strText = item.m_strText;
    int nTab = strText.Find(L'\t');
    CString strMain = nTab < 0 ? strText : strText.Left(nTab);
    CString strKey = nTab < 0 ? CString() : strText.Mid(nTab + 1);
    ::SetTextColor(dc, bGrayed ? clrGray : ::GetSysColor(COLOR_MENUTEXT));
    CBoldDC bold(dc, (pDraw->itemState & ODS_DEFAULT) != 0);
    RECT rcText = {rcIcon.right + 8, rc.top, rc.right - 8, rc.bottom};
    ::DrawTextW(dc, strMain, strMain.GetLength(), &rcText, DT_LEFT | DT_VCENTER | DT_SINGLELINE | nPrefix);
    if (!strKey.IsEmpty())
        ::DrawTextW(dc, strKey, strKey.GetLength(), &rcText, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | nPrefix);
    return TRUE;
}

LRESULT CMenuXP::OnMenuChar(HMENU hMenu, UINT nChar, UINT nFlags)
{
    if ((nFlags & MF_SYSMENU) || !(nFlags & MF_POPUP) || hMenu == NULL)
        return 0;
    WCHAR chTyped = (WCHAR)(UINT_PTR)::CharLowerW((LPWSTR)(UINT_PTR)(WCHAR)nChar);
    int nCount = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < nCount; i++)
    {
        CMenuItemXP item(hMenu, (UINT)i);
        const CString& strText = item.m_strText;
        for (int k = 0; k + 1 < strText.GetLength(); k++)
        {
            if (strText[k] != L'&')
                continue;
            if (strText[k + 1] == L'&')
            {
                k++;
                continue;
            }
            if ((WCHAR)(UINT_PTR)::CharLowerW((LPWSTR)(UINT_PTR)strText[k + 1]) == chTyped)
                return MAKELRESULT(i, MNC_EXECUTE);
            break;
        }
    }
    return 0;
}

// ---- The menu windows ------------------------------------------------------------------

LRESULT CALLBACK CMenuXP::HookProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    MenuTables& tables = Tables();
    if (nCode == HC_ACTION)
    {
        const CWPSTRUCT* pMsg = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if ((pMsg->message == WM_CREATE || pMsg->message == 0x1E2) && !tables.windows.count(pMsg->hwnd))
        {
            HWND hForeground = ::GetForegroundWindow();
            WCHAR szClass[16] = L"";
            ::GetClassNameW(pMsg->hwnd, szClass, 16);
            if (hForeground != NULL && ::GetPropW(hForeground, s_szPropMenuXP) != NULL &&
                lstrcmpW(szClass, L"#32768") == 0)
            {
                MenuWindow record = {pMsg->hwnd, {}, {-65535, -65535}, NULL};
                ::SetPropW(pMsg->hwnd, s_szPropOldProc, (HANDLE)::GetWindowLongPtrW(pMsg->hwnd, GWLP_WNDPROC));
                if (::SetWindowLongPtrW(pMsg->hwnd, GWLP_WNDPROC, (LONG_PTR)&CMenuXP::MenuWndProc) != 0)
                    tables.windows[pMsg->hwnd] = record;
                else
                    ::RemovePropW(pMsg->hwnd, s_szPropOldProc);
            }
        }
    }
    return ::CallNextHookEx(tables.hHook, nCode, wParam, lParam);
}

BOOL CMenuXP::IsMenuWindowSubclassed(HWND hWndMenu)
{
    return Tables().windows.count(hWndMenu) != 0 && ::GetPropW(hWndMenu, s_szPropOldProc) != NULL;
}

void CMenuXP::EndMenuWindow(HWND hWnd)
{
    MenuTables& tables = Tables();
    auto it = tables.windows.find(hWnd);
    if (it != tables.windows.end())
    {
        if (it->second.hbmBehind != NULL)
            ::DeleteObject(it->second.hbmBehind);
        tables.windows.erase(it);
    }
    WNDPROC pfnOld = (WNDPROC)::GetPropW(hWnd, s_szPropOldProc);
    if (pfnOld != NULL && ::IsWindow(hWnd))
    {
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, (LONG_PTR)pfnOld);
        ::RemovePropW(hWnd, s_szPropOldProc);
    }
    ::SetRectEmpty(&tables.rcMenuBarItem);
}

void CMenuXP::DrawBorder(HWND hWnd, HDC hDC)
{
    MenuTables& tables = Tables();
    RECT rcWindow;
    ::GetWindowRect(hWnd, &rcWindow);
    int cx = rcWindow.right - rcWindow.left, cy = rcWindow.bottom - rcWindow.top;
    bool bShadow = HasShadow();
    RECT rc = {0, 0, bShadow ? cx - SHADOW : cx, bShadow ? cy - SHADOW : cy};
    {
        CBrushDC brush(hDC, (COLORREF)-1);
        CPenDC pen(hDC, ::GetSysColor(COLOR_3DDKSHADOW));
        ::Rectangle(hDC, rc.left, rc.top, rc.right, rc.bottom);
        pen.Color(MenuBackColor());
        ::Rectangle(hDC, rc.left + 1, rc.top + 1, rc.right - 1, rc.bottom - 1);
        ::Rectangle(hDC, rc.left + 2, rc.top + 2, rc.right - 2, rc.bottom - 2);
        // Where the popup meets its open menu-bar item, the edge is open.
        if (!::IsRectEmpty(&tables.rcMenuBarItem) && tables.rcMenuBarItem.bottom <= rcWindow.top + 1)
        {
            int nLeft = std::max<int>(tables.rcMenuBarItem.left - rcWindow.left + 1, 1);
            int nRight = std::min<int>(tables.rcMenuBarItem.right - rcWindow.left - 1, rc.right - 1);
            if (nLeft < nRight)
            {
                pen.Color(IconColumnColor());
                ::MoveToEx(hDC, nLeft, 0, NULL);
                ::LineTo(hDC, nRight, 0);
            }
        }
    }
    if (!bShadow)
        return;
    auto it = tables.windows.find(hWnd);
    if (it == tables.windows.end() || it->second.hbmBehind == NULL)
        return;
    // The screen behind the right and bottom bands, darkened towards the menu.
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = -cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* pvBits = NULL;
    HBITMAP hDib = ::CreateDIBSection(hDC, &bmi, DIB_RGB_COLORS, &pvBits, NULL, 0);
    if (hDib == NULL || pvBits == NULL)
    {
        if (hDib != NULL)
            ::DeleteObject(hDib);
        return;
    }
    HDC hMem = ::CreateCompatibleDC(hDC), hSaved = ::CreateCompatibleDC(hDC);
    HGDIOBJ hOldMem = ::SelectObject(hMem, hDib), hOldSaved = ::SelectObject(hSaved, it->second.hbmBehind);
    ::BitBlt(hMem, 0, 0, cx, cy, hSaved, 0, 0, SRCCOPY);
    ::GdiFlush();
    DWORD* pBits = (DWORD*)pvBits;
    auto darken = [&](int x, int y, int d) {
        int nPercent = (3 - d) * 5 + 78;
        DWORD& px = pBits[y * cx + x];
        DWORD r = ((px >> 16) & 0xFF) * nPercent / 100, g = ((px >> 8) & 0xFF) * nPercent / 100,
              b = (px & 0xFF) * nPercent / 100;
        px = (r << 16) | (g << 8) | b;
    };
    for (int y = SHADOW; y < cy; y++)
    {
        for (int x = cx - SHADOW; x < cx; x++)
        {
            int d = std::min(std::min(cx - 1 - x, y - SHADOW), cy - 1 - y);
            if (d >= 0)
                darken(x, y, std::min(d, 3));
        }
    }
    for (int y = cy - SHADOW; y < cy; y++)
    {
        for (int x = SHADOW; x < cx - SHADOW; x++)
        {
            int d = std::min(cy - 1 - y, x - SHADOW);
            darken(x, y, std::min(d, 3));
        }
    }
    ::BitBlt(hDC, cx - SHADOW, 0, SHADOW, cy, hMem, cx - SHADOW, 0, SRCCOPY);
    ::BitBlt(hDC, 0, cy - SHADOW, cx - SHADOW, SHADOW, hMem, 0, cy - SHADOW, SRCCOPY);
    ::SelectObject(hSaved, hOldSaved);
    ::SelectObject(hMem, hOldMem);
    ::DeleteDC(hSaved);
    ::DeleteDC(hMem);
    ::DeleteObject(hDib);
}

LRESULT CALLBACK CMenuXP::MenuWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    MenuTables& tables = Tables();
    WNDPROC pfnOld = (WNDPROC)::GetPropW(hWnd, s_szPropOldProc);
    if (pfnOld == NULL)
        return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
    switch (uMsg)
    {
    case WM_NCCALCSIZE:
    {
        LRESULT lResult = ::CallWindowProcW(pfnOld, hWnd, uMsg, wParam, lParam);
        if (HasShadow())
        {
            RECT* pRect = (RECT*)lParam;
            pRect->right -= SHADOW;
            pRect->bottom -= SHADOW;
        }
        return lResult;
    }
    case WM_WINDOWPOSCHANGING:
    {
        WINDOWPOS* pPos = (WINDOWPOS*)lParam;
        if (!(pPos->flags & SWP_NOSIZE) && HasShadow())
        {
            pPos->cx += SHADOW;
            pPos->cy += SHADOW;
        }
        if (!(pPos->flags & SWP_NOMOVE))
        {
            pPos->y--;
            auto it = tables.windows.find(hWnd);
            if (it != tables.windows.end())
                it->second.ptLast = POINT{pPos->x, pPos->y};
        }
        break;
    }
    case WM_ERASEBKGND:
    {
        auto it = tables.windows.find(hWnd);
        if (it != tables.windows.end() && !::IsWindowVisible(hWnd))
        {
            RECT rc;
            ::GetWindowRect(hWnd, &rc);
            it->second.rcWindow = rc;
            rc.right += 10;
            rc.bottom += 10;
            if (it->second.hbmBehind != NULL)
                ::DeleteObject(it->second.hbmBehind);
            it->second.hbmBehind = CaptureScreenRect(rc);
        }
        break;
    }
    case WM_NCPAINT:
    {
        HDC hDC = ::GetWindowDC(hWnd);
        if (hDC != NULL)
        {
            DrawBorder(hWnd, hDC);
            ::ReleaseDC(hWnd, hDC);
        }
        return 0;
    }
    case WM_PRINT:
    {
        LRESULT lResult = ::CallWindowProcW(pfnOld, hWnd, uMsg, wParam, lParam);
        if (lParam & PRF_NONCLIENT)
            DrawBorder(hWnd, (HDC)wParam);
        return lResult;
    }
    case WM_SHOWWINDOW:
        if (!wParam)
        {
            LRESULT lResult = ::CallWindowProcW(pfnOld, hWnd, uMsg, wParam, lParam);
            EndMenuWindow(hWnd);
            return lResult;
        }
        break;
    case WM_NCDESTROY:
        EndMenuWindow(hWnd);
        break;
    default:
        break;
    }
    return ::CallWindowProcW(pfnOld, hWnd, uMsg, wParam, lParam);
}
