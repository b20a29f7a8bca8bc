#include "privacy/ViewHeading.h"
#include "optimizer/shared/DrawUtils.h"

CViewHeading::~CViewHeading()
{
    if (m_hTitle != NULL)
        ::DeleteObject(m_hTitle);
}

void CViewHeading::SetUp(CDialog* pView, UINT nTitleBitmap, CNButtonEx& btnHelp, UINT nHelpID)
{
    if (m_hTitle == NULL)
        m_hTitle = (HBITMAP)::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nTitleBitmap), IMAGE_BITMAP, 0, 0, 0);
    btnHelp.SubclassDlgItem(nHelpID, pView);
    btnHelp.SetBitmaps(4008, 4009, 4009, 4009, 172, 31, 2);
    btnHelp.ShowWindow(SW_HIDE);
}

void CViewHeading::DrawTitle(HDC hDC) const
{
    DrawBitmapAt(hDC, m_hTitle, 10, 10, 161, 61);
}
