#pragma once
// Section "ScanLog" of Settings.ini: the stamp of the last repair and, per
// category (index category - 1), the rows checked for it ("Error1".."Error15")
// and the rows it removed ("Cleaned1".."Cleaned15"). The repair writes it, the
// report page reads it; nothing else touches the section.
#include "framework/Afx.h"

class CScanLog
{
public:
    enum { CATEGORY_COUNT = 15 };

    explicit CScanLog(const CString& strFile);

    // A missing file, section or key reads as strDefaultStamp and zero counts.
    void Read(const CString& strDefaultStamp);
    // FALSE when a write failed; the other keys are written all the same.
    BOOL Write() const;

    CString m_strLastScanTime;  // "YYYYMMDDhhmmss"
    int m_nErrors[CATEGORY_COUNT];
    int m_nCleaned[CATEGORY_COUNT];

private:
    CString m_strFile;
};
