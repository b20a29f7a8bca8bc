#pragma once
// The optimizer's texts: the host's current language file, section "String".
#include "framework/Afx.h"

void SetOptimizerLanguageFile(LPCWSTR lpszPath);
const CString& GetOptimizerLanguageFile();
CString LangText(LPCWSTR lpszKey);

// A message box of the library: text and caption by language key, each "\n"
// of the text a line break; owned by the window's top-level parent.
int ShowLibraryMessage(CWnd* pWnd, LPCWSTR lpszTextKey, LPCWSTR lpszCaptionKey, UINT nType);
// The caption of the confirmations: "MESSAGEBOX_WARING", else "MESSAGEBOX_WARNING".
CString WarningCaption();
// Told after an application when some registry values could not be written.
int ShowFailureNotice(CWnd* pWnd);
