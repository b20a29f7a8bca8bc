#pragma once
// The large button of the task and hub pages: a bold title line and a few
// description lines beside an image, flat until the mouse is over it.
#include "controls/skin/ButtonVE_Image.h"

class CButtonVE_Task : public CButtonVE_Image
{
public:
    CButtonVE_Task();

    // Line 0 uses the caption font, the others the window's font.
    virtual CFont* GetLineFont(int nLine);
    // The nLine-th line of the caption, mnemonics resolved; FALSE past the end.
    virtual BOOL GetLine(CDC* pDC, const CString& strText, int nLine, UINT nFlags, CString& strLine);
    // Every line of the caption at once (what GetLine indexes).
    void SplitLines(CDC* pDC, const CString& strText, UINT nFlags, CStringArray& arrLines);

    CFont& GetCaptionFont();
    // The title's font height (14 x 1.2), and the least it shrinks to when the title is too wide.
    enum
    {
        CAPTION_HEIGHT = 16,
        CAPTION_MIN_HEIGHT = 12
    };

    // Rounded frame of the hot look.
    static constexpr COLORREF HOT_FRAME_COLOR = RGB(150, 210, 230);

protected:
    CSize CalcTextSize(CDC* pDC, const CString& strText, UINT nFlags) override;
    void DrawCaptionText(CDC* pDC, HTHEME hTheme, UINT nUIState, const CString& strText, CRect rcText, UINT nFlags,
                         BOOL bEnabled) override;
    void DrawThemedBackground(CDC* pDC, CDC* pWorkDC, HTHEME hTheme, int nState, const CRect& rect,
                              CRect& rcContent) override;
    void DrawPlainBackground(CDC* pDC, CDC* pWorkDC, BOOL bDefault, UINT nFrameFlags, const CRect& rect,
                             CRect& rcContent) override;
    CFont* SelectCaptionFont(CDC* pDC, CFont& fontScratch) override;
    void FitCaptionFont(CDC* pDC, const CString& strText, int nWidth);

private:
    // The room beside the picture that lines wrap to, known once painted.
    int m_nWrapWidth;
    // Half the leading of line 0's font: the title moves up by it.
    int TitleLeading(CDC* pDC);
    static void DrawRoundedFrame(CDC* pDC, CRect rc, COLORREF crTopLeft, COLORREF crBottomRight);

    CFont m_fontCaption;
};
