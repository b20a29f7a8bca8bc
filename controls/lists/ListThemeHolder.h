#pragma once
// One theme handle shared by every control of a kind, opened on first use.
// A holder at namespace scope closes it before its helper can free the
// library at exit.
#include "controls/lists/ListThemeHelper.h"

class CListThemeHolder
{
public:
    explicit CListThemeHolder(LPCWSTR pszClassList) : m_pszClassList(pszClassList), m_hTheme(NULL) {}
    ~CListThemeHolder() { Close(); }
    CListThemeHolder(const CListThemeHolder&) = delete;
    CListThemeHolder& operator=(const CListThemeHolder&) = delete;

    // Opens the handle against hWnd unless it is open already.
    void Open(HWND hWnd)
    {
        if (m_hTheme == NULL && m_helper.IsReady() && hWnd != NULL)
            m_hTheme = m_helper.OpenThemeData(hWnd, m_pszClassList);
    }
    // TRUE when the handle is open and the program draws themed.
    BOOL IsActive() { return m_hTheme != NULL && m_helper.IsAppThemed(); }
    BOOL DrawBackground(HDC hDC, int iPartId, int iStateId, const RECT* pRect)
    {
        return m_helper.DrawThemeBackground(m_hTheme, hDC, iPartId, iStateId, pRect, NULL);
    }
    void Close()
    {
        if (m_hTheme != NULL)
            m_helper.CloseThemeData(m_hTheme);
        m_hTheme = NULL;
    }

private:
    CListThemeHelper m_helper;
    LPCWSTR m_pszClassList;
    HTHEME m_hTheme;
};
