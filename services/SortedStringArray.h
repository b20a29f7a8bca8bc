#pragma once
// A string array that can sort itself case-insensitively and drop duplicates.
#include "framework/Afx.h"

class CSortedStringArray : public CStringArray
{
public:
    // Ascending by CString::CompareNoCase; of strings that compare equal only
    // the one that stood first stays, with its own spelling.
    void Sort();
};
