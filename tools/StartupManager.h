#pragma once
// The startup manager: the two-tab container over the startup list page
// ("Remove") and the startup restore page ("Restore").
#include "tools/ToolContainer.h"
#include "tools/StartupRemovePage.h"
#include "tools/StartupRestorePage.h"

class CStartupManager : public CToolContainer
{
public:
    explicit CStartupManager(CWnd* pParent = NULL) : CToolContainer(254, pParent)
    {
        AddPage(&m_pageRemove, 269, L"Remove");
        AddPage(&m_pageRestore, 270, L"Restore");
    }

    CStartupRemovePage m_pageRemove;
    CStartupRestorePage m_pageRestore;
};
