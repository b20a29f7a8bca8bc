#pragma once
// An owner-drawn combo box with a small icon in front of each item's text:
// the language choice with its flags.
#include "framework/Afx.h"
#include "framework/Controls.h"

class CIconComboBox : public CComboBox
{
public:
    CIconComboBox();
    virtual ~CIconComboBox();

    // Loads icon resource nIconID at 16 x 16 for item nIndex (0: no icon).
    void SetItemIcon(int nIndex, UINT nIconID);
    HICON GetItemIcon(int nIndex) const;

    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

private:
    // Icons by item index; they stay loaded for the program's run.
    CMap<int, int, HICON, HICON> m_mapIcons;
};
