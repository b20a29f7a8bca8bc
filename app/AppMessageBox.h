#pragma once
// The kit's message box: the same text, caption and MB_ flags as the system
// box, shown as a task page with a header icon, the first sentence as a large
// title and the rest as a subtitle above a row of buttons.
#include "app/TaskPage.h"

// Returns the id of the button that closed the box.
int AppMessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType);

// The steps, apart for the tests.
UINT AppMessageBoxIcon(UINT nType);
UINT AppMessageBoxButtons(UINT nType);
void AppMessageBoxSplitText(const CString& strText, CString& strTitle, CString& strSubtitle);
