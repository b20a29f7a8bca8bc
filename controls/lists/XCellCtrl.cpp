#include "controls/lists/XCellCtrl.h"

CXCellCtrl::CXCellCtrl(CWnd* pOwner)
    : m_pOwner(pOwner), m_bHot(FALSE), m_bUseTheme(TRUE), m_bPressed(FALSE), m_bDrawnEnabled(TRUE), m_rect(0, 0, 0, 0)
{
}

CXCellCtrl::~CXCellCtrl()
{
}
