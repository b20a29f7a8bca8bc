#include "controls/skin/GifAnimCtrl.h"
#include "controls/skin/GifDecoder.h"
#include "framework/WorkerCall.h"
#include <process.h>

namespace {

typedef HRESULT(WINAPI* PFN_OLELOADPICTURE)(LPSTREAM, LONG, BOOL, REFIID, LPVOID*);

// Bound by name at first use; oleaut32 stays loaded for the process.
PFN_OLELOADPICTURE GetOleLoadPicture()
{
    static PFN_OLELOADPICTURE s_pfn = NULL;
    static bool s_bLooked = false;
    if (!s_bLooked)
    {
        HMODULE hModule = ::LoadLibraryW(L"oleaut32.dll");
        if (hModule != NULL)
            s_pfn = (PFN_OLELOADPICTURE)(void*)::GetProcAddress(hModule, "OleLoadPicture");
        s_bLooked = true;
    }
    return s_pfn;
}

class CCriticalSectionLock
{
public:
    explicit CCriticalSectionLock(CRITICAL_SECTION& cs) : m_cs(cs) { ::EnterCriticalSection(&m_cs); }
    ~CCriticalSectionLock() { ::LeaveCriticalSection(&m_cs); }
    CCriticalSectionLock(const CCriticalSectionLock&) = delete;
    CCriticalSectionLock& operator=(const CCriticalSectionLock&) = delete;

private:
    CRITICAL_SECTION& m_cs;
};

// Picture objects may be loaded and drawn on more than one window thread (the
// libraries have their own); one lock keeps the picture loader and renderer
// to one caller at a time.
CRITICAL_SECTION& PictureLock()
{
    static CRITICAL_SECTION* s_pcs = [] {
        CRITICAL_SECTION* pcs = new CRITICAL_SECTION;
        ::InitializeCriticalSection(pcs);
        return pcs;
    }();
    return *s_pcs;
}

// A picture from a stream over hGlobal; with bOwnBlock the stream frees it.
IPicture* LoadPicture(HGLOBAL hGlobal, DWORD dwSize, BOOL bOwnBlock, BOOL bRunMode, BOOL* pbStreamMade = NULL)
{
    if (pbStreamMade != NULL)
        *pbStreamMade = FALSE;
    PFN_OLELOADPICTURE pfnLoad = GetOleLoadPicture();
    IStream* pStream = NULL;
    if (FAILED(::CreateStreamOnHGlobal(hGlobal, bOwnBlock, &pStream)) || pStream == NULL)
        return NULL;
    if (pbStreamMade != NULL)
        *pbStreamMade = TRUE;
    IPicture* pPicture = NULL;
    CCriticalSectionLock lock(PictureLock());
    if (pfnLoad == NULL || FAILED(pfnLoad(pStream, (LONG)dwSize, bRunMode, __uuidof(IPicture), (LPVOID*)&pPicture)))
        pPicture = NULL;
    pStream->Release();
    return pPicture;
}

void FillRect(HDC hDC, int x, int y, int cx, int cy, COLORREF clr)
{
    RECT rect = { x, y, x + cx, y + cy };
    COLORREF clrOld = ::SetBkColor(hDC, clr);
    ::ExtTextOutW(hDC, 0, 0, ETO_OPAQUE, &rect, NULL, 0, NULL);
    ::SetBkColor(hDC, clrOld);
}

// Posted by the animation thread: the next frame is due (WPARAM: the play).
const UINT GAM_NEXTFRAME = WM_USER + 1;

}  // namespace

BEGIN_MESSAGE_MAP(CGifAnimCtrl, CStatic)
    ON_WM_PAINT()
    ON_WM_DESTROY()
    ON_MESSAGE(GAM_NEXTFRAME, OnNextFrame)
END_MESSAGE_MAP()

CGifAnimCtrl::CGifAnimCtrl()
    : m_nPictureWidth(0), m_nPictureHeight(0), m_clrBackground(RGB(255, 255, 255)), m_nCurrentFrame(0),
      m_dwDataSize(0), m_dwDataPosition(0), m_nGlobalColorTableSize(0), m_bIsGif(FALSE), m_bPlaying(FALSE),
      m_bExitRequest(FALSE), m_bIsInitialized(FALSE), m_hMemDC(NULL), m_hBitmap(NULL), m_hOldBitmap(NULL),
      m_hDisposalDC(NULL), m_hDisposalBitmap(NULL), m_hDisposalOldBitmap(NULL), m_hThread(NULL), m_pPicture(NULL),
      m_hAnimationWnd(NULL), m_nPlay(0), m_bFramePending(false)
{
    ::SetRectEmpty(&m_rcPaint);
    m_hExitEvent = ::CreateEventW(NULL, TRUE, FALSE, NULL);
}

CGifAnimCtrl::~CGifAnimCtrl()
{
    UnLoad();
    if (m_hExitEvent != NULL)
        ::CloseHandle(m_hExitEvent);
}

// ---- Loading ------------------------------------------------------------------------

BOOL CGifAnimCtrl::Load(LPCTSTR lpszResourceName, LPCTSTR lpszResourceType)
{
    HINSTANCE hInstance = AfxGetResourceHandle();
    HRSRC hResource = ::FindResourceW(hInstance, lpszResourceName, lpszResourceType);
    if (hResource == NULL)
        return FALSE;
    DWORD dwSize = ::SizeofResource(hInstance, hResource);
    HGLOBAL hResData = ::LoadResource(hInstance, hResource);
    const void* pResData = hResData != NULL ? ::LockResource(hResData) : NULL;
    if (pResData == NULL || dwSize == 0)
        return FALSE;
    HGLOBAL hGlobal = ::GlobalAlloc(GMEM_MOVEABLE, dwSize);
    if (hGlobal == NULL)
        return FALSE;
    void* pDest = ::GlobalLock(hGlobal);
    if (pDest == NULL)
    {
        ::GlobalFree(hGlobal);
        return FALSE;
    }
    memcpy(pDest, pResData, dwSize);
    ::GlobalUnlock(hGlobal);
    BOOL bResult = LoadFromMemory(hGlobal, dwSize);
    ::GlobalFree(hGlobal);
    return bResult;
}

BOOL CGifAnimCtrl::LoadFromFile(LPCTSTR lpszFileName)
{
    HANDLE hFile = ::CreateFileW(lpszFileName, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    BOOL bResult = FALSE;
    DWORD dwSize = ::GetFileSize(hFile, NULL);
    if (dwSize != INVALID_FILE_SIZE && dwSize > 0)
    {
        HGLOBAL hGlobal = ::GlobalAlloc(GMEM_MOVEABLE, dwSize);
        if (hGlobal != NULL)
        {
            void* pData = ::GlobalLock(hGlobal);
            DWORD dwRead = 0;
            BOOL bRead = pData != NULL && ::ReadFile(hFile, pData, dwSize, &dwRead, NULL) && dwRead == dwSize;
            if (pData != NULL)
                ::GlobalUnlock(hGlobal);
            if (bRead)
                bResult = LoadFromMemory(hGlobal, dwSize);
            ::GlobalFree(hGlobal);
        }
    }
    ::CloseHandle(hFile);
    return bResult;
}

BOOL CGifAnimCtrl::LoadFromMemory(HGLOBAL hGlobal, DWORD dwSize)
{
    UnLoad();
    const BYTE* pData = hGlobal != NULL ? (const BYTE*)::GlobalLock(hGlobal) : NULL;
    if (pData == NULL)
        return FALSE;
    m_dwDataSize = dwSize;

    CGifDecoder decoder;
    if (!decoder.Open(pData, dwSize))
    {
        ::GlobalUnlock(hGlobal);
        m_pPicture = LoadPicture(hGlobal, dwSize, FALSE, TRUE);
        if (m_pPicture == NULL)
            return FALSE;
        OLE_XSIZE_HIMETRIC hmWidth = 0;
        OLE_YSIZE_HIMETRIC hmHeight = 0;
        m_pPicture->get_Width(&hmWidth);
        m_pPicture->get_Height(&hmHeight);
        HDC hScreen = ::GetDC(NULL);
        m_nPictureWidth = ::MulDiv(hmWidth, ::GetDeviceCaps(hScreen, LOGPIXELSX), 2540);
        m_nPictureHeight = ::MulDiv(hmHeight, ::GetDeviceCaps(hScreen, LOGPIXELSY), 2540);
        ::ReleaseDC(NULL, hScreen);
    }
    else
    {
        m_bIsGif = TRUE;
        m_nGlobalColorTableSize = decoder.GetGlobalColorTableSize();
        m_nPictureWidth = decoder.GetWidth();
        m_nPictureHeight = decoder.GetHeight();
        std::vector<GifFrameBlock> blocks = decoder.GetFrames();
        if (blocks.empty())
        {
            ::GlobalUnlock(hGlobal);
            UnLoad();
            return FALSE;
        }
        if (blocks.size() == 1)
        {
            ::GlobalUnlock(hGlobal);
            m_pPicture = LoadPicture(hGlobal, dwSize, FALSE, FALSE);
            if (m_pPicture == NULL)
            {
                UnLoad();
                return FALSE;
            }
        }
        else
        {
            for (const GifFrameBlock& block : blocks)
            {
                std::vector<BYTE> file = decoder.BuildFrameFile(block);
                HGLOBAL hFrame = file.empty() ? NULL : ::GlobalAlloc(GMEM_FIXED, file.size());
                if (hFrame == NULL)
                    continue;
                memcpy((void*)hFrame, file.data(), file.size());
                BOOL bStreamMade = FALSE;
                IPicture* pPicture = LoadPicture(hFrame, (DWORD)file.size(), TRUE, FALSE, &bStreamMade);
                if (!bStreamMade)
                    ::GlobalFree(hFrame);
                if (pPicture == NULL)
                    continue;
                FrameRecord frame = { pPicture, { block.cx, block.cy }, { block.x, block.y }, block.nDelay,
                                      block.nDisposal };
                m_frames.push_back(frame);
            }
            ::GlobalUnlock(hGlobal);
            if (m_frames.empty())
            {
                UnLoad();
                return FALSE;
            }
        }
    }
    if (!PrepareDC(m_nPictureWidth, m_nPictureHeight))
    {
        UnLoad();
        return FALSE;
    }
    return TRUE;
}

BOOL CGifAnimCtrl::PrepareDC(int nWidth, int nHeight)
{
    if (nWidth <= 0 || nHeight <= 0)
        return FALSE;
    if (::IsWindow(m_hWnd))
        ::SetWindowPos(m_hWnd, NULL, 0, 0, nWidth, nHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    HDC hDC = ::GetDC(::IsWindow(m_hWnd) ? m_hWnd : NULL);
    if (hDC == NULL)
        return FALSE;
    m_hMemDC = ::CreateCompatibleDC(hDC);
    m_hBitmap = m_hMemDC != NULL ? ::CreateCompatibleBitmap(hDC, nWidth, nHeight) : NULL;
    ::ReleaseDC(::IsWindow(m_hWnd) ? m_hWnd : NULL, hDC);
    if (m_hBitmap == NULL)
        return FALSE;
    m_hOldBitmap = ::SelectObject(m_hMemDC, m_hBitmap);
    m_clrBackground = ::GetSysColor(COLOR_BTNFACE);
    FillRect(m_hMemDC, 0, 0, nWidth, nHeight, ::GetSysColor(COLOR_MENU));
    m_bIsInitialized = TRUE;
    return TRUE;
}

// ---- Showing ---------------------------------------------------------------------------

BOOL CGifAnimCtrl::RenderPicture(IPicture* pPicture, int x, int y, int cx, int cy)
{
    CCriticalSectionLock lock(PictureLock());
    OLE_XSIZE_HIMETRIC hmWidth = 0;
    OLE_YSIZE_HIMETRIC hmHeight = 0;
    pPicture->get_Width(&hmWidth);
    pPicture->get_Height(&hmHeight);
    // From the bottom with a negative height: the picture comes out upright.
    return SUCCEEDED(pPicture->Render(m_hMemDC, x, y, cx, cy, 0, hmHeight, hmWidth, -hmHeight, NULL));
}

BOOL CGifAnimCtrl::Draw()
{
    if (!m_bIsInitialized)
        return FALSE;
    if (IsAnimatedGif())
    {
        if (m_hThread != NULL)
            return FALSE;  // already playing
        // The frames come to the window: without one nothing plays.
        if (m_hExitEvent == NULL || !::IsWindow(m_hWnd))
            return FALSE;
        if (m_nCurrentFrame >= (int)m_frames.size())
            m_nCurrentFrame = 0;
        DisposeFrame(m_frames[m_nCurrentFrame]);
        ShowCurrentFrame();
        ::ResetEvent(m_hExitEvent);
        m_bExitRequest = FALSE;
        m_bFramePending = false;
        m_hAnimationWnd = m_hWnd;
        ++m_nPlay;
        m_bPlaying = TRUE;
        m_hThread = AfxBeginWorker(GifAnimationThreadProc, this);
        if (m_hThread == NULL)
            m_bPlaying = FALSE;
        return FALSE;
    }
    if (m_pPicture == NULL)
        return FALSE;
    BOOL bRendered = RenderPicture(m_pPicture, 0, 0, m_nPictureWidth, m_nPictureHeight);
    if (bRendered && ::IsWindow(m_hWnd))
        ::InvalidateRect(m_hWnd, NULL, FALSE);
    return bRendered;
}

UINT __cdecl CGifAnimCtrl::GifAnimationThreadProc(LPVOID pParam)
{
    CGifAnimCtrl* pCtrl = (CGifAnimCtrl*)pParam;
    if (pCtrl != NULL)
        pCtrl->ThreadAnimation();
    return 0;
}

void CGifAnimCtrl::ThreadAnimation()
{
    // Reads the frames' delays, the exit signal and the atomics only; the
    // frames stay as they are until Stop has waited for this thread.
    const int nCount = (int)m_frames.size();
    int nFrame = m_nCurrentFrame;
    while (!m_bExitRequest)
    {
        if (nFrame < 0 || nFrame >= nCount)
            nFrame = 0;
        if (::WaitForSingleObject(m_hExitEvent, FrameDelayMs(m_frames[nFrame].nDelay)) != WAIT_TIMEOUT ||
            m_bExitRequest)
            break;
        // A window that is behind gets one post, not a queue full of them.
        if (m_bFramePending.exchange(true))
            continue;
        if (::PostMessageW(m_hAnimationWnd, GAM_NEXTFRAME, (WPARAM)m_nPlay, 0))
            nFrame = nFrame + 1 < nCount ? nFrame + 1 : 0;
        else
            m_bFramePending = false;
    }
}

LRESULT CGifAnimCtrl::OnNextFrame(WPARAM wParam, LPARAM)
{
    // A post of an ended play, or one that came after Stop, changes nothing.
    if ((UINT)wParam != m_nPlay)
        return 0;
    m_bFramePending = false;
    if (!m_bPlaying || m_hThread == NULL)
        return 0;
    const int nCount = (int)m_frames.size();
    for (int i = 0; i < nCount; ++i)
    {
        DisposeFrame(m_frames[m_nCurrentFrame]);
        int nNext = m_nCurrentFrame + 1;
        if (nNext >= nCount)
        {
            nNext = 0;
            FillRect(m_hMemDC, 0, 0, m_nPictureWidth, m_nPictureHeight, m_clrBackground);
        }
        m_nCurrentFrame = nNext;
        if (m_frames[nNext].pPicture != NULL)
            break;
    }
    ShowCurrentFrame();
    return 0;
}

void CGifAnimCtrl::ShowCurrentFrame()
{
    const FrameRecord& frame = m_frames[m_nCurrentFrame];
    if (frame.pPicture == NULL)
        return;
    if (frame.nDisposal == 3)
    {
        DeleteDisposalDC();
        m_hDisposalDC = ::CreateCompatibleDC(m_hMemDC);
        m_hDisposalBitmap = ::CreateCompatibleBitmap(m_hMemDC, frame.frameSize.cx, frame.frameSize.cy);
        if (m_hDisposalDC != NULL && m_hDisposalBitmap != NULL)
        {
            m_hDisposalOldBitmap = ::SelectObject(m_hDisposalDC, m_hDisposalBitmap);
            ::BitBlt(m_hDisposalDC, 0, 0, frame.frameSize.cx, frame.frameSize.cy, m_hMemDC, frame.frameOffset.cx,
                     frame.frameOffset.cy, SRCCOPY);
        }
    }
    if (RenderPicture(frame.pPicture, frame.frameOffset.cx, frame.frameOffset.cy, frame.frameSize.cx,
                      frame.frameSize.cy) &&
        ::IsWindow(m_hWnd))
        ::InvalidateRect(m_hWnd, NULL, FALSE);
}

void CGifAnimCtrl::DisposeFrame(const FrameRecord& frame)
{
    if (frame.nDisposal == 2)
    {
        FillRect(m_hMemDC, frame.frameOffset.cx, frame.frameOffset.cy, frame.frameSize.cx, frame.frameSize.cy,
                 m_clrBackground);
    }
    else if (frame.nDisposal == 3 && m_hDisposalDC != NULL)
    {
        ::BitBlt(m_hMemDC, frame.frameOffset.cx, frame.frameOffset.cy, frame.frameSize.cx, frame.frameSize.cy,
                 m_hDisposalDC, 0, 0, SRCCOPY);
        DeleteDisposalDC();
    }
}

void CGifAnimCtrl::DeleteDisposalDC()
{
    if (m_hDisposalDC != NULL && m_hDisposalOldBitmap != NULL)
        ::SelectObject(m_hDisposalDC, m_hDisposalOldBitmap);
    if (m_hDisposalBitmap != NULL)
        ::DeleteObject(m_hDisposalBitmap);
    if (m_hDisposalDC != NULL)
        ::DeleteDC(m_hDisposalDC);
    m_hDisposalDC = NULL;
    m_hDisposalBitmap = NULL;
    m_hDisposalOldBitmap = NULL;
}

void CGifAnimCtrl::Stop()
{
    m_bPlaying = FALSE;
    m_bExitRequest = TRUE;
    if (m_hExitEvent != NULL)
        ::SetEvent(m_hExitEvent);
    if (m_hThread != NULL)
    {
        // The frames are freed only after the thread has really ended: it
        // reads their delays. It only waits and posts, so it ends at once.
        AfxWaitForObjectPumping(m_hThread, INFINITE);
        ::CloseHandle(m_hThread);
        m_hThread = NULL;
    }
    if (m_hExitEvent != NULL)
        ::ResetEvent(m_hExitEvent);
    m_bExitRequest = FALSE;
    m_bFramePending = false;
}

void CGifAnimCtrl::UnLoad()
{
    Stop();
    if (m_pPicture != NULL)
    {
        m_pPicture->Release();
        m_pPicture = NULL;
    }
    for (FrameRecord& frame : m_frames)
    {
        if (frame.pPicture != NULL)
            frame.pPicture->Release();
    }
    m_frames.clear();
    if (m_hMemDC != NULL && m_hOldBitmap != NULL)
        ::SelectObject(m_hMemDC, m_hOldBitmap);
    if (m_hBitmap != NULL)
        ::DeleteObject(m_hBitmap);
    if (m_hMemDC != NULL)
        ::DeleteDC(m_hMemDC);
    m_hMemDC = NULL;
    m_hBitmap = NULL;
    m_hOldBitmap = NULL;
    DeleteDisposalDC();
    ::SetRectEmpty(&m_rcPaint);
    m_dwDataSize = 0;
    m_dwDataPosition = 0;
    m_bIsGif = FALSE;
    m_bPlaying = FALSE;
    m_bIsInitialized = FALSE;
    m_nGlobalColorTableSize = 0;
    m_nCurrentFrame = 0;
    m_clrBackground = RGB(255, 255, 255);
}

// ---- Queries and setters ---------------------------------------------------------------

SIZE CGifAnimCtrl::GetSize() const
{
    SIZE size = { m_nPictureWidth, m_nPictureHeight };
    return size;
}

void CGifAnimCtrl::SetBkColor(COLORREF clr)
{
    if (!m_bIsInitialized)
        return;
    m_clrBackground = clr;
    FillRect(m_hMemDC, 0, 0, m_nPictureWidth, m_nPictureHeight, clr);
}

void CGifAnimCtrl::SetPaintRect(const RECT* lpRect)
{
    if (lpRect != NULL)
        m_rcPaint = *lpRect;
    else
        ::SetRectEmpty(&m_rcPaint);
}

BOOL CGifAnimCtrl::GetPaintRect(RECT* lpRect) const
{
    if (lpRect == NULL)
        return FALSE;
    *lpRect = m_rcPaint;
    return TRUE;
}

COLORREF CGifAnimCtrl::GetPicturePixel(int x, int y)
{
    if (m_hMemDC == NULL)
        return CLR_INVALID;
    return ::GetPixel(m_hMemDC, x, y);
}

// ---- Messages ------------------------------------------------------------------------

void CGifAnimCtrl::OnPaint()
{
    CPaintDC dc(this);
    if (m_hMemDC == NULL)
        return;
    if (!::IsRectEmpty(&m_rcPaint))
    {
        ::BitBlt(dc.m_hDC, 0, 0, m_rcPaint.right - m_rcPaint.left, m_rcPaint.bottom - m_rcPaint.top, m_hMemDC,
                 m_rcPaint.left, m_rcPaint.top, SRCCOPY);
    }
    else
    {
        ::BitBlt(dc.m_hDC, 0, 0, m_nPictureWidth, m_nPictureHeight, m_hMemDC, 0, 0, SRCCOPY);
    }
}

void CGifAnimCtrl::OnDestroy()
{
    Stop();
    CStatic::OnDestroy();
}
