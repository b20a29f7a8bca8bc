#pragma once
// Texts of the junk cleaner and the shredder: the host's language file,
// section "String"; their message boxes go through AfxShowMessageBox.
#include "framework/Afx.h"

CString PrivacyText(LPCWSTR lpszKey);
// Text and caption by key, owned by the view's top-level window.
int PrivacyMessage(CWnd* pWnd, LPCWSTR lpszTextKey, LPCWSTR lpszCaptionKey, UINT nType = MB_OK);
