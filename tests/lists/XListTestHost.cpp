#include "XListTestHost.h"

BEGIN_MESSAGE_MAP(CXListTestHost, CWnd)
    ON_REGISTERED_MESSAGE(WM_XLISTCTRL_CHECKBOX_CLICKED, OnCheckboxClicked)
    ON_NOTIFY(NM_CLICK, 1013, OnListClick)
END_MESSAGE_MAP()

LRESULT CXListTestHost::OnCheckboxClicked(WPARAM wParam, LPARAM lParam)
{
    Clicked clicked;
    clicked.nRow = (int)(INT_PTR)wParam;
    clicked.nColumn = (int)LOWORD(lParam);
    clicked.nControl = (int)HIWORD(lParam);
    if (m_pList != nullptr)
        for (int i = 0; i < m_pList->GetItemCount(); ++i)
            clicked.arrStates.push_back(m_pList->GetCheckbox(i, clicked.nColumn));
    m_arrClicked.push_back(clicked);
    return 0;
}

void CXListTestHost::OnListClick(NMHDR*, LRESULT* pResult)
{
    ++m_nClickNotifications;
    *pResult = 0;
}

void XListTest::SetUp()
{
    LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(NULL, IDC_ARROW), (HBRUSH)(COLOR_WINDOW + 1));
    ASSERT_TRUE(m_wndHost.CreateEx(0, lpszClass, L"List host", WS_OVERLAPPEDWINDOW, 0, 0, 480, 360, NULL, NULL));
    ASSERT_TRUE(m_list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS,
                              CRect(10, 10, 410, 310), &m_wndHost, LIST_ID));
    m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    m_wndHost.m_pList = &m_list;
}

void XListTest::TearDown()
{
    m_wndHost.m_pList = nullptr;
    if (::IsWindow(m_wndHost.m_hWnd))
        m_wndHost.DestroyWindow();
}

void XListTest::AddColumns(int nHeaderState)
{
    LVCOLUMN column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_IMAGE;
    column.fmt = LVCFMT_LEFT;
    column.pszText = (LPWSTR)L"";
    column.cx = 40;
    column.iImage = nHeaderState;
    ASSERT_EQ(m_list.InsertColumn(0, &column), 0);
    ASSERT_EQ(m_list.InsertColumn(1, L"Name", LVCFMT_LEFT, 140), 1);
    ASSERT_EQ(m_list.InsertColumn(2, L"Path", LVCFMT_LEFT, 160), 2);
}

void XListTest::AddRows(int nCount, int nState)
{
    int nFirst = m_list.GetItemCount();
    for (int i = nFirst; i < nFirst + nCount; ++i)
    {
        CString strText;
        strText.Format(L"row %d", i);
        ASSERT_EQ(m_list.InsertItem(i, L""), i);
        ASSERT_TRUE(m_list.SetItemText(i, 1, strText));
        if (nState != 0)
        {
            ASSERT_TRUE(m_list.SetCheckbox(i, 0, nState));
        }
    }
}

CPoint XListTest::BoxCentre(int nRow, int nColumn)
{
    return m_list.GetCheckboxRect(nRow, nColumn).CenterPoint();
}

void XListTest::Click(CPoint point, UINT nDown)
{
    LPARAM lParam = MAKELPARAM(point.x, point.y);
    m_list.SendMessage(nDown, MK_LBUTTON, lParam);
    m_list.SendMessage(WM_LBUTTONUP, 0, lParam);
}

void XListTest::ClickHeaderBox(int nColumn)
{
    CXHeaderCtrl* pHeader = m_list.GetXHeaderCtrl();
    ASSERT_NE(pHeader, nullptr);
    CPoint point = pHeader->GetCheckboxRect(nColumn).CenterPoint();
    pHeader->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    pHeader->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
}

std::vector<int> XListTest::States(int nColumn)
{
    std::vector<int> arrStates;
    for (int i = 0; i < m_list.GetItemCount(); ++i)
        arrStates.push_back(m_list.GetCheckbox(i, nColumn));
    return arrStates;
}
