#pragma once
// The browser helper object manager: the two-tab container over the BHO list
// page ("Remove") and the BHO restore page ("Restore").
#include "tools/ToolContainer.h"
#include "tools/BhoRemovePage.h"
#include "tools/BhoRestorePage.h"

class CBhoManager : public CToolContainer
{
public:
    explicit CBhoManager(CWnd* pParent = NULL) : CToolContainer(253, pParent)
    {
        AddPage(&m_pageRemove, 267, L"Remove");
        AddPage(&m_pageRestore, 268, L"Restore");
    }

    CBhoRemovePage m_pageRemove;
    CBhoRestorePage m_pageRestore;
};
