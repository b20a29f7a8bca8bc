#pragma once
// Base of the small objects a list draws inside its cells or header items:
// it keeps the hover, pressed, enabled-look and theme switches and where the
// object was last drawn.
#include "framework/Afx.h"
#include "framework/Wnd.h"

class CXCellCtrl
{
public:
    explicit CXCellCtrl(CWnd* pOwner);
    virtual ~CXCellCtrl();

    CWnd* GetOwner() const { return m_pOwner; }
    void SetHot(BOOL bHot) { m_bHot = bHot; }
    BOOL GetHot() const { return m_bHot; }
    void SetPressed(BOOL bPressed) { m_bPressed = bPressed; }
    BOOL GetPressed() const { return m_bPressed; }
    // FALSE draws this object classically even when the system is themed.
    void SetUseTheme(BOOL bUseTheme) { m_bUseTheme = bUseTheme; }
    BOOL GetUseTheme() const { return m_bUseTheme; }
    void SetDrawnEnabled(BOOL bDrawnEnabled) { m_bDrawnEnabled = bDrawnEnabled; }
    BOOL GetDrawnEnabled() const { return m_bDrawnEnabled; }
    // Where the object was last drawn (empty before the first drawing).
    const CRect& GetRect() const { return m_rect; }

    // Draws into the cell rectangle; returns the width used, 0 for nothing.
    virtual int Draw(HDC hDC, const RECT& rcCell) = 0;

protected:
    CWnd* m_pOwner;
    BOOL m_bHot;
    BOOL m_bUseTheme;
    BOOL m_bPressed;
    BOOL m_bDrawnEnabled;
    CRect m_rect;

private:
    CXCellCtrl(const CXCellCtrl&) = delete;
    CXCellCtrl& operator=(const CXCellCtrl&) = delete;
};
