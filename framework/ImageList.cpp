#include "framework/ImageList.h"
#include "framework/Dc.h"
#include "framework/Gdi.h"
#include "framework/TempObjectMap.h"

#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace {

// Attached wrappers by handle. Image lists may be used from worker threads,
// hence the lock.
std::mutex& MapLock()
{
    static std::mutex s_lock;
    return s_lock;
}

std::map<HIMAGELIST, CImageList*>& PermanentMap()
{
    static std::map<HIMAGELIST, CImageList*> s_map;
    return s_map;
}

// Temporaries of this thread; the handle is set directly, since Attach
// would make the temporary permanent.
struct CTempImageListTraits
{
    static void Bind(CImageList& list, HIMAGELIST hImageList) { list.m_hImageList = hImageList; }
    static void Unbind(CImageList& list) { list.m_hImageList = NULL; }
};
typedef CTempObjectMap<CImageList, HIMAGELIST, CTempImageListTraits> CTempImageLists;
thread_local CTempImageLists* t_pTempImageLists = NULL;

HBITMAP BitmapHandle(CBitmap* pBitmap)
{
    return pBitmap ? (HBITMAP)pBitmap->m_hObject : NULL;
}

} // namespace

CImageList::~CImageList()
{
    DeleteImageList();
}

CImageList* PASCAL CImageList::FromHandle(HIMAGELIST hImageList)
{
    if (hImageList == NULL)
        return NULL;
    if (CImageList* pList = FromHandlePermanent(hImageList))
        return pList;
    return CTempImageLists::Of(t_pTempImageLists).Lookup(hImageList);
}

CImageList* PASCAL CImageList::FromHandlePermanent(HIMAGELIST hImageList)
{
    std::lock_guard<std::mutex> lock(MapLock());
    auto it = PermanentMap().find(hImageList);
    return it != PermanentMap().end() ? it->second : NULL;
}

void AfxPurgeTemporaryImageLists()
{
    if (t_pTempImageLists != NULL)
        t_pTempImageLists->Purge();
}

void AfxFreeTempImageListMap()
{
    delete t_pTempImageLists;
    t_pTempImageLists = NULL;
}

BOOL CImageList::Attach(HIMAGELIST hImageList)
{
    if (hImageList == NULL || m_hImageList != NULL)
        return FALSE;
    std::lock_guard<std::mutex> lock(MapLock());
    // One owner per list: a second would destroy it under the first.
    if (!PermanentMap().emplace(hImageList, this).second)
        return FALSE;
    m_hImageList = hImageList;
    return TRUE;
}

HIMAGELIST CImageList::Detach()
{
    HIMAGELIST hImageList = m_hImageList;
    if (hImageList != NULL)
    {
        std::lock_guard<std::mutex> lock(MapLock());
        auto it = PermanentMap().find(hImageList);
        if (it != PermanentMap().end() && it->second == this)
            PermanentMap().erase(it);
    }
    m_hImageList = NULL;
    return hImageList;
}

BOOL CImageList::DeleteImageList()
{
    HIMAGELIST hImageList = Detach();
    return hImageList != NULL && ImageList_Destroy(hImageList);
}

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow)
{
    HIMAGELIST hImageList = ImageList_Create(cx, cy, nFlags, nInitial, nGrow);
    if (hImageList == NULL)
        return FALSE;
    if (!Attach(hImageList))
    {
        ImageList_Destroy(hImageList);
        return FALSE;
    }
    return TRUE;
}

BOOL CImageList::Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask)
{
    return Create(MAKEINTRESOURCEW(nBitmapID), cx, nGrow, crMask);
}

BOOL CImageList::Create(LPCWSTR lpszBitmapID, int cx, int nGrow, COLORREF crMask)
{
    if (m_hImageList != NULL || cx <= 0)
        return FALSE;
    // Loaded as a DIB section so that the list keeps the bitmap's own depth.
    HBITMAP hBitmap = (HBITMAP)::LoadImageW(AfxGetResourceHandle(), lpszBitmapID, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (hBitmap == NULL)
        return FALSE;
    BITMAP bm = {};
    ::GetObjectW(hBitmap, sizeof(bm), &bm);
    UINT nFlags = bm.bmBitsPixel >= 32 ? ILC_COLOR32 : bm.bmBitsPixel >= 24 ? ILC_COLOR24
                : bm.bmBitsPixel >= 16 ? ILC_COLOR16 : bm.bmBitsPixel >= 8 ? ILC_COLOR8 : ILC_COLOR4;
    if (crMask != CLR_NONE)
        nFlags |= ILC_MASK;
    int nCount = bm.bmWidth / cx;
    BOOL bOk = Create(cx, bm.bmHeight, nFlags, nCount > 0 ? nCount : 1, nGrow);
    if (bOk)
    {
        int nFirst = crMask != CLR_NONE ? ImageList_AddMasked(m_hImageList, hBitmap, crMask)
                                        : ImageList_Add(m_hImageList, hBitmap, NULL);
        if (nFirst < 0)
        {
            DeleteImageList();
            bOk = FALSE;
        }
    }
    ::DeleteObject(hBitmap);
    return bOk;
}

BOOL CImageList::Create(CImageList* pImageList)
{
    if (pImageList == NULL || pImageList->m_hImageList == NULL || m_hImageList != NULL)
        return FALSE;
    HIMAGELIST hCopy = ImageList_Duplicate(pImageList->m_hImageList);
    if (hCopy == NULL)
        return FALSE;
    if (!Attach(hCopy))
    {
        ImageList_Destroy(hCopy);
        return FALSE;
    }
    return TRUE;
}

int CImageList::GetImageCount() const
{
    return m_hImageList ? ImageList_GetImageCount(m_hImageList) : 0;
}

BOOL CImageList::SetImageCount(UINT uNewCount)
{
    return m_hImageList && ImageList_SetImageCount(m_hImageList, uNewCount);
}

BOOL CImageList::GetImageInfo(int nImage, IMAGEINFO* pImageInfo) const
{
    return m_hImageList && pImageInfo && ImageList_GetImageInfo(m_hImageList, nImage, pImageInfo);
}

COLORREF CImageList::SetBkColor(COLORREF cr)
{
    return m_hImageList ? ImageList_SetBkColor(m_hImageList, cr) : CLR_NONE;
}

COLORREF CImageList::GetBkColor() const
{
    return m_hImageList ? ImageList_GetBkColor(m_hImageList) : CLR_NONE;
}

int CImageList::Add(CBitmap* pbmImage, CBitmap* pbmMask)
{
    if (m_hImageList == NULL || BitmapHandle(pbmImage) == NULL)
        return -1;
    return ImageList_Add(m_hImageList, BitmapHandle(pbmImage), BitmapHandle(pbmMask));
}

int CImageList::Add(CBitmap* pbmImage, COLORREF crMask)
{
    if (m_hImageList == NULL || BitmapHandle(pbmImage) == NULL)
        return -1;
    return ImageList_AddMasked(m_hImageList, BitmapHandle(pbmImage), crMask);
}

int CImageList::Add(HICON hIcon)
{
    if (m_hImageList == NULL || hIcon == NULL)
        return -1;
    return ImageList_ReplaceIcon(m_hImageList, -1, hIcon);
}

BOOL CImageList::Replace(int nImage, CBitmap* pbmImage, CBitmap* pbmMask)
{
    if (m_hImageList == NULL || BitmapHandle(pbmImage) == NULL)
        return FALSE;
    return ImageList_Replace(m_hImageList, nImage, BitmapHandle(pbmImage), BitmapHandle(pbmMask));
}

int CImageList::Replace(int nImage, HICON hIcon)
{
    if (m_hImageList == NULL || hIcon == NULL)
        return -1;
    return ImageList_ReplaceIcon(m_hImageList, nImage, hIcon);
}

BOOL CImageList::Remove(int nImage)
{
    return m_hImageList && ImageList_Remove(m_hImageList, nImage);
}

BOOL CImageList::Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle) const
{
    if (m_hImageList == NULL || pDC == NULL)
        return FALSE;
    return ImageList_Draw(m_hImageList, nImage, pDC->m_hDC, pt.x, pt.y, nStyle);
}

BOOL CImageList::DrawEx(CDC* pDC, int nImage, POINT pt, SIZE sz, COLORREF clrBk, COLORREF clrFg, UINT nStyle) const
{
    if (m_hImageList == NULL || pDC == NULL)
        return FALSE;
    return ImageList_DrawEx(m_hImageList, nImage, pDC->m_hDC, pt.x, pt.y, sz.cx, sz.cy, clrBk, clrFg, nStyle);
}

BOOL CImageList::SetOverlayImage(int nImage, int nOverlay)
{
    return m_hImageList && ImageList_SetOverlayImage(m_hImageList, nImage, nOverlay);
}

HICON CImageList::ExtractIcon(int nImage) const
{
    return m_hImageList ? ImageList_GetIcon(m_hImageList, nImage, ILD_NORMAL) : NULL;
}
