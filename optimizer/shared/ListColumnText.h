#pragma once
// Renames a report list's column in place (a language switch): width and
// format stay as they are.
#include "framework/Afx.h"
#include "framework/Controls.h"

void SetColumnText(CListCtrl& list, int nColumn, const CString& strText);
