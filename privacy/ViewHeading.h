#pragma once
// The top of the junk cleaner and the shredder: the view's title picture at
// (10, 10) and its help button, which stays hidden.
#include "framework/Afx.h"
#include "optimizer/shared/NButtonEx.h"

class CViewHeading
{
public:
    CViewHeading() : m_hTitle(NULL) {}
    ~CViewHeading();
    CViewHeading(const CViewHeading&) = delete;
    CViewHeading& operator=(const CViewHeading&) = delete;

    // From the view's OnInitDialog: loads the picture, subclasses the button.
    void SetUp(CDialog* pView, UINT nTitleBitmap, CNButtonEx& btnHelp, UINT nHelpID);
    void DrawTitle(HDC hDC) const;

private:
    HBITMAP m_hTitle;
};
