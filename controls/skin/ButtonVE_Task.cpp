#include "controls/skin/ButtonVE_Task.h"

#include "controls/skin/VisualStyles.h"

#include <vsstyle.h>

#include <algorithm>
#include <climits>

CButtonVE_Task::CButtonVE_Task() : m_nWrapWidth(0)
{
    m_sizeMargins = CSize(8, 8);
    m_sizeImageGap = CSize(8, 8);
    m_bImageShadow = TRUE;
}

CFont& CButtonVE_Task::GetCaptionFont()
{
    // Made at first use: the pages construct dozens of these buttons at
    // start-up, long before any of them is drawn.
    if (m_fontCaption.GetSafeHandle() != NULL)
        return m_fontCaption;
    NONCLIENTMETRICSW ncm = {};
    ncm.cbSize = 500;  // the XP layout, accepted by every later system
    LOGFONTW lf = {};
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0))
        lf = ncm.lfMessageFont;
    lstrcpynW(lf.lfFaceName, L"Verdana", LF_FACESIZE);
    lf.lfWeight = FW_BOLD;
    lf.lfHeight = CAPTION_HEIGHT;
    m_fontCaption.CreateFontIndirect(&lf);
    return m_fontCaption;
}

CFont* CButtonVE_Task::GetLineFont(int nLine)
{
    if (nLine == 0)
        return &GetCaptionFont();
    CFont* pFont = m_hWnd != NULL ? GetFont() : NULL;
    if (pFont == NULL)
        pFont = CFont::FromHandle((HFONT)::GetStockObject(DEFAULT_GUI_FONT));
    return pFont;
}

namespace {

// Characters measured at once when looking for the end of a line: enough for
// any line a button shows, grown only while all of them fit.
const int kWrapWindow = 256;

// Breaks one paragraph at blanks so that each line fits nWidth. Each line is
// measured once, over a window just past where it ends, so the cost follows
// the length of the text rather than its square.
void WrapParagraph(CDC* pDC, const CString& strPart, int nWidth, CStringArray& arrLines)
{
    LPCWSTR pszPart = strPart;
    int nLength = strPart.GetLength();
    int nPos = 0;
    for (;;)
    {
        int nRest = nLength - nPos;
        int nFit = 0;
        for (int nWindow = kWrapWindow;; nWindow *= 2)
        {
            int nCount = std::min(nWindow, nRest);
            SIZE size = {};
            if (!::GetTextExtentExPointW(pDC->GetSafeHdc(), pszPart + nPos, nCount, nWidth, &nFit, NULL, &size))
                nFit = nCount;  // unmeasurable: left whole, as a line too wide would be
            if (nFit < nCount || nCount == nRest)
                break;
        }
        // The break is the last blank whose text before it fits; a line
        // without one stays whole.
        int nBreak = -1;
        if (nFit < nRest)
        {
            for (int i = std::min(nFit, nRest - 1); i > 0; i--)
                if (pszPart[nPos + i] == L' ')
                {
                    nBreak = i;
                    break;
                }
        }
        if (nBreak < 0)
        {
            arrLines.Add(strPart.Mid(nPos));
            return;
        }
        arrLines.Add(strPart.Mid(nPos, nBreak));
        nPos += nBreak + 1;
    }
}

} // namespace

void CButtonVE_Task::SplitLines(CDC* pDC, const CString& strText, UINT nFlags, CStringArray& arrLines)
{
    arrLines.RemoveAll();
    CString strPlain = StripMnemonics(strText);
    BOOL bWrap = (nFlags & DT_WORDBREAK) && pDC != NULL;
    int nWidth = 0;
    if (bWrap)
    {
        // Wrap at blanks to the width the caller measures against.
        CRect rcClient(0, 0, 0, 0);
        if (m_hWnd != NULL)
            GetClientRect(&rcClient);
        nWidth = m_nWrapWidth > 0 ? m_nWrapWidth : rcClient.Width() - 2 * m_sizeMargins.cx;
    }
    int nStart = 0;
    for (;;)
    {
        int nEnd = strPlain.Find(L'\n', nStart);
        CString strPart = strPlain.Mid(nStart, (nEnd < 0 ? strPlain.GetLength() : nEnd) - nStart);
        strPart.TrimRight(L'\r');
        if (bWrap)
        {
            // The first paragraph wraps in the title's font, the others in the window's.
            CFont* pOld = pDC->SelectObject(GetLineFont(arrLines.GetSize() == 0 ? 0 : 1));
            WrapParagraph(pDC, strPart, nWidth, arrLines);
            pDC->SelectObject(pOld);
        }
        else
            arrLines.Add(strPart);
        if (nEnd < 0)
            break;
        nStart = nEnd + 1;
    }
}

BOOL CButtonVE_Task::GetLine(CDC* pDC, const CString& strText, int nLine, UINT nFlags, CString& strLine)
{
    CStringArray arrLines;
    SplitLines(pDC, strText, nFlags, arrLines);
    if (nLine < 0 || nLine >= arrLines.GetSize())
        return FALSE;
    strLine = arrLines[nLine];
    return TRUE;
}

int CButtonVE_Task::TitleLeading(CDC* pDC)
{
    CFont* pOld = pDC->SelectObject(GetLineFont(0));
    TEXTMETRICW tm = {};
    pDC->GetTextMetrics(&tm);
    pDC->SelectObject(pOld);
    return (tm.tmInternalLeading + tm.tmExternalLeading) / 2;
}

CSize CButtonVE_Task::CalcTextSize(CDC* pDC, const CString& strText, UINT nFlags)
{
    CSize size(0, 0);
    CStringArray arrLines;
    SplitLines(pDC, strText, nFlags, arrLines);
    for (int nLine = 0; nLine < arrLines.GetSize(); nLine++)
    {
        const CString& strLine = arrLines[nLine];
        CFont* pOld = pDC->SelectObject(GetLineFont(nLine));
        CSize sizeLine = pDC->GetTextExtent(strLine);
        TEXTMETRICW tm = {};
        pDC->GetTextMetrics(&tm);
        pDC->SelectObject(pOld);
        size.cx = std::max<LONG>(size.cx, sizeLine.cx);
        size.cy += tm.tmHeight;
    }
    size.cy = size.cy - TitleLeading(pDC) + 1;
    return size;
}

void CButtonVE_Task::FitCaptionFont(CDC* pDC, const CString& strText, int nWidth)
{
    // The title line keeps its 16 pixels when it fits and steps down to 12
    // when it does not: a long title in a narrow button is shown whole.
    CString strTitle;
    if (!GetLine(NULL, strText, 0, 0, strTitle))
        return;
    LOGFONTW lf = {};
    if (GetCaptionFont().GetSafeHandle() == NULL || m_fontCaption.GetLogFont(&lf) == 0)
        return;
    int nHeight = CAPTION_HEIGHT;
    for (; nHeight > CAPTION_MIN_HEIGHT; nHeight--)
    {
        lf.lfHeight = nHeight;
        CFont font;
        if (!font.CreateFontIndirect(&lf))
            return;
        CFont* pOld = pDC->SelectObject(&font);
        int nTitle = pDC->GetTextExtent(strTitle).cx;
        pDC->SelectObject(pOld);
        if (nTitle <= nWidth)
            break;
    }
    m_fontCaption.GetLogFont(&lf);
    if (lf.lfHeight == nHeight)
        return;
    lf.lfHeight = nHeight;
    m_fontCaption.DeleteObject();
    m_fontCaption.CreateFontIndirect(&lf);
}

void CButtonVE_Task::DrawCaptionText(CDC* pDC, HTHEME hTheme, UINT nUIState, const CString& strText, CRect rcText,
                                     UINT nFlags, BOOL bEnabled)
{
    FitCaptionFont(pDC, strText, rcText.Width());
    // A description line too long for the room beside the picture goes on
    // in a line of its own rather than being cut off.
    m_nWrapWidth = rcText.Width();
    nFlags |= DT_WORDBREAK;
    CSize sizeBlock = CalcTextSize(pDC, strText, nFlags);
    if (nFlags & DT_VCENTER)
        rcText.top += (rcText.Height() - sizeBlock.cy) / 2;
    else if (nFlags & DT_BOTTOM)
        rcText.top = rcText.bottom - sizeBlock.cy;
    UINT nLineFlags = nFlags & ~(DT_VCENTER | DT_BOTTOM | DT_CENTER | DT_RIGHT | DT_WORDBREAK);
    nLineFlags |= DT_SINGLELINE;

    CRect rcClip(0, 0, 0, 0);
    if (pDC->GetClipBox(&rcClip) == ERROR)
        rcClip.SetRect(INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2);
    CStringArray arrLines;
    SplitLines(pDC, strText, nFlags, arrLines);
    for (int nLine = 0; nLine < arrLines.GetSize(); nLine++)
    {
        const CString& strLine = arrLines[nLine];
        CFont* pOld = pDC->SelectObject(GetLineFont(nLine));
        TEXTMETRICW tm = {};
        pDC->GetTextMetrics(&tm);
        if (nLine == 0)
            rcText.top -= (tm.tmInternalLeading + tm.tmExternalLeading) / 2;
        // Lines are already free of mnemonics: keep a literal "&" as it is.
        // Lines below the button are never seen: a long text costs no more.
        if (rcText.top >= rcClip.bottom)
        {
            pDC->SelectObject(pOld);
            break;
        }
        if (rcText.top + tm.tmHeight > rcClip.top)
            CButtonVE::DrawCaptionText(pDC, hTheme, nUIState, strLine, rcText, nLineFlags | DT_NOPREFIX, bEnabled);
        pDC->SelectObject(pOld);
        rcText.top += tm.tmHeight + (nLine == 0 ? 1 : 0);
    }
}

CFont* CButtonVE_Task::SelectCaptionFont(CDC* pDC, CFont&)
{
    return pDC->SelectObject(&GetCaptionFont());
}

void CButtonVE_Task::DrawThemedBackground(CDC* pDC, CDC* pWorkDC, HTHEME hTheme, int nState, const CRect& rect,
                                          CRect& rcContent)
{
    FillBackground(pWorkDC, rect);
    CBitmap bmpThemed;
    rcContent = rect;
    if (!bmpThemed.CreateCompatibleBitmap(pDC, rect.Width(), rect.Height()))
        return;
    CBitmapDC dcThemed(&bmpThemed, pDC);
    if (!dcThemed.IsValid())
        return;
    CRect rcLocal(0, 0, rect.Width(), rect.Height());
    FillBackground(&dcThemed, rcLocal);
    CRect rcThemedContent = rcLocal;
    CButtonVE::DrawThemedBackground(pDC, &dcThemed, hTheme, PBS_NORMAL, rcLocal, rcThemedContent);
    int bx = rcThemedContent.left - rcLocal.left, by = rcThemedContent.top - rcLocal.top;
    rcContent = rect;
    rcContent.DeflateRect(bx, by);

    if (nState == PBS_HOT)
    {
        int cx = rect.Width(), cy = rect.Height();
        const CRect aStrips[4] = { CRect(0, 0, cx, by), CRect(0, cy - by, cx, cy), CRect(0, by, bx, cy - by),
                                   CRect(cx - bx, by, cx, cy - by) };
        for (const CRect& rcStrip : aStrips)
        {
            CRect rcDest = rcStrip;
            rcDest.OffsetRect(rect.left, rect.top);
            m_alphaBlender.AlphaBlend(pWorkDC, rcDest, &dcThemed, rcStrip, 255);
        }
        CRect rcInside(bx, by, cx - bx, cy - by);
        CRect rcDest = rcInside;
        rcDest.OffsetRect(rect.left, rect.top);
        m_alphaBlender.AlphaBlend(pWorkDC, rcDest, &dcThemed, rcInside, 70);
    }
    else if (nState == PBS_PRESSED)
    {
        m_alphaBlender.AlphaBlend(pWorkDC, rect, &dcThemed, rcLocal, 255);
    }
}

void CButtonVE_Task::DrawRoundedFrame(CDC* pDC, CRect rc, COLORREF crTopLeft, COLORREF crBottomRight)
{
    CPen penTopLeft(PS_SOLID, 1, crTopLeft), penBottomRight(PS_SOLID, 1, crBottomRight);
    int l = rc.left, t = rc.top, r = rc.right - 1, b = rc.bottom - 1;
    const POINT aTopLeft[] = { { l, b - 2 }, { l, t + 2 }, { l + 2, t }, { r - 2, t }, { r - 1, t } };
    const POINT aBottomRight[] = { { r, t + 2 }, { r, b - 2 }, { r - 2, b }, { l + 2, b }, { l + 1, b } };
    CPen* pOld = pDC->SelectObject(&penTopLeft);
    pDC->Polyline(aTopLeft, 5);
    pDC->SelectObject(&penBottomRight);
    pDC->Polyline(aBottomRight, 5);
    pDC->SelectObject(pOld);
}

void CButtonVE_Task::DrawPlainBackground(CDC*, CDC* pWorkDC, BOOL, UINT nFrameFlags, const CRect& rect,
                                         CRect& rcContent)
{
    FillBackground(pWorkDC, rect);
    if (nFrameFlags & DFCS_PUSHED)
    {
        DrawRoundedFrame(pWorkDC, rect, HOT_FRAME_COLOR, HOT_FRAME_COLOR);
    }
    else if (m_bHot)
    {
        COLORREF crLight = GetSysColor(COLOR_3DHILIGHT), crShadow = GetSysColor(COLOR_3DSHADOW);
        CRect rcShifted = rect;
        rcShifted.OffsetRect(0, 1);
        DrawRoundedFrame(pWorkDC, rcShifted, crLight, crShadow);
        rcShifted.OffsetRect(1, 0);
        DrawRoundedFrame(pWorkDC, rcShifted, crLight, crShadow);
        DrawRoundedFrame(pWorkDC, rect, HOT_FRAME_COLOR, HOT_FRAME_COLOR);
    }
    else
    {
        COLORREF crBack = pWorkDC->GetPixel(rect.left, rect.top);
        DrawRoundedFrame(pWorkDC, rect, crBack, crBack);
    }
    rcContent = rect;
    rcContent.DeflateRect(4, 4);
}
