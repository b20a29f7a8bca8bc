#pragma once
// A static control that keeps one attached child window sized to its own
// client area.
#include "framework/Afx.h"
#include "framework/Controls.h"

class CHostStatic : public CStatic
{
public:
    CHostStatic() : m_pChild(NULL) {}

    void SetChild(CWnd* pChild);
    CWnd* GetChild() const { return m_pChild; }
    void ResizeChild();

protected:
    afx_msg void OnSize(UINT nType, int cx, int cy);

    CWnd* m_pChild;

    DECLARE_MESSAGE_MAP()
};
