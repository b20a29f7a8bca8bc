#pragma once
// Files the shredder could not take into its list, and the one message that
// tells the user which and why.
#include "framework/Afx.h"
#include <string>
#include <vector>

struct ShredReject
{
    std::wstring strPath;
    DWORD dwError = ERROR_SUCCESS;  // why it could not be opened for writing
};

// The message text: a heading, then one line per file with its reason; a long
// list is cut with a count of the rest.
CString FormatShredRejects(const std::vector<ShredReject>& rejects);

// The message for a file that went through its passes but could not be
// deleted: its data is overwritten, the file stays, and why.
CString FormatShredKept(const std::wstring& strPath, DWORD dwError);
