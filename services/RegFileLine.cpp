#include "services/RegFile.h"
#include "services/TextFile.h"

CString ReadRegFileLine(LPCWSTR pszFileName, int nLine)
{
    CTextFile file(pszFileName, L"rb");
    if (!file.IsOpen() || nLine < 1)
        return CString();
    CString strLine;
    for (int i = 1; i <= nLine; i++)
    {
        strLine.Empty();
        if (!file.ReadLine(strLine) && (i < nLine || strLine.IsEmpty()))
            return CString();
    }
    strLine.TrimRight(L"\r\n");
    // The first line may still carry the byte-order mark.
    if (nLine == 1 && !strLine.IsEmpty() && strLine[0] == 0xFEFF)
        strLine = strLine.Mid(1);
    if (strLine.GetLength() > 200)
        strLine = strLine.Left(200) + L"...";
    return strLine;
}
