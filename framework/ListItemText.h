#pragma once
#include "framework/String.h"

// Reads one item's text from a list or combo box through its length and text
// messages; empty for a bad index.
inline void AfxReadItemText(HWND hWnd, UINT nLengthMessage, UINT nTextMessage, int nIndex, CString& rString)
{
    rString.Empty();
    int nLength = (int)::SendMessageW(hWnd, nLengthMessage, (WPARAM)nIndex, 0);
    if (nLength <= 0)
        return;
    LPWSTR pszBuffer = rString.GetBuffer(nLength + 1);
    int nCopied = (int)::SendMessageW(hWnd, nTextMessage, (WPARAM)nIndex, (LPARAM)pszBuffer);
    rString.ReleaseBuffer(nCopied > 0 ? nCopied : 0);
}
