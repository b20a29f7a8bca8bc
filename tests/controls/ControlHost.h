#pragma once
// A hidden top-level framework window for the control tests to create
// their controls in (showing one costs seconds under Xvfb).
#include "framework/Afx.h"
#include "framework/Wnd.h"
#include "framework/Controls.h"

#include <gtest/gtest.h>

class ControlHostTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(NULL, IDC_ARROW),
                                                (HBRUSH)(COLOR_WINDOW + 1));
        ASSERT_TRUE(m_wndHost.CreateEx(0, lpszClass, L"Control host", WS_OVERLAPPEDWINDOW,
                                       0, 0, 480, 360, NULL, NULL));
    }
    void TearDown() override
    {
        if (::IsWindow(m_wndHost.m_hWnd))
            m_wndHost.DestroyWindow();
    }
    CRect ChildRect() const { return CRect(10, 10, 400, 300); }

    CWnd m_wndHost;
};
