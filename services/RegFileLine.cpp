#include "services/RegFile.h"
#include "services/ScopedHandle.h"

#include <string>
#include <vector>

namespace {

const size_t kShownChars = 200;
// Bytes kept of the line asked for: enough for the characters shown.
const size_t kKeptBytes = (kShownChars + 2) * 4;

// A line of an 8-bit file as its writer meant it: UTF-8 when it is valid
// UTF-8, else the system's ANSI code page, as the import reads it.
CString DecodeByteLine(const std::string& bytes)
{
    if (bytes.empty())
        return CString();
    int nChars = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), (int)bytes.size(), NULL, 0);
    UINT nCodePage = nChars > 0 ? CP_UTF8 : CP_ACP;
    DWORD dwFlags = nChars > 0 ? MB_ERR_INVALID_CHARS : 0;
    nChars = MultiByteToWideChar(nCodePage, dwFlags, bytes.data(), (int)bytes.size(), NULL, 0);
    if (nChars <= 0)
        return CString();
    std::vector<wchar_t> text((size_t)nChars);
    MultiByteToWideChar(nCodePage, dwFlags, bytes.data(), (int)bytes.size(), text.data(), nChars);
    return CString(text.data(), nChars);
}

} // namespace

CString ReadRegFileLine(LPCWSTR pszFileName, int nLine, const std::atomic<bool>* pbStop)
{
    if (nLine < 1)
        return CString();
    CFileHandle file(::CreateFileW(pszFileName, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL));
    if (!file.IsValid())
        return CString();
    std::vector<BYTE> buffer(65536);
    std::string line;       // the bytes of the line asked for, as far as kept
    bool bUnicode = false, bFirst = true, bFound = false;
    int nCurrent = 1;
    BYTE pending = 0;       // the first byte of a UTF-16 unit cut by a read
    bool bPending = false;
    for (;;)
    {
        // A line deep in a large file is only text for a message.
        if (pbStop != NULL && pbStop->load())
            return CString();
        DWORD dwRead = 0;
        if (!::ReadFile(file, buffer.data(), (DWORD)buffer.size(), &dwRead, NULL) || dwRead == 0)
            break;
        size_t i = 0;
        if (bFirst)
        {
            bFirst = false;
            bUnicode = dwRead >= 2 && buffer[0] == 0xFF && buffer[1] == 0xFE;
            if (bUnicode)
                i = 2;
            else if (dwRead >= 3 && buffer[0] == 0xEF && buffer[1] == 0xBB && buffer[2] == 0xBF)
                i = 3;
        }
        for (; i < dwRead && !bFound; ++i)
        {
            BYTE b = buffer[i];
            bool bLineFeed = false;
            if (bUnicode)
            {
                if (!bPending)
                {
                    pending = b;
                    bPending = true;
                    continue;
                }
                bPending = false;
                bLineFeed = pending == '\n' && b == 0;
                if (!bLineFeed && nCurrent == nLine && line.size() < kKeptBytes)
                    line += std::string{(char)pending, (char)b};
            }
            else
            {
                bLineFeed = b == '\n';
                if (!bLineFeed && nCurrent == nLine && line.size() < kKeptBytes)
                    line += (char)b;
            }
            if (bLineFeed && nCurrent++ == nLine)
                bFound = true;
        }
        if (bFound)
            break;
    }
    if (!bFound && nCurrent < nLine)
        return CString();
    CString strLine;
    if (bUnicode)
        strLine = CString(reinterpret_cast<const wchar_t*>(line.data()), (int)(line.size() / 2));
    else
        strLine = DecodeByteLine(line);
    strLine.TrimRight(L"\r\n");
    if (strLine.GetLength() > (int)kShownChars)
        strLine = strLine.Left((int)kShownChars) + L"...";
    return strLine;
}
