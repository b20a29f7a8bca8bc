#include "controls/lists/XCheckBox.h"
#include "controls/lists/ListThemeHolder.h"
#include "controls/lists/ListDrawing.h"

#include <atomic>
#include <vssym32.h>

namespace {

// One "Button" theme handle for every check box of the program.
CListThemeHolder g_buttonTheme(L"Button");
std::atomic<long> g_nLiveBoxes(0);

const COLORREF kFrameColour = RGB(51, 102, 153);
const COLORREF kTickColour = RGB(51, 153, 51);

} // namespace

CXCheckBox::CXCheckBox(CWnd* pOwner) : CXCellCtrl(pOwner), m_bEnabled(TRUE), m_nCheckedState(STATE_UNCHECKED)
{
    ++g_nLiveBoxes;
}

CXCheckBox::~CXCheckBox()
{
    --g_nLiveBoxes;
    g_buttonTheme.Close();
}

long CXCheckBox::GetLiveCount()
{
    return g_nLiveBoxes;
}

void CXCheckBox::CloseTheme()
{
    g_buttonTheme.Close();
}

CRect CXCheckBox::BoxRect(const RECT& rcCell)
{
    int nTop = rcCell.top + ((rcCell.bottom - rcCell.top) - BOX_SIZE) / 2;
    return CRect(rcCell.left, nTop, rcCell.left + BOX_SIZE, nTop + BOX_SIZE);
}

int CXCheckBox::ThemeState() const
{
    int nBase = m_nCheckedState == STATE_CHECKED ? CBS_CHECKEDNORMAL : CBS_UNCHECKEDNORMAL;
    if (!m_bDrawnEnabled)
        return nBase + 3;
    if (m_bPressed)
        return nBase + 2;
    if (m_bHot)
        return nBase + 1;
    return nBase;
}

int CXCheckBox::Draw(HDC hDC, const RECT& rcCell)
{
    if (m_pOwner == NULL || !::IsWindow(m_pOwner->GetSafeHwnd()) || m_nCheckedState == STATE_NONE)
        return 0;
    CRect rcBox = BoxRect(rcCell);
    m_rect = rcBox;

    g_buttonTheme.Open(m_pOwner->GetSafeHwnd());
    BOOL bThemed = m_bUseTheme && g_buttonTheme.IsActive();
    if (!bThemed || !g_buttonTheme.DrawBackground(hDC, BP_CHECKBOX, ThemeState(), &rcBox))
        DrawClassic(hDC, rcBox);
    return BOX_SIZE + TEXT_GAP;
}

void CXCheckBox::DrawClassic(HDC hDC, const RECT& rcBox) const
{
    COLORREF crFill = m_bDrawnEnabled ? ::GetSysColor(COLOR_WINDOW) : ::GetSysColor(COLOR_BTNFACE);
    COLORREF crFrame = m_bDrawnEnabled ? kFrameColour : ::GetSysColor(COLOR_GRAYTEXT);
    COLORREF crTick = m_bDrawnEnabled ? kTickColour : ::GetSysColor(COLOR_GRAYTEXT);
    ListFillSolid(hDC, rcBox, crFill);
    ListFrameSolid(hDC, rcBox, crFrame);
    if (m_nCheckedState != STATE_CHECKED)
        return;
    // Seven strokes of 3 pixels from right to left: down four, up three.
    int x = rcBox.left + 9;
    int y = rcBox.top + 3;
    for (int i = 0; i < 7; ++i)
    {
        RECT rcStroke = { x, y, x + 1, y + 3 };
        ListFillSolid(hDC, rcStroke, crTick);
        --x;
        y += i < 3 ? 1 : -1;
    }
}
