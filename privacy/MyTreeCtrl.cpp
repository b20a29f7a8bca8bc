#include "privacy/MyTreeCtrl.h"
#include "controls/skin/MemDC.h"
#include "framework/ImageList.h"
#include "framework/WorkerCall.h"
#include "optimizer/shared/DrawUtils.h"
#include "optimizer/shared/LangString.h"
#include "privacy/EvidenceItem.h"

BEGIN_MESSAGE_MAP(CMyTreeCtrl, CTreeCtrl)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_KEYDOWN()
    ON_WM_TIMER()
    ON_WM_DESTROY()
    ON_NOTIFY_REFLECT_EX(NM_CLICK, OnClick)
END_MESSAGE_MAP()

namespace {
const COLORREF kGradientLeft = RGB(99, 99, 99);
const COLORREF kGradientRight = RGB(192, 192, 192);
const int kIconBox = 16;

// The node and everything below it (not its siblings), parents first.
template <typename F> void ForEachNode(CEvidenceItem* pNode, F&& fn)
{
    if (pNode == NULL)
        return;
    fn(pNode);
    for (CEvidenceItem* pChild = pNode->m_pFirstChild; pChild != NULL; pChild = pChild->m_pNextSibling)
        ForEachNode(pChild, fn);
}

CEvidenceItem* FindById(CEvidenceItem* pNode, int nStringID)
{
    if (pNode == NULL)
        return NULL;
    if (pNode->m_nStringID == nStringID)
        return pNode;
    for (CEvidenceItem* pChild = pNode->m_pFirstChild; pChild != NULL; pChild = pChild->m_pNextSibling)
        if (CEvidenceItem* pFound = FindById(pChild, nStringID))
            return pFound;
    return NULL;
}
} // namespace

CMyTreeCtrl::CMyTreeCtrl()
    : m_pFont(NULL), m_nExpandWidth(0), m_nExpandHeight(0), m_nCheckWidth(0), m_nCheckHeight(0), m_pScanFirst(NULL),
      m_pScanLast(NULL), m_pAnimated(NULL), m_nFrame(0), m_dwTimerThread(0), m_nLastHitFlags(0),
      m_bLastClickOnBox(FALSE)
{
}

CMyTreeCtrl::~CMyTreeCtrl()
{
}

BOOL CMyTreeCtrl::IsOwnThread() const
{
    return m_hWnd == NULL || ::GetWindowThreadProcessId(m_hWnd, NULL) == ::GetCurrentThreadId();
}

BOOL CMyTreeCtrl::SetBitmaps(UINT nExpandID, UINT nCheckID)
{
    m_bmpExpand.DeleteObject();
    m_bmpCheck.DeleteObject();
    BOOL bOk = m_bmpExpand.LoadBitmap(nExpandID) && m_bmpCheck.LoadBitmap(nCheckID);
    BITMAP bm = {};
    if (m_bmpExpand.m_hObject != NULL && m_bmpExpand.GetBitmap(&bm))
    {
        m_nExpandWidth = bm.bmWidth / 2;
        m_nExpandHeight = bm.bmHeight;
    }
    if (m_bmpCheck.m_hObject != NULL && m_bmpCheck.GetBitmap(&bm))
    {
        m_nCheckWidth = bm.bmWidth / 3;
        m_nCheckHeight = bm.bmHeight;
    }
    if (m_stateImages.m_hImageList == NULL && m_stateImages.Create(16, 16, ILC_COLOR24 | ILC_MASK, 4, 0))
    {
        // Unused, unchecked, partly and checked: blank, this control draws them.
        CBitmap bmpBlank;
        CClientDC dcScreen(NULL);
        if (bmpBlank.CreateCompatibleBitmap(&dcScreen, 16 * 4, 16))
            m_stateImages.Add(&bmpBlank, RGB(0, 0, 0));
        if (m_hWnd != NULL)
            SetImageList(&m_stateImages, TVSIL_STATE);
    }
    if (m_bmpScanning.m_hObject == NULL)
        m_bmpScanning.LoadBitmap(BITMAP_SCANNING);
    if (m_bmpDone.m_hObject == NULL)
        m_bmpDone.LoadBitmap(BITMAP_DONE);
    return bOk;
}

BOOL CMyTreeCtrl::LoadCatalogueImages(CImageList& images)
{
    static const UINT kImageIDs[37] = {182, 183, 237, 247, 321, 260, 259, 258, 310, 246, 309, 308, 238,
                                       316, 315, 317, 318, 319, 323, 333, 320, 336, 334, 345, 347, 349,
                                       348, 373, 374, 338, 339, 342, 343, 344, 390, 391, 392};
    images.DeleteImageList();
    if (!images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 37, 0))
        return FALSE;
    BOOL bAll = TRUE;
    for (UINT nID : kImageIDs)
    {
        CBitmap bmp;
        // A missing picture keeps its place, so later indices stay right.
        if (!bmp.LoadBitmap(nID))
        {
            bAll = FALSE;
            CClientDC dcScreen(NULL);
            bmp.CreateCompatibleBitmap(&dcScreen, 16, 16);
        }
        if (images.Add(&bmp, RGB(1, 0, 0)) < 0)
            bAll = FALSE;
    }
    return bAll && images.GetImageCount() == 37;
}

void CMyTreeCtrl::SetTextFont(CFont* pFont)
{
    m_pFont = pFont;
    if (m_hWnd != NULL && pFont != NULL)
        SetFont(pFont, FALSE);
}

HTREEITEM CMyTreeCtrl::InsertItemTree(CEvidenceItem* pNode, HTREEITEM hParent)
{
    if (pNode == NULL || m_hWnd == NULL)
        return NULL;
    TVINSERTSTRUCTW tvis = {};
    tvis.hParent = hParent != NULL ? hParent : TVI_ROOT;
    tvis.hInsertAfter = TVI_LAST;
    tvis.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    tvis.item.pszText = pNode->m_szText;
    tvis.item.iImage = pNode->m_nImage;
    tvis.item.iSelectedImage = pNode->m_nImage;
    tvis.item.lParam = (LPARAM)pNode;
    HTREEITEM hItem = InsertItem(&tvis);
    pNode->m_hItem = hItem;
    if (hItem == NULL)
        return NULL;
    SetStateImage(hItem, STATE_UNCHECKED);
    for (CEvidenceItem* pChild = pNode->m_pFirstChild; pChild != NULL; pChild = pChild->m_pNextSibling)
        InsertItemTree(pChild, hItem);
    return hItem;
}

int CMyTreeCtrl::GetCheckState(HTREEITEM hItem) const
{
    if (hItem == NULL)
        return STATE_NONE;
    return (int)(GetItemState(hItem, TVIS_STATEIMAGEMASK) >> 12);
}

void CMyTreeCtrl::SetStateImage(HTREEITEM hItem, int nState)
{
    SetItemState(hItem, INDEXTOSTATEIMAGEMASK(nState), TVIS_STATEIMAGEMASK);
}

void CMyTreeCtrl::SetCheckState(HTREEITEM hItem, int nState, BOOL bPropagate)
{
    if (hItem == NULL || m_hWnd == NULL)
        return;
    SetStateImage(hItem, nState);
    if (nState >= STATE_UNCHECKED && bPropagate)
        SetDescendants(hItem, nState);
    UpdateAncestors(hItem, nState);
    Invalidate(FALSE);
}

void CMyTreeCtrl::SetDescendants(HTREEITEM hItem, int nState)
{
    for (HTREEITEM hChild = GetChildItem(hItem); hChild != NULL; hChild = GetNextSiblingItem(hChild))
    {
        if (GetCheckState(hChild) != STATE_NONE)
            SetStateImage(hChild, nState);
        SetDescendants(hChild, nState);
    }
}

void CMyTreeCtrl::UpdateAncestors(HTREEITEM hItem, int nState)
{
    HTREEITEM hCurrent = hItem;
    for (HTREEITEM hParent = GetParentItem(hCurrent); hParent != NULL; hParent = GetParentItem(hCurrent))
    {
        BOOL bAllSame = TRUE;
        for (HTREEITEM hSibling = GetChildItem(hParent); hSibling != NULL; hSibling = GetNextSiblingItem(hSibling))
        {
            int nSibling = GetCheckState(hSibling);
            if (nSibling != STATE_NONE && nSibling != nState)
            {
                bAllSame = FALSE;
                break;
            }
        }
        if (!bAllSame)
        {
            // One child differs: every ancestor from here up is partly checked.
            for (HTREEITEM hUp = hParent; hUp != NULL; hUp = GetParentItem(hUp))
                SetStateImage(hUp, STATE_PARTLY);
            return;
        }
        SetStateImage(hParent, nState);
        hCurrent = hParent;
    }
}

BOOL CMyTreeCtrl::CheckItemById(CEvidenceItem* pSubtree, int nStringID)
{
    CEvidenceItem* pNode = NULL;
    // From a root on, the roots after it too.
    for (CEvidenceItem* p = pSubtree; p != NULL && pNode == NULL;
         p = p->m_nLevel == EVIDENCE_LEVEL_ROOT ? p->m_pNext : NULL)
        pNode = FindById(p, nStringID);
    if (pNode == NULL || pNode->m_hItem == NULL)
        return FALSE;
    SetCheckState(pNode->m_hItem, STATE_CHECKED, TRUE);
    return TRUE;
}

void CMyTreeCtrl::SetSubtreeState(CEvidenceItem* pFirstRoot, int nState)
{
    for (CEvidenceItem* pRoot = pFirstRoot; pRoot != NULL; pRoot = pRoot->m_pNext)
        if (pRoot->m_hItem != NULL)
            SetCheckState(pRoot->m_hItem, nState, TRUE);
}

void CMyTreeCtrl::CheckAll(CEvidenceItem* pFirstRoot)
{
    SetSubtreeState(pFirstRoot, STATE_CHECKED);
}

void CMyTreeCtrl::UncheckAll(CEvidenceItem* pFirstRoot)
{
    SetSubtreeState(pFirstRoot, STATE_UNCHECKED);
}

void CMyTreeCtrl::ToggleCheck(HTREEITEM hItem)
{
    if (hItem == NULL || GetCheckState(hItem) == STATE_NONE)
        return;
    SetCheckState(hItem, GetCheckState(hItem) == STATE_CHECKED ? STATE_UNCHECKED : STATE_CHECKED, TRUE);
}

// ---- scan list and counts -----------------------------------------------------

void CMyTreeCtrl::PrepareScan(CEvidenceItem* pSubtree, int nTextWidth, int nTextHeight)
{
    ForEachNode(pSubtree, [&](CEvidenceItem* pNode) {
        PrepareNode(pNode, nTextWidth, nTextHeight);
        if (pNode->m_nLevel == EVIDENCE_LEVEL_ITEM && pNode->m_hItem != NULL &&
            GetCheckState(pNode->m_hItem) == STATE_CHECKED)
        {
            pNode->m_pNext = NULL;
            if (m_pScanLast != NULL)
                m_pScanLast->m_pNext = pNode;
            else
                m_pScanFirst = pNode;
            m_pScanLast = pNode;
        }
    });
}

void CMyTreeCtrl::PrepareNode(CEvidenceItem* pNode, int nTextWidth, int nTextHeight)
{
    pNode->m_nStatus = 0;
    pNode->m_nFoundCount = 0;
    pNode->m_nShownCount = 0;
    pNode->m_sizeCountText.cx = nTextWidth;
    pNode->m_sizeCountText.cy = nTextHeight;
    CRect rcCount, rcIcon;
    if (GetCountRect(pNode, rcCount, rcIcon))
    {
        pNode->m_rcCount = rcCount;
        pNode->m_rcStatusIcon = rcIcon;
    }
    InvalidateNode(pNode);
}

void CMyTreeCtrl::ClearCounts(CEvidenceItem* pFirstRoot)
{
    for (CEvidenceItem* pRoot = pFirstRoot; pRoot != NULL; pRoot = pRoot->m_pNext)
        ForEachNode(pRoot, [&](CEvidenceItem* pNode) {
            pNode->m_nStatus = 0;
            pNode->m_nFoundCount = 0;
            pNode->m_nShownCount = 0;
        });
    if (m_hWnd != NULL)
        Invalidate(FALSE);
}

void CMyTreeCtrl::ClearScanList()
{
    CEvidenceItem* pItem = m_pScanFirst;
    while (pItem != NULL)
    {
        CEvidenceItem* pNext = pItem->m_pNext;
        pItem->m_pNext = NULL;
        pItem = pNext;
    }
    m_pScanFirst = m_pScanLast = NULL;
}

int CMyTreeCtrl::GetScanListCount() const
{
    int nCount = 0;
    for (CEvidenceItem* pItem = m_pScanFirst; pItem != NULL; pItem = pItem->m_pNext)
        nCount++;
    return nCount;
}

void CMyTreeCtrl::CutScanListAfter(CEvidenceItem* pItem)
{
    if (pItem == NULL)
        return;
    CEvidenceItem* pRest = pItem->m_pNext;
    pItem->m_pNext = NULL;
    m_pScanLast = pItem;
    while (pRest != NULL)
    {
        CEvidenceItem* pNext = pRest->m_pNext;
        pRest->m_pNext = NULL;
        pRest = pNext;
    }
}

void CMyTreeCtrl::AddFound(CEvidenceItem* pItem, int nRows)
{
    for (CEvidenceItem* pNode = pItem; pNode != NULL; pNode = pNode->m_pParent)
    {
        pNode->m_nFoundCount += nRows;
        pNode->m_nShownCount = pNode->m_nFoundCount;
        InvalidateNode(pNode);
    }
}

void CMyTreeCtrl::InvalidateNode(CEvidenceItem* pNode)
{
    CRect rcCount, rcIcon;
    if (m_hWnd == NULL || !GetCountRect(pNode, rcCount, rcIcon))
        return;
    InvalidateRect(&rcCount, FALSE);
    if (!rcIcon.IsRectEmpty())
        InvalidateRect(&rcIcon, FALSE);
}

int CMyTreeCtrl::CountColumnRight() const
{
    CRect rcClient, rcWindow;
    GetClientRect(&rcClient);
    GetWindowRect(&rcWindow);
    int nRight = rcClient.right;
    // Room for a vertical scroll bar that is not there yet, so the column
    // stays put when one appears.
    const int nBar = ::GetSystemMetrics(SM_CYHSCROLL);
    if (rcWindow.Width() - rcClient.Width() < nBar)
        nRight -= nBar;
    return nRight;
}

BOOL CMyTreeCtrl::GetCountRect(CEvidenceItem* pNode, CRect& rcCount, CRect& rcIcon) const
{
    rcCount.SetRectEmpty();
    rcIcon.SetRectEmpty();
    CRect rcRow;
    if (pNode == NULL || pNode->m_hItem == NULL || m_hWnd == NULL || !GetItemRect(pNode->m_hItem, &rcRow, FALSE))
        return FALSE;
    const int nRight = CountColumnRight();
    const int nIndent = (int)GetIndent();
    const int nUp = pNode->m_nLevel >= EVIDENCE_LEVEL_ITEM ? 0 : EVIDENCE_LEVEL_ITEM - pNode->m_nLevel;
    const int nWidth = pNode->m_sizeCountText.cx > 0 ? pNode->m_sizeCountText.cx : 40;
    rcCount.right = nRight - 21 - nUp * nIndent;
    rcCount.left = rcCount.right - nWidth;
    rcCount.top = rcRow.top;
    rcCount.bottom = rcRow.bottom;
    if (pNode->m_nLevel == EVIDENCE_LEVEL_ITEM)
    {
        const int nTop = rcRow.top + (rcRow.Height() - kIconBox) / 2;
        rcIcon.SetRect(nRight - kIconBox, nTop, nRight, nTop + kIconBox);
    }
    return TRUE;
}

BOOL CMyTreeCtrl::GetCheckBoxRect(HTREEITEM hItem, CRect& rc) const
{
    CRect rcText;
    if (hItem == NULL || !GetItemRect(hItem, &rcText, TRUE))
        return FALSE;
    rc.SetRect(rcText.left - 36, rcText.top, rcText.left - 20, rcText.bottom);
    return TRUE;
}

// ---- animation ------------------------------------------------------------------

void CMyTreeCtrl::SetStatusUp(CEvidenceItem* pNode, int nStatus)
{
    for (CEvidenceItem* p = pNode; p != NULL; p = p->m_pParent)
    {
        p->m_nStatus = nStatus;
        p->m_nShownCount = p->m_nFoundCount;
        InvalidateNode(p);
    }
}

void CMyTreeCtrl::StartItemAnimation(CEvidenceItem* pNode)
{
    if (!IsOwnThread())
    {
        // Windows refuses a timer on another thread's window.
        AfxPostCall(m_hWnd, [this, pNode] { StartItemAnimation(pNode); });
        return;
    }
    if (pNode == NULL || m_hWnd == NULL)
        return;
    if (m_pAnimated != NULL && m_pAnimated != pNode)
        SetStatusUp(m_pAnimated, 2);
    SetStatusUp(pNode, 1);
    m_pAnimated = pNode;
    m_nFrame = 0;
    SetTimer(TIMER_ANIMATION, ANIMATION_MS, NULL);
    m_dwTimerThread = ::GetCurrentThreadId();
}

void CMyTreeCtrl::StopItemAnimation()
{
    if (!IsOwnThread())
    {
        AfxPostCall(m_hWnd, [this] { StopItemAnimation(); });
        return;
    }
    if (m_hWnd != NULL)
        KillTimer(TIMER_ANIMATION);
    if (m_pAnimated != NULL)
        SetStatusUp(m_pAnimated, 2);
    m_pAnimated = NULL;
}

void CMyTreeCtrl::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != TIMER_ANIMATION)
    {
        CTreeCtrl::OnTimer(nIDEvent);
        return;
    }
    if (m_pAnimated == NULL)
    {
        KillTimer(TIMER_ANIMATION);
        return;
    }
    m_nFrame = (m_nFrame + 1) % ANIMATION_FRAMES;
    for (CEvidenceItem* p = m_pAnimated; p != NULL; p = p->m_pParent)
        InvalidateNode(p);
}

void CMyTreeCtrl::OnDestroy()
{
    KillTimer(TIMER_ANIMATION);
    m_pAnimated = NULL;
    CTreeCtrl::OnDestroy();
}

void CMyTreeCtrl::SwitchLanguage(CEvidenceItem* pSubtree, LPCWSTR lpszLanguageFile)
{
    ForEachNode(pSubtree, [&](CEvidenceItem* pNode) {
        pNode->SetText(ReadLangString(lpszLanguageFile, L"String", pNode->m_szLanguageKey));
        if (pNode->m_hItem != NULL && m_hWnd != NULL)
            SetItemText(pNode->m_hItem, pNode->m_szText);
    });
}

// ---- mouse and keys ---------------------------------------------------------------

void CMyTreeCtrl::OnLButtonDown(UINT nFlags, CPoint point)
{
    UINT nHitFlags = 0;
    HTREEITEM hItem = HitTest(point, &nHitFlags);
    m_nLastHitFlags = nHitFlags;
    m_bLastClickOnBox = FALSE;
    CRect rcBox, rcText;
    if (hItem != NULL && GetCheckState(hItem) != STATE_NONE && GetCheckBoxRect(hItem, rcBox) &&
        (rcBox.PtInRect(point) || (nHitFlags & TVHT_ONITEMSTATEICON)))
    {
        m_bLastClickOnBox = TRUE;
        ToggleCheck(hItem);
        SetFocus();
        return;
    }
    if (hItem != NULL && ItemHasChildren(hItem) && GetItemRect(hItem, &rcText, TRUE) &&
        point.x >= rcText.left - 52 && point.x < rcText.left - 36)
    {
        Expand(hItem, TVE_TOGGLE);
        return;
    }
    CTreeCtrl::OnLButtonDown(nFlags, point);
}

void CMyTreeCtrl::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    CRect rcBox;
    UINT nHitFlags = 0;
    HTREEITEM hItem = HitTest(point, &nHitFlags);
    if (hItem != NULL && GetCheckBoxRect(hItem, rcBox) &&
        (rcBox.PtInRect(point) || (nHitFlags & TVHT_ONITEMSTATEICON)))
    {
        OnLButtonDown(nFlags, point);
        return;
    }
    CTreeCtrl::OnLButtonDblClk(nFlags, point);
}

void CMyTreeCtrl::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_SPACE)
    {
        // The tree's own space toggle knows two states only.
        ToggleCheck(GetSelectedItem());
        return;
    }
    CTreeCtrl::OnKeyDown(nChar, nRepCnt, nFlags);
}

BOOL CMyTreeCtrl::OnClick(NMHDR*, LRESULT* pResult)
{
    *pResult = m_bLastClickOnBox ? TRUE : FALSE;
    return m_bLastClickOnBox;
}

// ---- painting ---------------------------------------------------------------------

BOOL CMyTreeCtrl::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CMyTreeCtrl::OnPaint()
{
    CPaintDC dcPaint(this);
    CRect rcClient;
    GetClientRect(&rcClient);
    if (rcClient.IsRectEmpty())
        return;
    CMemDC dc(&dcPaint, &rcClient);
    dc.FillSolidRect(&rcClient, RGB(255, 255, 255));
    CFont* pFont = m_pFont != NULL ? m_pFont : GetFont();
    HGDIOBJ hOldFont = pFont != NULL ? ::SelectObject(dc, pFont->m_hObject) : NULL;
    dc.SetBkMode(TRANSPARENT);

    SCROLLINFO si = {sizeof(si), SIF_ALL};
    int nContentRight = rcClient.right;
    if (::GetScrollInfo(m_hWnd, SB_HORZ, &si))
        nContentRight = -si.nPos + std::max(si.nMax + 1, (int)rcClient.Width());

    COLORREF crText = ::GetSysColor(COLOR_WINDOWTEXT);
    for (HTREEITEM hItem = GetFirstVisibleItem(); hItem != NULL; hItem = GetNextVisibleItem(hItem))
    {
        CRect rcRow;
        if (!GetItemRect(hItem, &rcRow, FALSE) || rcRow.top >= rcClient.bottom)
            break;
        PaintRow(dc, hItem, nContentRight, crText);
    }
    if (hOldFont != NULL)
        ::SelectObject(dc, hOldFont);
}

void CMyTreeCtrl::DrawFrame(CDC& dc, CBitmap& bmp, int nFrame, int nFrameWidth, int nFrameHeight, const CRect& rcBox,
                            DWORD dwRop)
{
    if (bmp.m_hObject == NULL || nFrameWidth <= 0)
        return;
    CDC dcBitmap;
    if (!dcBitmap.CreateCompatibleDC(&dc))
        return;
    HGDIOBJ hOld = ::SelectObject(dcBitmap, bmp);
    const int x = rcBox.left + (rcBox.Width() - nFrameWidth) / 2;
    const int y = rcBox.top + (rcBox.Height() - nFrameHeight) / 2;
    if (dwRop == SRCAND)
    {
        // ANDed onto a white box.
        dc.FillSolidRect(x, y, nFrameWidth, nFrameHeight, RGB(255, 255, 255));
        dc.BitBlt(x, y, nFrameWidth, nFrameHeight, &dcBitmap, nFrame * nFrameWidth, 0, SRCAND);
    }
    else
        DrawTransparentBitmap(&dc, x, y, nFrameWidth, nFrameHeight, &dcBitmap, nFrame * nFrameWidth, 0, nFrameWidth,
                              nFrameHeight, SKIN_KEY_COLOR);
    ::SelectObject(dcBitmap, hOld);
}

void CMyTreeCtrl::PaintRow(CDC& dc, HTREEITEM hItem, int nContentRight, COLORREF& crText)
{
    CRect rcText;
    if (!GetItemRect(hItem, &rcText, TRUE))
        return;
    const int L = rcText.left, T = rcText.top, B = rcText.bottom;
    const UINT nState = GetItemState(hItem, TVIS_SELECTED | TVIS_EXPANDED | TVIS_STATEIMAGEMASK);
    const BOOL bSelected = (nState & TVIS_SELECTED) != 0;
    COLORREF crRow = crText;
    if (bSelected)
    {
        TRIVERTEX vertices[2] = {};
        vertices[0].x = 0;
        vertices[0].y = T;
        vertices[0].Red = (COLOR16)(GetRValue(kGradientLeft) << 8);
        vertices[0].Green = (COLOR16)(GetGValue(kGradientLeft) << 8);
        vertices[0].Blue = (COLOR16)(GetBValue(kGradientLeft) << 8);
        vertices[1].x = nContentRight;
        vertices[1].y = B;
        vertices[1].Red = (COLOR16)(GetRValue(kGradientRight) << 8);
        vertices[1].Green = (COLOR16)(GetGValue(kGradientRight) << 8);
        vertices[1].Blue = (COLOR16)(GetBValue(kGradientRight) << 8);
        GRADIENT_RECT rect = {0, 1};
        dc.GradientFill(vertices, 2, &rect, 1, GRADIENT_FILL_RECT_H);
        crRow = RGB(255, 255, 255);
    }
    if (ItemHasChildren(hItem))
        DrawFrame(dc, m_bmpExpand, (nState & TVIS_EXPANDED) ? 1 : 0, m_nExpandWidth, m_nExpandHeight,
                  CRect(L - 52, T, L - 36, B), SRCAND);
    const int nCheck = (int)((nState & TVIS_STATEIMAGEMASK) >> 12);
    if (nCheck >= STATE_UNCHECKED && nCheck <= STATE_CHECKED)
    {
        const int nFrame = nCheck == STATE_CHECKED ? 1 : nCheck == STATE_PARTLY ? 2 : 0;
        DrawFrame(dc, m_bmpCheck, nFrame, m_nCheckWidth, m_nCheckHeight, CRect(L - 36, T, L - 20, B), SRCAND);
    }

    // The icon, through a small picture so that its key colour can be left out.
    int nImage = 0, nSelectedImage = 0;
    CImageList* pImages = GetImageList(TVSIL_NORMAL);
    if (pImages != NULL && GetItemImage(hItem, nImage, nSelectedImage))
    {
        CDC dcIcon;
        CBitmap bmpIcon;
        if (dcIcon.CreateCompatibleDC(&dc) && bmpIcon.CreateCompatibleBitmap(&dc, kIconBox, kIconBox))
        {
            HGDIOBJ hOld = ::SelectObject(dcIcon, bmpIcon);
            dcIcon.FillSolidRect(0, 0, kIconBox, kIconBox, SKIN_KEY_COLOR);
            ::ImageList_Draw(pImages->m_hImageList, nImage, dcIcon, 0, 0, ILD_NORMAL);
            const int x = L - 20 + (20 - kIconBox) / 2, y = T + (B - T - kIconBox) / 2;
            DrawTransparentBitmap(&dc, x, y, kIconBox, kIconBox, &dcIcon, 0, 0, kIconBox, kIconBox, SKIN_KEY_COLOR);
            ::SelectObject(dcIcon, hOld);
        }
    }

    WCHAR szText[EVIDENCE_TEXT_SIZE] = L"";
    TVITEMW tvi = {};
    tvi.mask = TVIF_TEXT;
    tvi.hItem = hItem;
    tvi.pszText = szText;
    tvi.cchTextMax = EVIDENCE_TEXT_SIZE;
    GetItem(&tvi);
    CRect rcDraw(rcText);
    CRect rcCalc(rcText);
    dc.DrawText(szText, -1, &rcCalc, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    if (rcCalc.Width() > rcDraw.Width())
        rcDraw.right = rcDraw.left + rcCalc.Width();
    dc.SetTextColor(bSelected ? ::GetSysColor(COLOR_HIGHLIGHTTEXT) : crRow);
    dc.DrawText(szText, -1, &rcDraw, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);

    CEvidenceItem* pNode = (CEvidenceItem*)GetItemData(hItem);
    CRect rcCount, rcIcon;
    if (pNode != NULL && pNode->m_nStatus != 0 && GetCountRect(pNode, rcCount, rcIcon))
    {
        CString strCount;
        strCount.Format(L"%d", pNode->m_nShownCount);
        dc.SetTextColor(crRow);
        dc.DrawText(strCount, &rcCount, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
        if (pNode->m_nLevel == EVIDENCE_LEVEL_ITEM && !rcIcon.IsRectEmpty())
        {
            if (pNode->m_nStatus == 2)
                DrawFrame(dc, m_bmpDone, 0, kIconBox, kIconBox, rcIcon, SRCCOPY);
            else if (pNode == m_pAnimated)
                DrawFrame(dc, m_bmpScanning, m_nFrame, kIconBox, kIconBox, rcIcon, SRCCOPY);
        }
    }
}
