#pragma once
// Texts of the libraries: looked up by key in the host's current language file.
#include "framework/Afx.h"

// The text of the key; empty when the file, section or key is missing.
CString ReadLangString(LPCWSTR lpszLanguageFile, LPCWSTR lpszSection, LPCWSTR lpszKey);
// Exact, case-sensitive equality of a text and a wide string.
BOOL IsSameText(const CString& str, LPCWSTR lpszText);
// The two characters backslash and n become a line break.
CString ExpandLineBreaks(const CString& strText);
