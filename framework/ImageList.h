#pragma once
// Owner of a common-controls image list: the list is destroyed with its
// wrapper unless it was detached. FromHandle hands out the attached wrapper
// of a list, or a temporary one (per thread) that never destroys the list.
#include "framework/AfxDefs.h"
#include "framework/Geometry.h"
#include <commctrl.h>

class CBitmap;
class CDC;

class CImageList
{
public:
    CImageList() : m_hImageList(NULL) {}
    virtual ~CImageList();

    HIMAGELIST m_hImageList;

    operator HIMAGELIST() const { return m_hImageList; }
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }

    // NULL for a NULL handle.
    static CImageList* PASCAL FromHandle(HIMAGELIST hImageList);
    // The wrapper a list is attached to, or NULL.
    static CImageList* PASCAL FromHandlePermanent(HIMAGELIST hImageList);

    BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
    // Loads a bitmap resource (AfxGetResourceHandle) cut into images cx wide;
    // crMask is the transparent colour, CLR_NONE for none.
    BOOL Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask);
    BOOL Create(LPCWSTR lpszBitmapID, int cx, int nGrow, COLORREF crMask);
    // A copy of another list.
    BOOL Create(CImageList* pImageList);

    // Fails when a list is already attached or the handle is NULL.
    BOOL Attach(HIMAGELIST hImageList);
    HIMAGELIST Detach();
    BOOL DeleteImageList();

    int GetImageCount() const;
    BOOL SetImageCount(UINT uNewCount);
    BOOL GetImageInfo(int nImage, IMAGEINFO* pImageInfo) const;
    COLORREF SetBkColor(COLORREF cr);
    COLORREF GetBkColor() const;

    // Each Add returns the index of the first new image, -1 on failure.
    int Add(CBitmap* pbmImage, CBitmap* pbmMask);
    int Add(CBitmap* pbmImage, COLORREF crMask);
    int Add(HICON hIcon);
    BOOL Replace(int nImage, CBitmap* pbmImage, CBitmap* pbmMask);
    int Replace(int nImage, HICON hIcon);
    // -1 removes every image.
    BOOL Remove(int nImage);

    BOOL Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle) const;
    BOOL DrawEx(CDC* pDC, int nImage, POINT pt, SIZE sz, COLORREF clrBk, COLORREF clrFg, UINT nStyle) const;
    BOOL SetOverlayImage(int nImage, int nOverlay);
    // A new icon the caller destroys; NULL on failure.
    HICON ExtractIcon(int nImage) const;

private:
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;
};

// Deletes the temporary wrappers that FromHandle made on this thread (never
// their lists).
void AfxPurgeTemporaryImageLists();
