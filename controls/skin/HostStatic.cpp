#include "controls/skin/HostStatic.h"

BEGIN_MESSAGE_MAP(CHostStatic, CStatic)
    ON_WM_SIZE()
END_MESSAGE_MAP()

void CHostStatic::SetChild(CWnd* pChild)
{
    m_pChild = pChild;
    ResizeChild();
}

void CHostStatic::ResizeChild()
{
    if (m_pChild == NULL || !::IsWindow(m_pChild->m_hWnd) || !::IsWindow(m_hWnd))
        return;
    CRect rect;
    GetClientRect(&rect);
    m_pChild->MoveWindow(&rect, TRUE);
}

void CHostStatic::OnSize(UINT nType, int cx, int cy)
{
    CStatic::OnSize(nType, cx, cy);
    if (m_pChild != NULL)
        ResizeChild();
}
