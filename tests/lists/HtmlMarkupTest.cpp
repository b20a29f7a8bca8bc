// The rich-text markup: what it draws and measures, and that it never reads
// past the length it is given.
#include <gtest/gtest.h>

#include "controls/lists/HtmlMarkup.h"
#include "tests/lists/TreeListSurface.h"

#include <atomic>
#include <string>

namespace {

int Measure(HDC hDC, const wchar_t* psz, UINT uExtra = 0, int nWidth = 1000, RECT* pOut = NULL)
{
    RECT rc = { 0, 0, nWidth, 0 };
    const int n = DrawHTML(hDC, psz, -1, &rc, DT_CALCRECT | uExtra);
    if (pOut != NULL)
        *pOut = rc;
    return n;
}

int Draw(HDC hDC, const wchar_t* psz, UINT uFormat = 0, int nWidth = 400)
{
    RECT rc = { 0, 0, nWidth, 100 };
    return DrawHTML(hDC, psz, -1, &rc, uFormat);
}

// Width of plain text in the markup's base font with the style's weight.
int PlainWidth(HDC hDC, const wchar_t* psz, bool bBold = false)
{
    LOGFONTW lf = {};
    lf.lfHeight = 13;
    lf.lfWeight = bBold ? FW_BOLD : FW_NORMAL;
    ::lstrcpyW(lf.lfFaceName, L"Verdana");
    HFONT hFont = ::CreateFontIndirectW(&lf);
    HGDIOBJ hOld = ::SelectObject(hDC, hFont);
    SIZE size = {};
    ::GetTextExtentPoint32W(hDC, psz, ::lstrlenW(psz), &size);
    ::SelectObject(hDC, hOld);
    ::DeleteObject(hFont);
    return size.cx;
}

int LineHeight(HDC hDC)
{
    LOGFONTW lf = {};
    lf.lfHeight = 13;
    lf.lfWeight = FW_NORMAL;
    ::lstrcpyW(lf.lfFaceName, L"Verdana");
    HFONT hFont = ::CreateFontIndirectW(&lf);
    HGDIOBJ hOld = ::SelectObject(hDC, hFont);
    SIZE size = {};
    ::GetTextExtentPoint32W(hDC, L"Xy", 2, &size);
    ::SelectObject(hDC, hOld);
    ::DeleteObject(hFont);
    return size.cy;
}

} // namespace

TEST(HtmlMarkup, EmptyNullAndLineBreaks)
{
    TreeListSurface s;
    const int lh = LineHeight(s.DC());
    EXPECT_GT(lh, 10);
    EXPECT_EQ(0, DrawHTML(NULL, L"x", -1, NULL, 0));
    EXPECT_EQ(0, DrawHTML(s.DC(), NULL, -1, NULL, 0));
    TreeListSurface blank;
    EXPECT_EQ(lh, Draw(s.DC(), L""));
    EXPECT_TRUE(s.SameAs(blank));

    EXPECT_EQ(2 * lh, Measure(s.DC(), L"one<br>two"));
    RECT rc;
    EXPECT_EQ(lh, Measure(s.DC(), L"one<br>two", DT_SINGLELINE, 1000, &rc));
    EXPECT_EQ(PlainWidth(s.DC(), L"one") + PlainWidth(s.DC(), L"two"), rc.right);
    EXPECT_EQ(lh, Measure(s.DC(), L"<p>one"));
    EXPECT_EQ(lh + (3 * lh) / 2, Measure(s.DC(), L"one<p>two"));
    EXPECT_EQ(lh + (3 * lh) / 2, Measure(s.DC(), L" <p>one"));  // behind white space: not the first character
}

TEST(HtmlMarkup, TagsMatchWithoutCaseAndByTheirNames)
{
    TreeListSurface s;
    RECT rcBold, rcUpper, rcStrong, rcPlain, rcLonger;
    Measure(s.DC(), L"<b>Bold</b>", 0, 1000, &rcBold);
    Measure(s.DC(), L"<B>Bold</b>", 0, 1000, &rcUpper);
    Measure(s.DC(), L"<strong>Bold</strong>", 0, 1000, &rcStrong);
    Measure(s.DC(), L"Bold", 0, 1000, &rcPlain);
    Measure(s.DC(), L"<bold>Bold</bold>", 0, 1000, &rcLonger);
    EXPECT_EQ(PlainWidth(s.DC(), L"Bold", true), rcBold.right);
    EXPECT_EQ(rcBold.right, rcUpper.right);
    EXPECT_EQ(rcBold.right, rcStrong.right);
    EXPECT_EQ(rcBold.right, rcLonger.right);
    EXPECT_EQ(PlainWidth(s.DC(), L"Bold"), rcPlain.right);

    // An unknown opening tag is text, brackets included; an unknown closing tag is nothing.
    RECT rcTag;
    Measure(s.DC(), L"<x>", 0, 1000, &rcTag);
    EXPECT_EQ(PlainWidth(s.DC(), L"<x>"), rcTag.right);
    Measure(s.DC(), L"</x>", 0, 1000, &rcTag);
    EXPECT_EQ(0, rcTag.right);

    const wchar_t* psz = L"<img src=x>";
    LPCWSTR p = psz;
    int nLeft = ::lstrlenW(psz), nLength = 0;
    BOOL bSpace = FALSE, bSlash = FALSE;
    EXPECT_EQ(0, GetHTMLToken(&p, &nLeft, &nLength, &bSpace, &bSlash));
    EXPECT_EQ(4, nLength);
}

TEST(HtmlMarkup, PathsSpacesAndWideRuns)
{
    TreeListSurface s;
    RECT rc;
    // Three runs joined by backslashes measure like the whole path.
    Measure(s.DC(), L"C:\\Windows\\System32", 0, 1000, &rc);
    EXPECT_NEAR(PlainWidth(s.DC(), L"C:\\Windows\\System32"), rc.right, 1);
    // A narrow rectangle breaks at a backslash with word breaks.
    EXPECT_GT(Measure(s.DC(), L"C:\\Windows\\System32", DT_WORDBREAK, 16 + 70), LineHeight(s.DC()));
    // A run wider than the rectangle widens the line instead of being cut.
    Measure(s.DC(), L"Supercalifragilistic", DT_WORDBREAK, 20, &rc);
    EXPECT_EQ(PlainWidth(s.DC(), L"Supercalifragilistic"), rc.right);
    // White space runs count as one blank.
    RECT rcOne, rcMany;
    Measure(s.DC(), L"a b", 0, 1000, &rcOne);
    Measure(s.DC(), L"a \r\n\t  b", 0, 1000, &rcMany);
    EXPECT_EQ(rcOne.right, rcMany.right);

    // Centre and right alignment have no effect.
    TreeListSurface left, centre;
    Draw(left.DC(), L"<b>Key:</b> HKEY_CLASSES_ROOT");
    Draw(centre.DC(), L"<b>Key:</b> HKEY_CLASSES_ROOT", DT_CENTER | DT_RIGHT);
    EXPECT_TRUE(left.SameAs(centre));
}

TEST(HtmlMarkup, UnderlinedBlankAndScripts)
{
    TreeListSurface s;
    Draw(s.DC(), L"<u>MM MM</u>");
    const int x0 = PlainWidth(s.DC(), L"MM");
    const int x1 = x0 + PlainWidth(s.DC(), L" ");
    EXPECT_NE(-1, s.FirstInkRow(x0 + 1, x1 - 1)) << "the gap is underlined";
    TreeListSurface plain;
    Draw(plain.DC(), L"MM MM");
    EXPECT_EQ(-1, plain.FirstInkRow(x0 + 1, x1 - 1));

    TreeListSurface sub, sup;
    Draw(sub.DC(), L"<sub>MM</sub>");
    Draw(sup.DC(), L"<sup>MM</sup>");
    EXPECT_GT(sub.FirstInkRow(0, 40), sup.FirstInkRow(0, 40));
    EXPECT_GT(sub.LastInkRow(0, 40), sup.LastInkRow(0, 40));
}

TEST(HtmlMarkup, FontColoursNestAtAnyDepth)
{
    const COLORREF red = RGB(255, 0, 0);
    for (const wchar_t* psz : { L"<font color=#FF0000><b>MMM</b></font>", L"<font color='FF0000'><b>MMM</b></font>",
                                L"<font color=\"#ff0000\"><b>MMM</b></font>", L"<FONT COLOR=ff0000><b>MMM</b></font>" })
    {
        TreeListSurface s;
        Draw(s.DC(), psz);
        EXPECT_TRUE(s.HasColor(red, 0, 60));
    }
    {
        // Two blanks: the colour stays, the closing tag still pops.
        TreeListSurface s;
        Draw(s.DC(), L"<font  color=#FF0000><b>MMM</b></font>");
        EXPECT_FALSE(s.HasColor(red, 0, 60));
    }
    // Nine nested colours: each closing tag restores the one before it.
    std::wstring strText;
    COLORREF colours[10];
    for (int n = 1; n <= 9; ++n)
    {
        colours[n] = RGB(20 * n, 255 - 20 * n, (n * 50) % 256);
        wchar_t sz[64];
        swprintf(sz, 64, L"<font color=#%02x%02x%02x>", GetRValue(colours[n]), GetGValue(colours[n]),
                 GetBValue(colours[n]));
        strText += sz;
    }
    strText += L"<b>MM</b></font><b>WWWWWW</b></font>";
    TreeListSurface s;
    Draw(s.DC(), strText.c_str());
    const int xAfter = PlainWidth(s.DC(), L"MM", true) + 2;
    EXPECT_TRUE(s.HasColor(colours[9], 0, xAfter - 2));
    EXPECT_TRUE(s.HasColor(colours[8], xAfter, 200));
    EXPECT_FALSE(s.HasColor(colours[7], xAfter, 200));
}

TEST(HtmlMarkup, UnbalancedCloseReturnsToTheCallsOwnColour)
{
    const COLORREF green = RGB(0, 192, 0);
    TreeListSurface s;
    // An earlier row left a colour open.
    ::SetTextColor(s.DC(), RGB(0, 0, 255));
    Draw(s.DC(), L"<font color=#00c000>x");
    s.Clear();
    ::SetTextColor(s.DC(), RGB(0, 0, 0));
    Draw(s.DC(), L"</font><b>MMMM</b>");
    EXPECT_FALSE(s.HasColor(RGB(0, 0, 255), 0, 80));
    EXPECT_FALSE(s.HasColor(green, 0, 80));
    EXPECT_TRUE(s.HasColor(RGB(0, 0, 0), 0, 80));
    EXPECT_EQ(RGB(0, 0, 0), ::GetTextColor(s.DC())) << "the DC is left as it was";
}

TEST(HtmlMarkup, EntitiesDecodeThreeNamesOnly)
{
    TreeListSurface s;
    RECT rc;
    Measure(s.DC(), L"a&lt;b&gt;c&amp;d", 0, 1000, &rc);
    EXPECT_EQ(PlainWidth(s.DC(), L"a<b>c&d"), rc.right);
    Measure(s.DC(), L"R&D&foo;", 0, 1000, &rc);
    EXPECT_EQ(PlainWidth(s.DC(), L"R&D&foo;"), rc.right);
    Measure(s.DC(), L"&amp;lt;", 0, 1000, &rc);
    EXPECT_EQ(PlainWidth(s.DC(), L"&lt;"), rc.right);
    // A counted text that ends inside an entity keeps it literal.
    RECT rcCut = { 0, 0, 1000, 0 };
    DrawHTML(s.DC(), L"x&lt;", 4, &rcCut, DT_CALCRECT);
    EXPECT_EQ(PlainWidth(s.DC(), L"x&lt"), rcCut.right);
    // A registry text with markup characters, escaped, shows as written.
    Measure(s.DC(), L"<b>Value:</b> &lt;b&gt;=1", 0, 1000, &rc);
    EXPECT_EQ(PlainWidth(s.DC(), L"Value:", true) + PlainWidth(s.DC(), L" ") + PlainWidth(s.DC(), L"<b>=1"),
              rc.right);
}

TEST(HtmlMarkup, ColourParsingStaysInsideItsText)
{
    EXPECT_EQ(RGB(255, 0, 0), ParseHTMLColor(L"#ff", 3));
    EXPECT_EQ(RGB(0, 255, 0), ParseHTMLColor(L"'#00ff00'", 9));
    EXPECT_EQ(RGB(0, 0, 0), ParseHTMLColor(L"pink", 4));
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), ParseHTMLColor(L"123456789", 9));
    EXPECT_EQ(0, HexDigitValue(L'g'));
    EXPECT_EQ(15, HexDigitValue(L'F'));
}

namespace {

std::atomic<int> g_nGuardHits{ 0 };
// The page a test guards, while it guards it.
void* g_pGuarded = nullptr;
SIZE_T g_nGuardedSize = 0;

LONG CALLBACK GuardHandler(EXCEPTION_POINTERS* pInfo)
{
    const DWORD dwCode = pInfo->ExceptionRecord->ExceptionCode;
    if (dwCode == STATUS_GUARD_PAGE_VIOLATION)
    {
        ++g_nGuardHits;
        return EXCEPTION_CONTINUE_EXECUTION;  // the guard is gone; the read goes on
    }
    // Under qemu-user, 32-bit Wine hears of every memory fault as an illegal instruction and
    // leaves the guard on. While our page is still guarded that is the same read: lift the
    // guard and let the read run again. A real illegal instruction comes back and is not ours.
    if (dwCode == EXCEPTION_ILLEGAL_INSTRUCTION && g_pGuarded != nullptr)
    {
        MEMORY_BASIC_INFORMATION mbi = {};
        DWORD dwOld = 0;
        if (::VirtualQuery(g_pGuarded, &mbi, sizeof(mbi)) == sizeof(mbi) && (mbi.Protect & PAGE_GUARD) != 0 &&
            ::VirtualProtect(g_pGuarded, g_nGuardedSize, PAGE_READWRITE, &dwOld))
        {
            ++g_nGuardHits;
            return EXCEPTION_CONTINUE_EXECUTION;
        }
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

} // namespace

TEST(HtmlMarkup, EveryPrefixOfHostileMarkupStaysInsideItsLength)
{
    const std::wstring strCorpus =
        L"<font color=#ff0000><b>Bad.</b></font><br><font color=#12<font color=\"#ab<font  color=<font "
        L"color=#abcdef><p><P></p><i>i</I><u>u</u><sub>s</sub><sup>s</sup><em>e</em><strong>s</strong>"
        L"<bogus>&lt;&gt;&amp;&am&l&&lt\\\\C:\\x\\<b\\>\\ <br \\ </ </font></font></font>&<</<font";
    SYSTEM_INFO si;
    ::GetSystemInfo(&si);
    const DWORD dwPage = si.dwPageSize;
    BYTE* pBase = (BYTE*)::VirtualAlloc(NULL, dwPage * 2, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_NE(nullptr, pBase);
    // The page after the text is filled with markup a stray read would follow.
    wchar_t* pAfter = (wchar_t*)(pBase + dwPage);
    for (DWORD i = 0; i < dwPage / sizeof(wchar_t); ++i)
        pAfter[i] = L"<font color=#"[i % 13];
    g_pGuarded = pAfter;
    g_nGuardedSize = dwPage;
    PVOID hHandler = ::AddVectoredExceptionHandler(1, GuardHandler);
    ASSERT_NE(nullptr, hHandler);
    TreeListSurface s;
    DWORD dwOld = 0;
    int nFaultingPrefixes = 0;
    for (size_t nLength = 0; nLength <= strCorpus.size(); ++nLength)
    {
        wchar_t* pText = pAfter - nLength;
        memcpy(pText, strCorpus.data(), nLength * sizeof(wchar_t));
        ::VirtualProtect(pAfter, dwPage, PAGE_READWRITE | PAGE_GUARD, &dwOld);
        g_nGuardHits = 0;
        for (UINT uFormat : { (UINT)DT_WORDBREAK, (UINT)(DT_CALCRECT | DT_WORDBREAK), (UINT)DT_SINGLELINE })
        {
            RECT rc = { 0, 0, 120, 100 };
            DrawHTML(s.DC(), pText, (int)nLength, &rc, uFormat);
        }
        if (g_nGuardHits.load() != 0)
            ++nFaultingPrefixes;
        ::VirtualProtect(pAfter, dwPage, PAGE_READWRITE, &dwOld);
    }
    ::RemoveVectoredExceptionHandler(hHandler);
    g_pGuarded = nullptr;
    ::VirtualFree(pBase, 0, MEM_RELEASE);
    EXPECT_EQ(0, nFaultingPrefixes);
}

TEST(HtmlMarkup, GuardPageIsSeenWhenReadPastTheEnd)
{
    // The guard above works here: a deliberate read past the end is noticed.
    SYSTEM_INFO si;
    ::GetSystemInfo(&si);
    BYTE* pBase = (BYTE*)::VirtualAlloc(NULL, si.dwPageSize * 2, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_NE(nullptr, pBase);
    volatile wchar_t* pAfter = (volatile wchar_t*)(pBase + si.dwPageSize);
    g_pGuarded = (void*)pAfter;
    g_nGuardedSize = si.dwPageSize;
    PVOID hHandler = ::AddVectoredExceptionHandler(1, GuardHandler);
    DWORD dwOld = 0;
    ::VirtualProtect((LPVOID)pAfter, si.dwPageSize, PAGE_READWRITE | PAGE_GUARD, &dwOld);
    g_nGuardHits = 0;
    wchar_t ch = pAfter[0];
    (void)ch;
    EXPECT_EQ(1, g_nGuardHits.load());
    ::RemoveVectoredExceptionHandler(hHandler);
    g_pGuarded = nullptr;
    ::VirtualFree(pBase, 0, MEM_RELEASE);
}

TEST(HtmlMarkup, CachedWidthsEqualTheFontsExtents)
{
    TreeListSurface s;
    CHTMLFontCache cache;
    const wchar_t* pszRuns[] = { L"HKEY_CLASSES_ROOT\\CLSID\\{00000001-0000-0000-C000-000000000046}",
                                 L"Value:", L"{Default}=C:\\Program Files\\Missing\\lib1.dll", L"WWWiii...,,,",
                                 L"Caf\u00e9 \u00fcber", L"x" };
    for (int nStyle : { 0, 1, 2, 4, 5, 8 })
    {
        HFONT hFont = cache.GetFont(s.DC(), nStyle);
        ASSERT_NE((HFONT)NULL, hFont);
        HGDIOBJ hOld = ::SelectObject(s.DC(), hFont);
        for (const wchar_t* psz : pszRuns)
        {
            SIZE size = {};
            ::GetTextExtentPoint32W(s.DC(), psz, ::lstrlenW(psz), &size);
            EXPECT_EQ(size.cx, cache.TextWidth(s.DC(), nStyle, psz, ::lstrlenW(psz))) << "style " << nStyle;
        }
        ::SelectObject(s.DC(), hOld);
    }
}

// A key row lays its path out as the font draws the whole path: no blank
// before a backslash, none after it, whatever the bold label before it.
TEST(HtmlMarkup, KeyRowPathDrawsLikeThePlainPath)
{
    CHTMLFontCache cache;
    TreeListSurface html(600, 20), plain(600, 20);
    RECT rc = { 0, 0, 600, 20 };
    DrawHTML(html.DC(), L"<b>Key:</b> HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows", -1, &rc, DT_WORDBREAK, &cache);

    HGDIOBJ hOld = ::SelectObject(plain.DC(), cache.GetFont(plain.DC(), 1));
    RECT rcLabel = { 0, 0, 600, 20 };
    ::DrawTextW(plain.DC(), L"Key:", 4, &rcLabel, DT_NOPREFIX);
    SIZE sizeLabel = {};
    ::GetTextExtentPoint32W(plain.DC(), L"Key:", 4, &sizeLabel);
    ::SelectObject(plain.DC(), cache.GetFont(plain.DC(), 0));
    const wchar_t* pszPath = L" HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows";
    RECT rcPath = { sizeLabel.cx, 0, 600, 20 };
    ::DrawTextW(plain.DC(), pszPath, -1, &rcPath, DT_NOPREFIX);
    ::SelectObject(plain.DC(), hOld);
    EXPECT_TRUE(html.SameAs(plain));
}
