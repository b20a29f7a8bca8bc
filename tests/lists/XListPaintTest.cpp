#include "XListTestHost.h"
#include "controls/lists/XCheckBox.h"
#include "framework/ImageList.h"

namespace {

const COLORREF kMagenta = RGB(255, 0, 255);
const COLORREF kClassicFrame = RGB(51, 102, 153);
const COLORREF kClassicTick = RGB(51, 153, 51);

// A window's client area printed into a 32-bit bitmap.
class CPrinted
{
public:
    CPrinted(HWND hWnd, UINT nMessage, LPARAM lFlags)
    {
        RECT rc;
        ::GetClientRect(hWnd, &rc);
        m_cx = rc.right;
        m_cy = rc.bottom;
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
        bmi.bmiHeader.biWidth = m_cx;
        bmi.bmiHeader.biHeight = -m_cy;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        m_hDC = ::CreateCompatibleDC(NULL);
        m_hBitmap = ::CreateDIBSection(m_hDC, &bmi, DIB_RGB_COLORS, (void**)&m_pBits, NULL, 0);
        m_hOld = ::SelectObject(m_hDC, m_hBitmap);
        HBRUSH hBrush = ::CreateSolidBrush(kMagenta);
        ::FillRect(m_hDC, &rc, hBrush);
        ::DeleteObject(hBrush);
        HFONT hFont = (HFONT)::SendMessageW(hWnd, WM_GETFONT, 0, 0);
        HGDIOBJ hOldFont = hFont ? ::SelectObject(m_hDC, hFont) : NULL;
        ::SendMessageW(hWnd, nMessage, (WPARAM)m_hDC, lFlags);
        if (hOldFont)
            ::SelectObject(m_hDC, hOldFont);
        ::GdiFlush();
    }
    ~CPrinted()
    {
        ::SelectObject(m_hDC, m_hOld);
        ::DeleteObject(m_hBitmap);
        ::DeleteDC(m_hDC);
    }
    COLORREF At(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= m_cx || y >= m_cy)
            return CLR_INVALID;
        DWORD dw = m_pBits[y * m_cx + x];
        return RGB((dw >> 16) & 0xFF, (dw >> 8) & 0xFF, dw & 0xFF);
    }
    // The first x in [x0, x1) on row y whose colour is not crBack, or -1.
    int FirstOther(int x0, int x1, int y0, int y1, COLORREF crBack) const
    {
        for (int x = x0; x < x1; ++x)
            for (int y = y0; y < y1; ++y)
                if (At(x, y) != crBack)
                    return x;
        return -1;
    }

private:
    HDC m_hDC = NULL;
    HBITMAP m_hBitmap = NULL;
    HGDIOBJ m_hOld = NULL;
    DWORD* m_pBits = nullptr;
    int m_cx = 0;
    int m_cy = 0;
};

} // namespace

class XListPaintTest : public XListTest
{
protected:
    // Column 0 wide enough for a text beside its box.
    void SetUpRows()
    {
        AddColumns(1);
        m_list.SetColumnWidth(0, 120);
        AddRows(3, 1);
        m_list.SetItemText(0, 0, L"Program");
        m_list.SetCheckbox(0, 0, 2);
        m_list.SetCheckbox(2, 0, 2);
        m_list.SetCheckboxEnabled(2, 0, FALSE);
    }
    COLORREF Window() const { return ::GetSysColor(COLOR_WINDOW); }
};

TEST_F(XListPaintTest, ClassicBoxesSitWhereTheirTextSaysAndTextFollows)
{
    SetUpRows();
    m_list.SetUseTheme(FALSE);
    CPrinted print(m_list.m_hWnd, WM_PRINTCLIENT, PRF_CLIENT);

    CRect rcText = m_list.GetCheckboxRect(0, 0);
    CRect rcAlone = m_list.GetCheckboxRect(1, 0);
    EXPECT_EQ(rcText.Width(), 12);
    EXPECT_EQ(rcText.Height(), 12);
    EXPECT_EQ(rcText.left, 5) << "5 pixels into the cell with a text";
    EXPECT_LE(std::abs((rcAlone.left - 0) - (120 - rcAlone.right)), 1) << "centred without one";

    // Frame and tick of the checked box, frame and white inside of the unchecked one.
    EXPECT_EQ(print.At(rcText.left, rcText.top), kClassicFrame);
    EXPECT_EQ(print.At(rcText.right - 1, rcText.bottom - 1), kClassicFrame);
    EXPECT_EQ(print.At(rcText.left + 9, rcText.top + 3), kClassicTick);
    EXPECT_EQ(print.At(rcText.left + 6, rcText.top + 6), kClassicTick);
    EXPECT_EQ(print.At(rcText.left + 3, rcText.top + 3), kClassicTick);
    EXPECT_EQ(print.At(rcText.left + 1, rcText.top + 1), Window());
    EXPECT_EQ(print.At(rcAlone.left, rcAlone.top), kClassicFrame);
    EXPECT_EQ(print.At(rcAlone.left + 9, rcAlone.top + 3), Window());
    EXPECT_EQ(print.At(rcAlone.left - 1, rcAlone.top), Window());

    // The text starts 4 pixels after the box.
    int xText = print.FirstOther(rcText.right, 120, rcText.top, rcText.bottom, Window());
    EXPECT_GE(xText, rcText.right + 4);
    EXPECT_LE(xText, rcText.right + 6);

    // The disabled box is greyed.
    CRect rcDisabled = m_list.GetCheckboxRect(2, 0);
    EXPECT_EQ(print.At(rcDisabled.left, rcDisabled.top), ::GetSysColor(COLOR_GRAYTEXT));
    EXPECT_EQ(print.At(rcDisabled.left + 9, rcDisabled.top + 3), ::GetSysColor(COLOR_GRAYTEXT));
}

TEST_F(XListPaintTest, ThemedBoxesUseTheThemeAndShowTheDisabledLook)
{
    SetUpRows();
    m_list.SetCheckbox(1, 0, 2);
    CPrinted print(m_list.m_hWnd, WM_PRINTCLIENT, PRF_CLIENT);
    CRect rcEnabled = m_list.GetCheckboxRect(1, 0);
    CRect rcDisabled = m_list.GetCheckboxRect(2, 0);
    // Something is drawn, and not the classic frame.
    EXPECT_NE(print.At(rcEnabled.CenterPoint().x, rcEnabled.CenterPoint().y), Window());
    EXPECT_NE(print.At(rcEnabled.left, rcEnabled.top + 6), kClassicFrame);
    int nDiffer = 0;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            if (print.At(rcEnabled.left + x, rcEnabled.top + y) != print.At(rcDisabled.left + x, rcDisabled.top + y))
                ++nDiffer;
    EXPECT_GT(nDiffer, 10) << "a disabled box looks disabled";
}

TEST_F(XListPaintTest, ImagesAndTextsOfPlainCells)
{
    SetUpRows();
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1));
    HDC hScreen = ::GetDC(NULL);
    HBITMAP hRed = ::CreateCompatibleBitmap(hScreen, 16, 16);
    HDC hMem = ::CreateCompatibleDC(hScreen);
    HGDIOBJ hOld = ::SelectObject(hMem, hRed);
    RECT rc16 = { 0, 0, 16, 16 };
    HBRUSH hBrush = ::CreateSolidBrush(RGB(255, 0, 0));
    ::FillRect(hMem, &rc16, hBrush);
    ::DeleteObject(hBrush);
    ::SelectObject(hMem, hOld);
    ::DeleteDC(hMem);
    ::ReleaseDC(NULL, hScreen);
    ASSERT_EQ(::ImageList_AddMasked(images.m_hImageList, hRed, RGB(0, 0, 0)), 0);
    ::DeleteObject(hRed);
    m_list.SetImageList(&images, LVSIL_SMALL);
    m_list.SetItemImage(0, 1, 0);

    CPrinted print(m_list.m_hWnd, WM_PRINTCLIENT, PRF_CLIENT);
    CRect rcCell;
    m_list.GetSubItemRect(0, 1, LVIR_BOUNDS, rcCell);
    int yMid = rcCell.CenterPoint().y;
    EXPECT_EQ(print.At(rcCell.left + 5, yMid), RGB(255, 0, 0));
    EXPECT_EQ(print.At(rcCell.left + 20, yMid), RGB(255, 0, 0));
    EXPECT_NE(print.At(rcCell.left + 4, yMid), RGB(255, 0, 0));
    int xText = print.FirstOther(rcCell.left + 21, rcCell.right, rcCell.top + 1, rcCell.bottom - 1, Window());
    EXPECT_GE(xText, rcCell.left + 5 + 16 + 5);
    // Row 1 has no image: its text starts at the margin.
    m_list.GetSubItemRect(1, 1, LVIR_BOUNDS, rcCell);
    xText = print.FirstOther(rcCell.left + 1, rcCell.right, rcCell.top + 1, rcCell.bottom - 1, Window());
    EXPECT_GE(xText, rcCell.left + 5);
    EXPECT_LE(xText, rcCell.left + 7);
    m_list.SetImageList(nullptr, LVSIL_SMALL);
}

TEST_F(XListPaintTest, EraseLeavesTheRowsAlone)
{
    // No rows: the ordinary erase covers everything.
    AddColumns(1);
    {
        CPrinted print(m_list.m_hWnd, WM_ERASEBKGND, 0);
        EXPECT_NE(print.At(200, 150), kMagenta);
    }
    AddRows(3, 1);
    CPrinted print(m_list.m_hWnd, WM_ERASEBKGND, 0);
    CRect rcFirst;
    CRect rcLast;
    m_list.GetItemRect(0, &rcFirst, LVIR_BOUNDS);
    m_list.GetItemRect(2, &rcLast, LVIR_BOUNDS);
    EXPECT_EQ(print.At(100, rcFirst.top + 2), kMagenta) << "rows are never erased";
    EXPECT_EQ(print.At(rcFirst.right - 2, rcLast.bottom - 2), kMagenta);
    EXPECT_EQ(print.At(100, rcFirst.top - 1), Window()) << "above";
    EXPECT_EQ(print.At(100, rcLast.bottom + 1), Window()) << "below";
    EXPECT_EQ(print.At(rcFirst.right + 1, rcFirst.top + 2), Window()) << "right of the rows";
}

TEST_F(XListPaintTest, HeaderDrawsItsBoxAndText)
{
    AddColumns(2);
    CXHeaderCtrl* pHeader = m_list.GetXHeaderCtrl();
    ASSERT_NE(pHeader, nullptr);
    CPrinted print(pHeader->m_hWnd, WM_PRINTCLIENT, PRF_CLIENT);
    CRect rcBox = pHeader->GetCheckboxRect(0);
    CRect rcItem;
    pHeader->GetItemRect(0, &rcItem);
    EXPECT_EQ(rcBox.left, rcItem.left + 5);
    COLORREF crFace = print.At(rcItem.right - 3, rcItem.top + 2);
    int nDrawn = 0;
    for (int y = rcBox.top; y < rcBox.bottom; ++y)
        for (int x = rcBox.left; x < rcBox.right; ++x)
            if (print.At(x, y) != crFace)
                ++nDrawn;
    EXPECT_GT(nDrawn, 20);
    CRect rcName;
    pHeader->GetItemRect(1, &rcName);
    EXPECT_GT(print.FirstOther(rcName.left + 1, rcName.right - 4, rcName.top + 3, rcName.bottom - 4,
                               print.At(rcName.left + 3, rcName.top + 3)),
              0)
        << "the heading's text";
}

TEST_F(XListPaintTest, AShownListFramesItsWindow)
{
    SetUpRows();
    m_wndHost.ShowWindow(SW_SHOWNOACTIVATE);
    m_wndHost.UpdateWindow();
    m_list.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC hDC = ::GetWindowDC(m_list.m_hWnd);
    COLORREF crCorner = ::GetPixel(hDC, 0, 0);
    COLORREF crSide = ::GetPixel(hDC, 0, 100);
    ::ReleaseDC(m_list.m_hWnd, hDC);
    EXPECT_EQ(crCorner, RGB(190, 197, 201));
    EXPECT_EQ(crSide, RGB(190, 197, 201));
    m_wndHost.ShowWindow(SW_HIDE);
}

TEST_F(XListPaintTest, ThemedDrawingComesBackAfterAThemeChange)
{
    SetUpRows();
    CRect rcBox = m_list.GetCheckboxRect(1, 0);
    std::vector<COLORREF> arrBefore;
    {
        CPrinted print(m_list.m_hWnd, WM_PRINTCLIENT, PRF_CLIENT);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x)
                arrBefore.push_back(print.At(rcBox.left + x, rcBox.top + y));
    }
    // The shared handles are closed and opened again on the next drawing.
    m_list.SendMessage(WM_THEMECHANGED);
    m_list.GetXHeaderCtrl()->SendMessage(WM_THEMECHANGED);
    CPrinted print(m_list.m_hWnd, WM_PRINTCLIENT, PRF_CLIENT);
    std::vector<COLORREF> arrAfter;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            arrAfter.push_back(print.At(rcBox.left + x, rcBox.top + y));
    EXPECT_EQ(arrAfter, arrBefore);
    EXPECT_NE(print.At(rcBox.left, rcBox.top + 6), kClassicFrame);
}
