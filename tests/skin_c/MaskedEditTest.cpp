#include "controls/skin/MaskedEdit.h"
#include "controls/skin/OwnerTextWnd.h"
#include "tests/skin_c/KitTestWindow.h"
#include <gtest/gtest.h>

namespace {

class MaskedEditTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_window.CreateTop(40, 40, 320, 120));
        ASSERT_TRUE(m_edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, CRect(10, 10, 300, 34), &m_window, 100));
    }
    void TearDown() override { m_window.DestroyWindow(); }

    void Type(const wchar_t* psz)
    {
        for (; *psz; psz++)
            m_edit.SendMessage(WM_CHAR, *psz, 0);
    }
    void Key(UINT nKey)
    {
        m_edit.SendMessage(WM_KEYDOWN, nKey, 0);
        if (nKey == VK_BACK)
            m_edit.SendMessage(WM_CHAR, L'\b', 0);
    }
    CString Text()
    {
        CString str;
        m_edit.GetWindowText(str);
        return str;
    }
    int Caret()
    {
        int nStart = 0, nEnd = 0;
        m_edit.GetSel(nStart, nEnd);
        return nStart;
    }
    void SetClipboard(const wchar_t* psz)
    {
        ASSERT_TRUE(::OpenClipboard(m_window.m_hWnd));
        ::EmptyClipboard();
        size_t nBytes = (wcslen(psz) + 1) * sizeof(wchar_t);
        HGLOBAL hData = ::GlobalAlloc(GMEM_MOVEABLE, nBytes);
        memcpy(::GlobalLock(hData), psz, nBytes);
        ::GlobalUnlock(hData);
        ::SetClipboardData(CF_UNICODETEXT, hData);
        ::CloseClipboard();
    }

    CKitTestWindow m_window;
    CMaskedEdit m_edit;
};

} // namespace

TEST_F(MaskedEditTest, WithoutAMaskItIsAPlainEdit)
{
    Type(L"a1 b");
    EXPECT_EQ(Text(), CString(L"a1 b"));
    Key(VK_BACK);
    EXPECT_EQ(Text(), CString(L"a1 "));
}

TEST_F(MaskedEditTest, TypingFillsInputPositionsAndSkipsLiterals)
{
    m_edit.SetMask(L"(###) ###-####", L"(___) ___-____", 8);
    EXPECT_EQ(Text(), CString(L"(___) ___-____"));
    EXPECT_EQ(Caret(), 1);
    Type(L"x");  // a letter in a digit position changes nothing
    EXPECT_EQ(Text(), CString(L"(___) ___-____"));
    Type(L"555");
    EXPECT_EQ(Caret(), 6);  // past ") "
    Type(L"1234567");
    EXPECT_EQ(Text(), CString(L"(555) 123-4567"));
    // Typing at a literal goes to the next input position.
    m_edit.SetSel(4, 4);
    Type(L"9");
    EXPECT_EQ(Text(), CString(L"(555) 923-4567"));
    // An empty position before the caret comes first.
    m_edit.SetMask(L"##-##", L"__-__", 8);
    m_edit.SetSel(3, 3);
    Type(L"7");
    EXPECT_EQ(Text(), CString(L"__-__"));
    EXPECT_EQ(Caret(), 1);
}

TEST_F(MaskedEditTest, DeleteBackspaceAndRightKeepTheMask)
{
    m_edit.SetMask(L"##/##/####", L"__/__/____", 8);
    Type(L"31122024");
    EXPECT_EQ(Text(), CString(L"31/12/2024"));
    m_edit.SetSel(0, 0);
    Key(VK_DELETE);  // what follows moves forward over the literals
    EXPECT_EQ(Text(), CString(L"11/22/024_"));
    EXPECT_EQ(Caret(), 0);
    m_edit.SetSel(9, 9);
    Key(VK_BACK);
    EXPECT_EQ(Text(), CString(L"11/22/02__"));
    EXPECT_EQ(Caret(), 8);
    Key(VK_BACK);
    EXPECT_EQ(Text(), CString(L"11/22/0___"));
    EXPECT_EQ(Caret(), 7);
    // Right does not step onto a position that is still empty.
    m_edit.SetSel(6, 6);
    Key(VK_RIGHT);
    EXPECT_EQ(Caret(), 6);
    // A selection deleted through the mask.
    m_edit.SetSel(0, 4);
    Key(VK_DELETE);
    EXPECT_EQ(Text(), CString(L"20/__/____"));
}

TEST_F(MaskedEditTest, PasteCutAndClearGoThroughTheMask)
{
    m_edit.SetMask(L"AA-####", L"__-____", 8);
    SetClipboard(L"xy12z3");
    m_edit.SetSel(0, 0);
    m_edit.SendMessage(WM_PASTE);
    EXPECT_EQ(Text(), CString(L"xy-123_"));
    m_edit.SetSel(3, 5);
    m_edit.SendMessage(WM_CUT);
    EXPECT_EQ(Text(), CString(L"xy-3___"));
    m_edit.SetSel(0, 7);
    m_edit.SendMessage(WM_CLEAR);
    EXPECT_EQ(Text(), CString(L"__-____"));
}

TEST_F(MaskedEditTest, PositionsStayWithinAShorterTemplateOrMask)
{
    // Template shorter than the mask: nothing is written past its end.
    m_edit.SetMask(L"######", L"___", 8);
    Type(L"123");
    EXPECT_EQ(Text(), CString(L"123"));
    EXPECT_EQ(Caret(), 3);
    Type(L"456");  // the last position takes what is typed at the end
    EXPECT_EQ(Text().GetLength(), 3);
    EXPECT_EQ(Text().Left(2), CString(L"12"));
    m_edit.SetSel(3, 3);
    Key(VK_DELETE);
    EXPECT_EQ(Text(), CString(L"12_"));
    Key(VK_BACK);
    EXPECT_EQ(Text(), CString(L"1__"));
    // Mask shorter than the template: the rest are literals.
    m_edit.SetMask(L"##", L"__-__", 8);
    Type(L"98765");
    EXPECT_EQ(Text().GetLength(), 5);
    EXPECT_EQ(Text().Mid(2), CString(L"-__"));
}

TEST(COwnerTextWnd, PaintsItsTextOnWhite)
{
    CKitTestWindow window;
    ASSERT_TRUE(window.CreateTop(40, 200, 320, 60));
    window.SendMessage(WM_ERASEBKGND);
    COwnerTextWnd text(DT_SINGLELINE | DT_VCENTER, 1);
    ASSERT_TRUE(text.Create(NULL, L"C:\\Program Files\\Tamsel\\A very long folder name\\Settings.ini",
                            WS_CHILD | WS_VISIBLE, CRect(10, 10, 210, 30), &window, 101));
    EXPECT_EQ(ClientPixel(text.m_hWnd, 199, 1), RGB(255, 255, 255));
    // Some dark text pixels in the left half.
    HDC hDC = ::GetDC(text.m_hWnd);
    int nDark = 0;
    for (int x = 0; x < 100; x++)
        for (int y = 0; y < 20; y++)
            nDark += GetRValue(::GetPixel(hDC, x, y)) < 128 ? 1 : 0;
    ::ReleaseDC(text.m_hWnd, hDC);
    EXPECT_GT(nDark, 20);
    window.DestroyWindow();
}
