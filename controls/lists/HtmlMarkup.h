#pragma once
// Rich-text rows: a small HTML-like markup drawn or measured with the calling
// shape of DrawTextW. Tags: b, strong, i, em, u, sub, sup, br, p and
// <font color=#rrggbb>. In text, "&lt;", "&gt;" and "&amp;" stand for
// '<', '>' and '&'; any other '&' is literal (writers escape those three).
#include "framework/AfxDefs.h"

// Fonts of one base face (Verdana 13) by style bits, kept for the life of the
// cache so that measuring thousands of rows does not create fonts per row.
// Use on one thread.
class CHTMLFontCache
{
public:
    CHTMLFontCache();
    ~CHTMLFontCache();
    // The font of the style bits (1 bold, 2 italic, 4 underline, 8 sup, 16 sub);
    // NULL when it cannot be made.
    HFONT GetFont(HDC hDC, int nStyle);
    void Clear();
    CHTMLFontCache(const CHTMLFontCache&) = delete;
    CHTMLFontCache& operator=(const CHTMLFontCache&) = delete;

private:
    HFONT m_hFonts[32];
    bool m_bTried[32];
};

// Draws (or with DT_CALCRECT measures) the text; returns its height in pixels,
// 0 for a NULL DC or text. nLength < 0: up to the terminating zero; only
// nLength characters are ever read. pCache NULL: fonts live for the call.
int DrawHTML(HDC hDC, LPCWSTR pszText, int nLength, LPRECT lpRect, UINT uFormat, CHTMLFontCache* pCache = NULL);

// Pieces, exposed for tests.
// Next token: the tag code (+0x100 closing), 0 for text, -1 at the end.
int GetHTMLToken(LPCWSTR* ppszText, int* pnLeft, int* pnTokenLength, BOOL* pbWhiteSpace, BOOL* pbBackslash);
// "#rrggbb", optionally quoted; reads at most nLength characters.
COLORREF ParseHTMLColor(LPCWSTR pszValue, int nLength);
int HexDigitValue(wchar_t ch);
// The base face's font with the style bits; NULL when hBaseFont cannot be read.
HFONT CreateHTMLFont(HDC hDC, HFONT hBaseFont, int nStyle);
