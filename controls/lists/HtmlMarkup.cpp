#include "controls/lists/HtmlMarkup.h"
#include <wctype.h>
#include <string>
#include <vector>

namespace {

struct HTMLTag
{
    LPCWSTR pszName;
    int nNameLength;
    int nCode;
    bool bAttributes;
    bool bBlock;
};

// Row 0 is plain text; the tokenizer tries rows 10 down to 1, so "br" is met before "b".
const HTMLTag HTMLTagTable[] = {
    { L"", 0, 0, false, false },
    { L"b", 1, 1, false, false },
    { L"br", 2, 2, false, true },
    { L"em", 2, 4, false, false },
    { L"font", 4, 3, true, false },
    { L"i", 1, 4, false, false },
    { L"p", 1, 5, false, true },
    { L"strong", 6, 1, false, false },
    { L"sub", 3, 6, false, false },
    { L"sup", 3, 7, false, false },
    { L"u", 1, 8, false, false },
};
const int HTML_TAG_ROWS = 10;

enum
{
    TAG_BOLD = 1,
    TAG_BREAK = 2,
    TAG_FONT = 3,
    TAG_ITALIC = 4,
    TAG_PARAGRAPH = 5,
    TAG_SUB = 6,
    TAG_SUP = 7,
    TAG_UNDERLINE = 8,
    TAG_CLOSING = 0x100
};

enum
{
    STYLE_BOLD = 1,
    STYLE_ITALIC = 2,
    STYLE_UNDERLINE = 4,
    STYLE_SUP = 8,
    STYLE_SUB = 16
};

LOGFONTW BaseLogFont()
{
    LOGFONTW lf = {};
    lf.lfHeight = 13;
    lf.lfWeight = FW_NORMAL;
    ::lstrcpynW(lf.lfFaceName, L"Verdana", LF_FACESIZE);
    return lf;
}

void ApplyStyle(LOGFONTW& lf, int nStyle)
{
    lf.lfWeight = (nStyle & STYLE_BOLD) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (nStyle & STYLE_ITALIC) ? TRUE : FALSE;
    lf.lfUnderline = (nStyle & STYLE_UNDERLINE) ? TRUE : FALSE;
    if (nStyle & (STYLE_SUP | STYLE_SUB))
        lf.lfHeight = lf.lfHeight * 7 / 10;
}

bool MatchesNoCase(LPCWSTR psz, LPCWSTR pszName, int nLength)
{
    for (int i = 0; i < nLength; ++i)
    {
        if (::towlower(psz[i]) != ::towlower(pszName[i]))
            return false;
    }
    return true;
}

// The run's text with the three entities decoded.
void DecodeRun(LPCWSTR psz, int nLength, std::wstring& strOut)
{
    strOut.clear();
    for (int i = 0; i < nLength; ++i)
    {
        if (psz[i] == L'&')
        {
            int nLeft = nLength - i;
            if (nLeft >= 4 && MatchesNoCase(psz + i, L"&lt;", 4))
            {
                strOut += L'<';
                i += 3;
                continue;
            }
            if (nLeft >= 4 && MatchesNoCase(psz + i, L"&gt;", 4))
            {
                strOut += L'>';
                i += 3;
                continue;
            }
            if (nLeft >= 5 && MatchesNoCase(psz + i, L"&amp;", 5))
            {
                strOut += L'&';
                i += 4;
                continue;
            }
        }
        strOut += psz[i];
    }
}

int TextWidth(HDC hDC, LPCWSTR psz, int nLength)
{
    SIZE size = {};
    if (nLength > 0)
        ::GetTextExtentPoint32W(hDC, psz, nLength, &size);
    return size.cx;
}

} // namespace

int HexDigitValue(wchar_t ch)
{
    if (ch >= L'0' && ch <= L'9')
        return ch - L'0';
    if (ch >= L'a' && ch <= L'f')
        return ch - L'a' + 10;
    if (ch >= L'A' && ch <= L'F')
        return ch - L'A' + 10;
    return 0;
}

COLORREF ParseHTMLColor(LPCWSTR pszValue, int nLength)
{
    if (pszValue == NULL || nLength <= 0)
        return RGB(0, 0, 0);
    int i = 0;
    if (i < nLength && (pszValue[i] == L'\'' || pszValue[i] == L'"'))
        ++i;
    if (i < nLength && pszValue[i] == L'#')
        ++i;
    int nDigits[6] = {};
    for (int n = 0; n < 6 && i + n < nLength; ++n)
        nDigits[n] = HexDigitValue(pszValue[i + n]);
    return RGB(nDigits[0] * 16 + nDigits[1], nDigits[2] * 16 + nDigits[3], nDigits[4] * 16 + nDigits[5]);
}

HFONT CreateHTMLFont(HDC hDC, HFONT hBaseFont, int nStyle)
{
    UNUSED_ALWAYS(hDC);
    LOGFONTW lf = {};
    if (hBaseFont == NULL || ::GetObjectW(hBaseFont, sizeof(lf), &lf) == 0)
        return NULL;
    ApplyStyle(lf, nStyle);
    return ::CreateFontIndirectW(&lf);
}

CHTMLFontCache::CHTMLFontCache()
{
    for (int i = 0; i < 32; ++i)
    {
        m_hFonts[i] = NULL;
        m_bTried[i] = false;
    }
}

CHTMLFontCache::~CHTMLFontCache()
{
    Clear();
}

void CHTMLFontCache::Clear()
{
    for (int i = 0; i < 32; ++i)
    {
        if (m_hFonts[i] != NULL)
            ::DeleteObject(m_hFonts[i]);
        m_hFonts[i] = NULL;
        m_bTried[i] = false;
    }
}

HFONT CHTMLFontCache::GetFont(HDC hDC, int nStyle)
{
    UNUSED_ALWAYS(hDC);
    nStyle &= 31;
    if (!m_bTried[nStyle])
    {
        m_bTried[nStyle] = true;
        LOGFONTW lf = BaseLogFont();
        ApplyStyle(lf, nStyle);
        m_hFonts[nStyle] = ::CreateFontIndirectW(&lf);
    }
    return m_hFonts[nStyle];
}

int GetHTMLToken(LPCWSTR* ppszText, int* pnLeft, int* pnTokenLength, BOOL* pbWhiteSpace, BOOL* pbBackslash)
{
    LPCWSTR p = *ppszText;
    int nLeft = *pnLeft;
    const bool bBothPending = *pbWhiteSpace && *pbBackslash;
    // White space and backslashes in front of the token; several count as one.
    for (;;)
    {
        if (nLeft > 0 && ::iswspace(*p))
        {
            *pbWhiteSpace = TRUE;
            while (nLeft > 0 && ::iswspace(*p))
            {
                ++p;
                --nLeft;
            }
        }
        else if (nLeft > 0 && *p == L'\\')
        {
            *pbBackslash = TRUE;
            while (nLeft > 0 && *p == L'\\')
            {
                ++p;
                --nLeft;
            }
        }
        else
            break;
    }
    *ppszText = p;
    *pnLeft = nLeft;
    *pnTokenLength = 0;
    if (nLeft <= 0)
        return -1;

    if (*p != L'<')
    {
        int n = 0;
        while (n < nLeft && !::iswspace(p[n]) && p[n] != L'<' && p[n] != L'\\')
            ++n;
        *pnTokenLength = n;
        *pnLeft -= n;
        return 0;
    }

    int i = 1;
    bool bClosing = false;
    if (i < nLeft && p[i] == L'/')
    {
        bClosing = true;
        ++i;
    }
    const int nNameStart = i;
    int nNameEnd = i;
    while (nNameEnd < nLeft && !::iswspace(p[nNameEnd]) && p[nNameEnd] != L'<' && p[nNameEnd] != L'>' &&
           p[nNameEnd] != L'\\')
        ++nNameEnd;
    int nRow = 0;
    for (int r = HTML_TAG_ROWS; r >= 1; --r)
    {
        const HTMLTag& tag = HTMLTagTable[r];
        if (nNameStart + tag.nNameLength <= nLeft && MatchesNoCase(p + nNameStart, tag.pszName, tag.nNameLength))
        {
            nRow = r;
            break;
        }
    }
    int nEnd = nNameEnd;
    if (nRow != 0 && HTMLTagTable[nRow].bAttributes && !bClosing)
    {
        while (nEnd < nLeft && p[nEnd] != L'<' && p[nEnd] != L'>' && p[nEnd] != L'\\')
            ++nEnd;
    }
    else if (nRow != 0 && !(nNameEnd < nLeft && p[nNameEnd] == L'>'))
        nRow = 0;
    if (nRow != 0 && HTMLTagTable[nRow].bBlock)
    {
        *pbWhiteSpace = FALSE;
        *pbBackslash = FALSE;
    }
    if (nEnd < nLeft && p[nEnd] == L'>')
        ++nEnd;
    if ((nRow != 0 && HTMLTagTable[nRow].bBlock) || bBothPending)
    {
        while (nEnd < nLeft && ::iswspace(p[nEnd]))
            ++nEnd;
    }
    *pnTokenLength = nEnd;
    *pnLeft -= nEnd;
    return HTMLTagTable[nRow].nCode + (bClosing ? TAG_CLOSING : 0);
}

int DrawHTML(HDC hDC, LPCWSTR pszText, int nLength, LPRECT lpRect, UINT uFormat, CHTMLFontCache* pCache)
{
    if (hDC == NULL || pszText == NULL)
        return 0;
    if (nLength < 0)
        nLength = ::lstrlenW(pszText);

    POINT ptOrigin = {};
    int nLimit;
    if (lpRect != NULL)
    {
        ptOrigin.x = lpRect->left;
        ptOrigin.y = lpRect->top;
        nLimit = lpRect->right - lpRect->left - 16;
    }
    else
    {
        ::GetCurrentPositionEx(hDC, &ptOrigin);
        nLimit = ::GetDeviceCaps(hDC, HORZRES) - ptOrigin.x - 16;
    }
    if (nLimit < 0)
        nLimit = 0;
    uFormat &= ~(UINT)(DT_CENTER | DT_RIGHT | DT_TABSTOP);
    uFormat |= DT_NOPREFIX;

    const int nSaved = ::SaveDC(hDC);
    CHTMLFontCache localCache;
    CHTMLFontCache& cache = pCache != NULL ? *pCache : localCache;
    HFONT hBase = cache.GetFont(hDC, 0);
    if (hBase != NULL)
        ::SelectObject(hDC, hBase);
    SIZE sizeSample = {};
    ::GetTextExtentPoint32W(hDC, L"Xy", 2, &sizeSample);
    const int nLineHeight = sizeSample.cy;

    int x = 0, y = 0, nWidest = 0, nStyle = 0, nSelectedStyle = -1;
    int nBlankWidth = 0, nBackslashWidth = 0;
    BOOL bWhiteSpace = FALSE, bBackslash = FALSE;
    // Colours saved by open font tags, of any depth; an unbalanced closing tag
    // returns to the colour this call began with.
    const COLORREF crStart = ::GetTextColor(hDC);
    std::vector<COLORREF> arrColors;
    const bool bCalc = (uFormat & DT_CALCRECT) != 0;
    const bool bSingleLine = (uFormat & DT_SINGLELINE) != 0;
    const bool bWordBreak = (uFormat & DT_WORDBREAK) != 0;
    const UINT uDrawFormat = uFormat & ~(UINT)DT_CALCRECT;
    std::wstring strRun;

    LPCWSTR p = pszText;
    int nLeft = nLength;
    for (;;)
    {
        int nTokenLength = 0;
        const int nToken = GetHTMLToken(&p, &nLeft, &nTokenLength, &bWhiteSpace, &bBackslash);
        if (nToken == -1)
            break;
        const bool bClosing = (nToken & TAG_CLOSING) != 0;
        switch (nToken & 0xFF)
        {
        case TAG_BOLD:
            nStyle = bClosing ? (nStyle & ~STYLE_BOLD) : (nStyle | STYLE_BOLD);
            break;
        case TAG_ITALIC:
            nStyle = bClosing ? (nStyle & ~STYLE_ITALIC) : (nStyle | STYLE_ITALIC);
            break;
        case TAG_UNDERLINE:
            nStyle = bClosing ? (nStyle & ~STYLE_UNDERLINE) : (nStyle | STYLE_UNDERLINE);
            break;
        case TAG_SUP:
            nStyle = bClosing ? (nStyle & ~STYLE_SUP) : (nStyle | STYLE_SUP);
            break;
        case TAG_SUB:
            nStyle = bClosing ? (nStyle & ~STYLE_SUB) : (nStyle | STYLE_SUB);
            break;
        case TAG_BREAK:
            if (!bClosing && !bSingleLine)
            {
                y += nLineHeight;
                x = 0;
            }
            break;
        case TAG_PARAGRAPH:
            if (!bClosing && !bSingleLine)
            {
                if (p != pszText)
                    y += (3 * nLineHeight) / 2;
                x = 0;
            }
            break;
        case TAG_FONT:
            if (!bClosing)
            {
                // "<font" and one more character, then "color=" and the value.
                if (nTokenLength >= 12 && MatchesNoCase(p + 6, L"color=", 6))
                {
                    int nValueEnd = nTokenLength;
                    while (nValueEnd > 12 && (::iswspace(p[nValueEnd - 1]) || p[nValueEnd - 1] == L'>'))
                        --nValueEnd;
                    arrColors.push_back(::GetTextColor(hDC));
                    ::SetTextColor(hDC, ParseHTMLColor(p + 12, nValueEnd - 12));
                }
            }
            else if (!arrColors.empty())
            {
                ::SetTextColor(hDC, arrColors.back());
                arrColors.pop_back();
            }
            else
                ::SetTextColor(hDC, crStart);
            break;
        case 0:
            if (bClosing)
                break;  // a closing tag of no known name
            {
                if (nStyle != nSelectedStyle)
                {
                    HFONT hFont = cache.GetFont(hDC, nStyle);
                    if (hFont != NULL)
                        ::SelectObject(hDC, hFont);
                    nSelectedStyle = nStyle;
                    nBlankWidth = TextWidth(hDC, L" ", 1);
                    nBackslashWidth = TextWidth(hDC, L"\\", 1);
                }
                DecodeRun(p, nTokenLength, strRun);
                const int nRunWidth = TextWidth(hDC, strRun.c_str(), (int)strRun.size());
                if (nRunWidth > nLimit)
                    nLimit = nRunWidth;
                const BOOL bSpaceBefore = bWhiteSpace, bSlashBefore = bBackslash;
                if (bSpaceBefore)
                    x += nBlankWidth;
                if (bSlashBefore)
                    x += nBackslashWidth;
                for (int nTest = 0; nTest < 2; ++nTest)
                {
                    const BOOL bPending = nTest == 0 ? bSpaceBefore : bSlashBefore;
                    if (bPending && x + nRunWidth > nLimit)
                    {
                        if (bWordBreak)
                        {
                            y += nLineHeight;
                            x = 0;
                        }
                        else
                            nLimit = x + nRunWidth;
                    }
                }
                if (!bCalc)
                {
                    RECT rc = { ptOrigin.x + x, ptOrigin.y + y, ptOrigin.x + nLimit, ptOrigin.y + y + nLineHeight };
                    if (rc.right < rc.left + nRunWidth)
                        rc.right = rc.left + nRunWidth;
                    UINT uRunFormat = uDrawFormat;
                    if (nStyle & STYLE_SUB)
                        uRunFormat |= DT_BOTTOM | DT_SINGLELINE;
                    ::DrawTextW(hDC, strRun.c_str(), (int)strRun.size(), &rc, uRunFormat);
                    const bool bFlip = ptOrigin.y < 0;
                    const int nLineTop = bFlip ? ptOrigin.y - y : ptOrigin.y + y;
                    const int nLineBottom = bFlip ? nLineTop - nLineHeight : nLineTop + nLineHeight;
                    if (bSpaceBefore && (nStyle & STYLE_UNDERLINE) && x >= nBlankWidth)
                    {
                        RECT rcBlank = { ptOrigin.x + x - nBlankWidth, nLineTop, ptOrigin.x + x, nLineBottom };
                        ::DrawTextW(hDC, L" ", 1, &rcBlank, uFormat & ~(UINT)DT_CALCRECT);
                    }
                    if (bSlashBefore && (x >= nBackslashWidth || x == 0))
                    {
                        RECT rcSlash = { ptOrigin.x + x - nBackslashWidth, nLineTop, ptOrigin.x + x, nLineBottom };
                        ::DrawTextW(hDC, L"\\", 1, &rcSlash, (uFormat & ~(UINT)DT_CALCRECT) | DT_NOCLIP);
                    }
                }
                x += nRunWidth;
                if (x > nWidest)
                    nWidest = x;
                bWhiteSpace = FALSE;
                bBackslash = FALSE;
            }
            break;
        default:
            break;  // closing br and p
        }
        p += nTokenLength;
    }

    ::RestoreDC(hDC, nSaved);
    if (bCalc && lpRect != NULL)
    {
        lpRect->right = lpRect->left + nWidest;
        if (lpRect->top < 0)
            lpRect->bottom = lpRect->top - (y + nLineHeight);
        else
            lpRect->bottom = lpRect->top + y + nLineHeight;
    }
    return y + nLineHeight;
}
