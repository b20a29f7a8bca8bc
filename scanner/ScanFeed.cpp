#include "scanner/ScanFeed.h"
#include "framework/WorkerCall.h"

CScanFeedItem& CScanFeedItem::operator=(const CScanFeedItem& other)
{
    if (this != &other)
    {
        nKind = other.nKind;
        nCategory = other.nCategory;
        nNumber = other.nNumber;
        nTotal = other.nTotal;
        row = other.row;
        arrNames.RemoveAll();
        arrNames.Append(other.arrNames);
    }
    return *this;
}

CScanFeed::CScanFeed() : m_nFirst(0), m_bItemChanged(FALSE), m_hWndNotify(NULL), m_bWakePosted(FALSE)
{
    ::InitializeCriticalSection(&m_lock);
}

CScanFeed::~CScanFeed()
{
    ::DeleteCriticalSection(&m_lock);
}

void CScanFeed::SetNotifyWindow(HWND hWnd, std::function<void()> fnDrain)
{
    ::EnterCriticalSection(&m_lock);
    m_hWndNotify = hWnd;
    m_fnDrain = hWnd != NULL ? std::move(fnDrain) : std::function<void()>();
    m_bWakePosted = FALSE;
    ::LeaveCriticalSection(&m_lock);
}

void CScanFeed::Push(const CScanFeedItem& item)
{
    ::EnterCriticalSection(&m_lock);
    m_items.push_back(item);
    if (!m_bWakePosted && m_hWndNotify != NULL)
        m_bWakePosted = AfxPostCall(m_hWndNotify, m_fnDrain);
    ::LeaveCriticalSection(&m_lock);
}

void CScanFeed::TakeAll(std::vector<CScanFeedItem>& items)
{
    ::EnterCriticalSection(&m_lock);
    if (items.empty() && m_nFirst == 0)
        items.swap(m_items);
    else
    {
        items.insert(items.end(), m_items.begin() + m_nFirst, m_items.end());
        m_items.clear();
    }
    m_nFirst = 0;
    m_bWakePosted = FALSE;
    ::LeaveCriticalSection(&m_lock);
}

BOOL CScanFeed::Take(std::vector<CScanFeedItem>& items, size_t nMax)
{
    ::EnterCriticalSection(&m_lock);
    size_t nLeft = m_items.size() - m_nFirst;
    size_t nTaken = nLeft < nMax ? nLeft : nMax;
    items.insert(items.end(), m_items.begin() + m_nFirst, m_items.begin() + m_nFirst + nTaken);
    m_nFirst += nTaken;
    BOOL bLeft = m_nFirst < m_items.size();
    if (!bLeft)
    {
        m_items.clear();
        m_nFirst = 0;
    }
    else if (m_nFirst * 2 > m_items.size())
    {
        // Taken items go once they outnumber the rest: each moves once.
        m_items.erase(m_items.begin(), m_items.begin() + m_nFirst);
        m_nFirst = 0;
    }
    // While items are left the taker comes back for them; a call posted
    // meanwhile would only go before the window's input.
    m_bWakePosted = bLeft;
    ::LeaveCriticalSection(&m_lock);
    return bLeft;
}

void CScanFeed::SetCurrentItem(const CString& strItem)
{
    ::EnterCriticalSection(&m_lock);
    m_strCurrentItem = strItem;
    m_bItemChanged = TRUE;
    ::LeaveCriticalSection(&m_lock);
}

BOOL CScanFeed::TakeCurrentItem(CString& strItem)
{
    ::EnterCriticalSection(&m_lock);
    BOOL bChanged = m_bItemChanged;
    if (bChanged)
        strItem = m_strCurrentItem;
    m_bItemChanged = FALSE;
    ::LeaveCriticalSection(&m_lock);
    return bChanged;
}
