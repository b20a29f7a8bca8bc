#pragma once
// What the scan worker has for the window thread: rows, count texts and
// category pictures in a locked queue, and the item being examined. The
// worker posts one call (AfxPostCall) when the queue stops being empty; the
// window thread takes what is queued in slices of a bounded size, coming back
// for the rest itself, so no take holds its window long however far the
// worker got ahead. The current item is only remembered: the window thread
// shows the latest a few times a second.
#include "scanner/ScanResultSink.h"
#include <functional>
#include <vector>

enum ScanFeedKind
{
    FEED_CLEAR_RESULTS,    // empty the result rows and the count texts
    FEED_CATEGORY_ROWS,    // the 15 category rows (names in the item's list)
    FEED_CATEGORY_START,   // nCategory started: scanning picture, count "0"
    FEED_CATEGORY_END,     // nCategory ended; nNumber 1 when it found problems
    FEED_PROBLEM_ROW,      // row; nNumber the category's count, nTotal the total
    FEED_SCAN_END,         // the worker's last item: it is about to return
};

struct CScanFeedItem
{
    ScanFeedKind nKind;
    int nCategory;
    int nNumber;
    int nTotal;
    CScanResultRow row;
    CStringArray arrNames;

    CScanFeedItem() : nKind(FEED_CLEAR_RESULTS), nCategory(0), nNumber(0), nTotal(0), row() {}
    CScanFeedItem(const CScanFeedItem& other) { *this = other; }
    CScanFeedItem& operator=(const CScanFeedItem& other);
};

class CScanFeed
{
public:
    CScanFeed();
    ~CScanFeed();
    CScanFeed(const CScanFeed&) = delete;
    CScanFeed& operator=(const CScanFeed&) = delete;

    // The call posted to hWnd's thread when the queue fills; NULL for none.
    // It must capture only what outlives the window.
    void SetNotifyWindow(HWND hWnd, std::function<void()> fnDrain);
    void Push(const CScanFeedItem& item);
    // Moves everything queued into items (appended).
    void TakeAll(std::vector<CScanFeedItem>& items);
    // Moves at most nMax of the oldest items into items (appended). TRUE
    // when some are left: the worker then posts no call for them, and the
    // caller must come back for them.
    BOOL Take(std::vector<CScanFeedItem>& items, size_t nMax);
    void SetCurrentItem(const CString& strItem);
    // TRUE and the text when it changed since the last call.
    BOOL TakeCurrentItem(CString& strItem);

private:
    CRITICAL_SECTION m_lock;
    std::vector<CScanFeedItem> m_items;
    size_t m_nFirst;  // m_items before it are taken
    CString m_strCurrentItem;
    BOOL m_bItemChanged;
    HWND m_hWndNotify;
    std::function<void()> m_fnDrain;
    BOOL m_bWakePosted;
};
