#pragma once
// A static control that shows a picture and plays a GIF animation on a
// thread of its own. Resources come from AfxGetResourceHandle(), so a
// library that sets its own handle loads its own animations.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include "framework/Dc.h"
#include <ocidl.h>
#include <olectl.h>
#include <vector>

class CGifAnimCtrl : public CStatic
{
public:
    CGifAnimCtrl();
    virtual ~CGifAnimCtrl();

    BOOL Load(LPCTSTR lpszResourceName, LPCTSTR lpszResourceType);
    BOOL LoadFromFile(LPCTSTR lpszFileName);
    BOOL LoadFromMemory(HGLOBAL hGlobal, DWORD dwSize);
    BOOL Draw();
    void Stop();
    void UnLoad();

    SIZE GetSize() const;
    BOOL IsGif() const { return m_bIsGif; }
    BOOL IsAnimatedGif() const { return m_bIsGif && m_frames.size() > 1; }
    BOOL IsPlaying() const { return m_bPlaying; }
    int GetFrameCount() const { return IsAnimatedGif() ? (int)m_frames.size() : 0; }
    COLORREF GetBkColor() const { return m_clrBackground; }
    void SetBkColor(COLORREF clr);
    void SetPaintRect(const RECT* lpRect);
    BOOL GetPaintRect(RECT* lpRect) const;
    // Index of the frame being shown.
    int GetCurrentFrame() const { return m_nCurrentFrame; }
    // Delay of a frame in milliseconds, as the animation waits it.
    static DWORD FrameDelayMs(UINT nDelay) { return nDelay < 5 ? 100 : nDelay * 10; }
    // The off-screen picture's colour at (x, y), CLR_INVALID when none.
    COLORREF GetPicturePixel(int x, int y);

protected:
    struct FrameRecord
    {
        IPicture* pPicture;
        SIZE frameSize;
        SIZE frameOffset;
        UINT nDelay;
        UINT nDisposal;
    };

    static UINT __cdecl GifAnimationThreadProc(LPVOID pParam);
    void ThreadAnimation();
    void DisposeFrame(const FrameRecord& frame);
    BOOL PrepareDC(int nWidth, int nHeight);
    void ClearPicture();
    BOOL RenderPicture(IPicture* pPicture, int x, int y, int cx, int cy);
    void DeleteDisposalDC();

    afx_msg void OnPaint();
    afx_msg void OnDestroy();

    RECT m_rcPaint;
    int m_nPictureWidth;
    int m_nPictureHeight;
    COLORREF m_clrBackground;
    volatile int m_nCurrentFrame;
    DWORD m_dwDataSize;
    DWORD m_dwDataPosition;
    int m_nGlobalColorTableSize;
    BOOL m_bIsGif;
    volatile BOOL m_bPlaying;
    volatile BOOL m_bExitRequest;
    BOOL m_bIsInitialized;
    HDC m_hMemDC;
    HBITMAP m_hBitmap;
    HGDIOBJ m_hOldBitmap;
    HDC m_hDisposalDC;
    HBITMAP m_hDisposalBitmap;
    HGDIOBJ m_hDisposalOldBitmap;
    HANDLE m_hThread;
    HANDLE m_hExitEvent;
    IPicture* m_pPicture;
    std::vector<FrameRecord> m_frames;
    // The thread draws into the off-screen picture while the window copies it.
    CRITICAL_SECTION m_csPicture;

    DECLARE_MESSAGE_MAP()
};
