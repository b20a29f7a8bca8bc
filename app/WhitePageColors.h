#pragma once
// The colours of the pages on white: black text on white for the page and
// all its controls.
#include "framework/Afx.h"
#include "framework/Gdi.h"

// The white brush, with the text colours set, for the kinds the pages paint
// white; NULL for a kind the dialog's own colours are left to.
HBRUSH GetWhitePageBrush(CDC* pDC, UINT nCtlColor, const CBrush& brWhite);
