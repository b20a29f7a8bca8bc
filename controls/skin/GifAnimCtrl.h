#pragma once
// A static control that shows a picture and plays a GIF animation on a
// thread of its own. Resources come from AfxGetResourceHandle(), so a
// library that sets its own handle loads its own animations.
//
// The animation thread only keeps the frames' time: it posts the next frame
// to the window, and the window's thread alone draws the off-screen picture
// that painting copies. Load, Draw, Stop and UnLoad belong to that thread.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include "framework/Dc.h"
#include <atomic>
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
    // Draws the current frame into the off-screen picture (saving what lies
    // under it first for disposal 3) and repaints.
    void ShowCurrentFrame();
    void DisposeFrame(const FrameRecord& frame);
    BOOL PrepareDC(int nWidth, int nHeight);
    void ClearPicture();
    BOOL RenderPicture(IPicture* pPicture, int x, int y, int cx, int cy);
    void DeleteDisposalDC();

    afx_msg void OnPaint();
    afx_msg void OnDestroy();
    afx_msg LRESULT OnNextFrame(WPARAM wParam, LPARAM lParam);

    RECT m_rcPaint;
    int m_nPictureWidth;
    int m_nPictureHeight;
    COLORREF m_clrBackground;
    std::atomic<int> m_nCurrentFrame;
    DWORD m_dwDataSize;
    DWORD m_dwDataPosition;
    int m_nGlobalColorTableSize;
    BOOL m_bIsGif;
    BOOL m_bPlaying;
    std::atomic<BOOL> m_bExitRequest;
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
    // Fixed while the animation thread runs: it reads the frames' delays.
    std::vector<FrameRecord> m_frames;
    // Shared with the animation thread: the window it posts to, which play
    // its posts belong to, and whether one still waits (one at a time).
    HWND m_hAnimationWnd;
    UINT m_nPlay;
    std::atomic<bool> m_bFramePending;

    DECLARE_MESSAGE_MAP()
};
