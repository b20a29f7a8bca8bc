#include "controls/skin/WindowShadow.h"
#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <vector>

#ifndef WM_DWMCOMPOSITIONCHANGED
#define WM_DWMCOMPOSITIONCHANGED 0x031E
#endif

namespace {

typedef BOOL(WINAPI* PFN_UPDATELAYEREDWINDOW)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);
typedef HRESULT(WINAPI* PFN_DWMISCOMPOSITIONENABLED)(BOOL*);

PFN_UPDATELAYEREDWINDOW s_pfnUpdateLayeredWindow = NULL;
PFN_DWMISCOMPOSITIONENABLED s_pfnDwmIsCompositionEnabled = NULL;
HINSTANCE s_hInstance = NULL;
const WCHAR s_szClassName[] = L"VarnuShadowWnd";

// A subclassed parent: its shadow (NULL once the shadow object is gone while
// someone else's procedure sits above ours) and the procedure we replaced.
struct ShadowEntry
{
    CWindowShadow* pShadow;
    WNDPROC pfnOld;
};

std::map<HWND, ShadowEntry>& ShadowMap()
{
    static std::map<HWND, ShadowEntry> s_map;
    return s_map;
}

bool IsCompositionOn()
{
    BOOL bEnabled = FALSE;
    return s_pfnDwmIsCompositionEnabled != NULL && SUCCEEDED(s_pfnDwmIsCompositionEnabled(&bEnabled)) && bEnabled;
}

} // namespace

CWindowShadow::CWindowShadow()
    : m_hWnd((HWND)-1), m_pfnOldProc(NULL), m_nStatus(0), m_nDarkness(150), m_nSharpness(5), m_nSize(0),
      m_nxOffset(5), m_nyOffset(5), m_lWndSize(0), m_bUpdate(0), m_clr(RGB(0, 0, 0)), m_hParent(NULL)
{
}

CWindowShadow::~CWindowShadow()
{
    if (m_hParent != NULL)
    {
        auto it = ShadowMap().find(m_hParent);
        if (it != ShadowMap().end() && it->second.pShadow == this)
        {
            if (::IsWindow(m_hParent) &&
                (WNDPROC)::GetWindowLongPtrW(m_hParent, GWLP_WNDPROC) == &CWindowShadow::ParentProc)
            {
                ::SetWindowLongPtrW(m_hParent, GWLP_WNDPROC, (LONG_PTR)it->second.pfnOld);
                ShadowMap().erase(it);
            }
            else if (::IsWindow(m_hParent))
                it->second.pShadow = NULL;  // our procedure stays in the chain and only passes on
            else
                ShadowMap().erase(it);
        }
    }
    if (m_hWnd != (HWND)-1 && m_hWnd != NULL && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
}

bool CWindowShadow::Initialize(HINSTANCE hInstance)
{
    if (s_pfnUpdateLayeredWindow != NULL)
        return false;
    HMODULE hUser = ::GetModuleHandleW(L"USER32.DLL");
    if (hUser == NULL)
        hUser = ::LoadLibraryW(L"USER32.DLL");
    PFN_UPDATELAYEREDWINDOW pfnUpdate =
        hUser != NULL ? (PFN_UPDATELAYEREDWINDOW)(void*)::GetProcAddress(hUser, "UpdateLayeredWindow") : NULL;
    if (pfnUpdate == NULL)
        return false;
    HMODULE hDwm = ::LoadLibraryW(L"dwmapi.dll");
    if (hDwm != NULL)
        s_pfnDwmIsCompositionEnabled =
            (PFN_DWMISCOMPOSITIONENABLED)(void*)::GetProcAddress(hDwm, "DwmIsCompositionEnabled");
    s_hInstance = hInstance;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = hInstance;
    wc.hCursor = ::LoadCursorW(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = s_szClassName;
    ::RegisterClassExW(&wc);
    s_pfnUpdateLayeredWindow = pfnUpdate;
    return true;
}

void CWindowShadow::Create(HWND hParent)
{
    if (s_pfnUpdateLayeredWindow == NULL || hParent == NULL || m_hParent != NULL)
        return;
    if (ShadowMap().count(hParent))
        return;
    // Unowned (a window's owned popups always stay above it) and kept just
    // below the parent instead; a tool window, so it never shows in the taskbar.
    m_hWnd = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                               s_szClassName, NULL, WS_POPUPWINDOW, CW_USEDEFAULT, 0, 0, 0,
                               ::GetWindow(hParent, GW_OWNER), NULL, s_hInstance, NULL);
    if (m_hWnd == NULL)
    {
        m_hWnd = (HWND)-1;
        return;
    }
    m_hParent = hParent;
    m_nStatus = SS_ENABLED;
    if (IsCompositionOn())
        m_nStatus |= SS_DISABLEDBYAERO;
    Show(hParent, FALSE);
    m_pfnOldProc = (WNDPROC)::SetWindowLongPtrW(hParent, GWLP_WNDPROC, (LONG_PTR)&CWindowShadow::ParentProc);
    ShadowMap()[hParent] = ShadowEntry{this, m_pfnOldProc};
}

bool CWindowShadow::SetSize(int nSize)
{
    if (nSize < -20 || nSize > 20)
        return false;
    m_nSize = (signed char)nSize;
    if (m_nStatus & SS_VISIBLE)
        Update(m_hParent);
    return true;
}

bool CWindowShadow::SetSharpness(unsigned nSharpness)
{
    if (nSharpness > 20)
        return false;
    m_nSharpness = (BYTE)nSharpness;
    if (m_nStatus & SS_VISIBLE)
        Update(m_hParent);
    return true;
}

bool CWindowShadow::SetDarkness(unsigned nDarkness)
{
    if (nDarkness > 255)
        return false;
    m_nDarkness = (BYTE)nDarkness;
    if (m_nStatus & SS_VISIBLE)
        Update(m_hParent);
    return true;
}

bool CWindowShadow::SetPosition(int nX, int nY)
{
    if (nX < -20 || nX > 20 || nY < -20 || nY > 20)
        return false;
    m_nxOffset = (signed char)nX;
    m_nyOffset = (signed char)nY;
    if (m_nStatus & SS_VISIBLE)
        Update(m_hParent);
    return true;
}

bool CWindowShadow::SetColor(COLORREF clr)
{
    m_clr = clr;
    if (m_nStatus & SS_VISIBLE)
        Update(m_hParent);
    return true;
}

void CWindowShadow::Hide()
{
    if (m_hWnd != (HWND)-1)
        ::ShowWindow(m_hWnd, SW_HIDE);
}

void CWindowShadow::Show(HWND hParent, BOOL bForce)
{
    m_nStatus &= SS_ENABLED | SS_DISABLEDBYAERO;
    if ((m_nStatus & SS_ENABLED) && !(m_nStatus & SS_DISABLEDBYAERO))
    {
        LONG lStyle = ::GetWindowLongW(hParent, GWL_STYLE);
        if ((lStyle & WS_VISIBLE) || bForce)
        {
            m_nStatus |= SS_PARENTVISIBLE;
            if (!(lStyle & (WS_MAXIMIZE | WS_MINIMIZE)))
                m_nStatus |= SS_VISIBLE;
        }
    }
    if (m_nStatus & SS_VISIBLE)
    {
        ::ShowWindow(m_hWnd, SW_SHOWNA);
        Update(hParent);
    }
    else
        Hide();
}

void CWindowShadow::Place(HWND hParent)
{
    RECT rc;
    ::GetWindowRect(hParent, &rc);
    ::SetWindowPos(m_hWnd, hParent, rc.left + m_nxOffset - m_nSize, rc.top + m_nyOffset - m_nSize, 0, 0,
                   SWP_NOSIZE | SWP_NOACTIVATE);
}

DWORD CWindowShadow::PreMultiply(COLORREF clr, BYTE nAlpha)
{
    DWORD r = GetRValue(clr) * nAlpha / 255, g = GetGValue(clr) * nAlpha / 255, b = GetBValue(clr) * nAlpha / 255;
    return ((DWORD)nAlpha << 24) | (r << 16) | (g << 8) | b;
}

void CWindowShadow::Update(HWND hParent)
{
    if (m_hWnd == (HWND)-1 || s_pfnUpdateLayeredWindow == NULL || hParent == NULL)
        return;
    RECT rc;
    ::GetWindowRect(hParent, &rc);
    int nParentWidth = rc.right - rc.left, nParentHeight = rc.bottom - rc.top;
    int nWidth = nParentWidth + 2 * m_nSize, nHeight = nParentHeight + 2 * m_nSize;
    if (nWidth <= 0 || nHeight <= 0)
        return;
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = nWidth;
    bmi.bmiHeader.biHeight = nHeight;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    bmi.bmiHeader.biSizeImage = nWidth * nHeight * 4;
    void* pvBits = NULL;
    HBITMAP hBitmap = ::CreateDIBSection(NULL, &bmi, DIB_RGB_COLORS, &pvBits, NULL, 0);
    if (hBitmap == NULL || pvBits == NULL)
    {
        if (hBitmap != NULL)
            ::DeleteObject(hBitmap);
        return;
    }
    ZeroMemory(pvBits, bmi.bmiHeader.biSizeImage);
    MakeShadow((DWORD*)pvBits, nWidth, nHeight, hParent, nParentWidth, nParentHeight);
    HDC hMem = ::CreateCompatibleDC(NULL);
    if (hMem != NULL)
    {
        HGDIOBJ hOld = ::SelectObject(hMem, hBitmap);
        POINT ptDst = {rc.left + m_nxOffset - m_nSize, rc.top + m_nyOffset - m_nSize};
        POINT ptSrc = {0, 0};
        SIZE size = {nWidth, nHeight};
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ::SetWindowPos(m_hWnd, hParent, ptDst.x, ptDst.y, nWidth, nHeight, SWP_NOACTIVATE | SWP_NOREDRAW);
        s_pfnUpdateLayeredWindow(m_hWnd, NULL, &ptDst, &size, hMem, &ptSrc, 0, &blend, ULW_ALPHA);
        ::SelectObject(hMem, hOld);
        ::DeleteDC(hMem);
    }
    ::DeleteObject(hBitmap);
}

void CWindowShadow::MakeShadow(DWORD* pBits, int nWidth, int nHeight, HWND hParent, int nParentWidth,
                               int nParentHeight) const
{
    if (pBits == NULL || nWidth <= 0 || nHeight <= 0 || nParentWidth <= 0 || nParentHeight <= 0)
        return;
    // Each row of the outline as one span from its leftmost to its rightmost pixel.
    std::vector<int> vecLeft(nParentHeight, INT_MAX), vecRight(nParentHeight, INT_MIN);
    bool bRegion = false;
    HRGN hRgn = ::CreateRectRgn(0, 0, 0, 0);
    if (hRgn != NULL && hParent != NULL && ::GetWindowRgn(hParent, hRgn) > NULLREGION)
    {
        DWORD dwSize = ::GetRegionData(hRgn, 0, NULL);
        std::vector<BYTE> data(dwSize);
        if (dwSize > 0 && ::GetRegionData(hRgn, dwSize, (RGNDATA*)data.data()) == dwSize)
        {
            RGNDATA* pData = (RGNDATA*)data.data();
            const RECT* pRects = (const RECT*)pData->Buffer;
            for (DWORD i = 0; i < pData->rdh.nCount; i++)
            {
                int nTop = std::max<int>(0, pRects[i].top), nBottom = std::min<int>(nParentHeight, pRects[i].bottom);
                int nL = std::max<int>(0, pRects[i].left), nR = std::min<int>(nParentWidth, pRects[i].right) - 1;
                if (nL > nR)
                    continue;
                for (int y = nTop; y < nBottom; y++)
                {
                    vecLeft[y] = std::min(vecLeft[y], nL);
                    vecRight[y] = std::max(vecRight[y], nR);
                }
            }
            bRegion = true;
        }
    }
    if (hRgn != NULL)
        ::DeleteObject(hRgn);
    if (!bRegion)
    {
        std::fill(vecLeft.begin(), vecLeft.end(), 0);
        std::fill(vecRight.begin(), vecRight.end(), nParentWidth - 1);
    }
    // A negative size erodes the outline by that many pixels on every side.
    int nErode = m_nSize < 0 ? -m_nSize : 0;
    if (nErode > 0)
    {
        std::vector<int> vecL2(nParentHeight, INT_MAX), vecR2(nParentHeight, INT_MIN);
        for (int y = 0; y < nParentHeight; y++)
        {
            int nL = INT_MIN, nR = INT_MAX;
            for (int k = y - nErode; k <= y + nErode; k++)
            {
                if (k < 0 || k >= nParentHeight || vecLeft[k] > vecRight[k])
                {
                    nL = INT_MAX;
                    break;
                }
                nL = std::max(nL, vecLeft[k] + nErode);
                nR = std::min(nR, vecRight[k] - nErode);
            }
            if (nL != INT_MAX && nL <= nR)
            {
                vecL2[y] = nL;
                vecR2[y] = nR;
            }
        }
        vecLeft.swap(vecL2);
        vecRight.swap(vecR2);
    }
    // Bitmap row of an outline row, and the span shifted the same way.
    int nShift = m_nSize;
    auto covers = [&](int y, int x) {
        return y >= 0 && y < nParentHeight && vecLeft[y] <= x && x <= vecRight[y];
    };
    int nRadius = std::max<int>(m_nSize, m_nSharpness);
    int nSolid = m_nSize > m_nSharpness ? m_nSize - m_nSharpness : 0;
    int nSide = 2 * nRadius + 1;
    std::vector<DWORD> kernel(nSide * nSide);
    for (int ky = 0; ky < nSide; ky++)
    {
        for (int kx = 0; kx < nSide; kx++)
        {
            double d = std::sqrt((double)((kx - nRadius) * (kx - nRadius) + (ky - nRadius) * (ky - nRadius)));
            double dAlpha = 0;
            if (d <= nSolid)
                dAlpha = m_nDarkness;
            else if (d <= nRadius)
                dAlpha = m_nDarkness * (1.0 - (d - nSolid) / (m_nSharpness + 1));
            kernel[ky * nSide + kx] = PreMultiply(m_clr, (BYTE)std::max(0.0, std::min(255.0, dAlpha)));
        }
    }
    DWORD dwSolid = PreMultiply(m_clr, m_nDarkness);
    // Rows are stored bottom-up.
    auto row = [&](int by) { return pBits + (size_t)(nHeight - 1 - by) * nWidth; };
    for (int y = 0; y < nParentHeight; y++)
    {
        int by = y + nShift;
        if (by < 0 || by >= nHeight || vecLeft[y] > vecRight[y])
            continue;
        int nL = std::max(0, vecLeft[y] + nShift), nR = std::min(nWidth - 1, vecRight[y] + nShift);
        DWORD* pRow = row(by);
        for (int x = nL; x <= nR; x++)
            pRow[x] = dwSolid;
    }
    if (nRadius == 0)
        return;
    // The kernel around every edge pixel, clipped to the bitmap.
    for (int y = 0; y < nParentHeight; y++)
    {
        if (vecLeft[y] > vecRight[y])
            continue;
        for (int x = vecLeft[y]; x <= vecRight[y]; x++)
        {
            bool bEdge = x == vecLeft[y] || x == vecRight[y] || !covers(y - 1, x) || !covers(y + 1, x);
            if (!bEdge)
                continue;
            int cx = x + nShift, cy = y + nShift;
            int nTop = std::max(0, cy - nRadius), nBottom = std::min(nHeight - 1, cy + nRadius);
            int nLeft = std::max(0, cx - nRadius), nRight = std::min(nWidth - 1, cx + nRadius);
            for (int by = nTop; by <= nBottom; by++)
            {
                DWORD* pRow = row(by);
                const DWORD* pKernel = &kernel[(by - cy + nRadius) * nSide];
                for (int bx = nLeft; bx <= nRight; bx++)
                {
                    DWORD dwValue = pKernel[bx - cx + nRadius];
                    if (dwValue > pRow[bx])
                        pRow[bx] = dwValue;
                }
            }
        }
    }
}

LRESULT CALLBACK CWindowShadow::ParentProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    auto it = ShadowMap().find(hWnd);
    if (it == ShadowMap().end())
        return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
    WNDPROC pfnOld = it->second.pfnOld;
    CWindowShadow* pThis = it->second.pShadow;
    if (pThis == NULL)
    {
        if (uMsg == WM_NCDESTROY)
            ShadowMap().erase(it);
        return ::CallWindowProcW(pfnOld, hWnd, uMsg, wParam, lParam);
    }
    bool bActive = (pThis->m_nStatus & SS_ENABLED) && !(pThis->m_nStatus & SS_DISABLEDBYAERO);
    switch (uMsg)
    {
    case WM_MOVE:
        if (pThis->m_nStatus & SS_VISIBLE)
            pThis->Place(hWnd);
        break;
    case WM_SIZE:
        if (!bActive)
            break;
        if (wParam == SIZE_MAXIMIZED || wParam == SIZE_MINIMIZED)
        {
            pThis->Hide();
            pThis->m_nStatus &= ~SS_VISIBLE;
        }
        else if (::GetWindowLongW(hWnd, GWL_STYLE) & WS_VISIBLE)
        {
            pThis->m_nStatus |= SS_PARENTVISIBLE;
            if (pThis->m_nStatus & SS_VISIBLE)
            {
                // Growing repaints on the parent's next paint, so the shadow
                // never shows ahead of the window.
                if (LOWORD(lParam) > LOWORD(pThis->m_lWndSize) || HIWORD(lParam) > HIWORD(pThis->m_lWndSize))
                    pThis->m_bUpdate = 1;
                else
                    pThis->Update(hWnd);
            }
            else
            {
                pThis->m_nStatus |= SS_VISIBLE;
                pThis->Update(hWnd);
                ::ShowWindow(pThis->m_hWnd, SW_SHOWNA);
                pThis->m_bUpdate = 1;
            }
        }
        pThis->m_lWndSize = lParam;
        break;
    case WM_PAINT:
        if (pThis->m_bUpdate)
        {
            pThis->Update(hWnd);
            pThis->m_bUpdate = 0;
        }
        break;
    case WM_EXITSIZEMOVE:
        if (pThis->m_nStatus & SS_VISIBLE)
            pThis->Update(hWnd);
        break;
    case WM_SHOWWINDOW:
        if (bActive)
        {
            LRESULT lResult = ::CallWindowProcW(pfnOld, hWnd, uMsg, wParam, lParam);
            if (wParam)
            {
                pThis->m_bUpdate = 1;
                pThis->Show(hWnd, TRUE);
            }
            else
            {
                pThis->Hide();
                pThis->m_nStatus &= ~(SS_VISIBLE | SS_PARENTVISIBLE);
            }
            return lResult;
        }
        break;
    case WM_DESTROY:
        if (pThis->m_hWnd != (HWND)-1 && ::IsWindow(pThis->m_hWnd))
            ::DestroyWindow(pThis->m_hWnd);
        pThis->m_hWnd = (HWND)-1;
        break;
    case WM_NCDESTROY:
        ShadowMap().erase(it);
        pThis->m_hParent = NULL;
        break;
    case WM_DWMCOMPOSITIONCHANGED:
        if (IsCompositionOn())
            pThis->m_nStatus |= SS_DISABLEDBYAERO;
        else
            pThis->m_nStatus &= ~SS_DISABLEDBYAERO;
        pThis->Show(hWnd, FALSE);
        break;
    default:
        break;
    }
    return ::CallWindowProcW(pfnOld, hWnd, uMsg, wParam, lParam);
}
