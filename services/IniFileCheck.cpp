#include "services/IniFileCheck.h"
#include "services/ScopedHandle.h"
#include <string>

namespace {

BOOL ReadWholeFile(LPCTSTR lpszFile, std::string& bytes, IniFileCheck& check)
{
    CFileHandle hFile(::CreateFileW(lpszFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, NULL));
    if (!hFile.IsValid())
    {
        DWORD dwError = ::GetLastError();
        check.nForm = dwError == ERROR_FILE_NOT_FOUND ? IniFileMissing : IniFileNotOpened;
        check.dwError = dwError;
        return FALSE;
    }
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(hFile, &size))
    {
        check.nForm = IniFileNotOpened;
        check.dwError = ::GetLastError();
        return FALSE;
    }
    if (size.QuadPart > (LONGLONG)INI_MAX_FILE_BYTES)
    {
        // Too large to be a settings file: no line of it is trusted.
        check.nForm = IniFileLongLine;
        check.nLine = 1;
        return FALSE;
    }
    bytes.resize((size_t)size.QuadPart);
    DWORD nRead = 0;
    if (!bytes.empty() && (!::ReadFile(hFile, &bytes[0], (DWORD)bytes.size(), &nRead, NULL) || nRead != bytes.size()))
    {
        check.nForm = IniFileNotOpened;
        check.dwError = ::GetLastError() != ERROR_SUCCESS ? ::GetLastError() : ERROR_READ_FAULT;
        return FALSE;
    }
    return TRUE;
}

// The first line (from 1) longer than the profile functions read, 0 when none.
template <class TChar> int FindLongLine(const TChar* pText, size_t nLength)
{
    int nLine = 1;
    size_t nRun = 0;
    for (size_t i = 0; i < nLength; i++)
    {
        if (pText[i] == '\n' || pText[i] == '\r')
        {
            if (pText[i] == '\n')
                nLine++;
            nRun = 0;
            continue;
        }
        if (++nRun > INI_MAX_LINE_CHARS)
            return nLine;
    }
    return 0;
}

std::wstring Utf16(const std::string& bytes, size_t nStart, bool bBigEndian)
{
    std::wstring text;
    text.reserve((bytes.size() - nStart) / 2);
    for (size_t i = nStart; i + 1 < bytes.size(); i += 2)
    {
        unsigned char b0 = (unsigned char)bytes[i], b1 = (unsigned char)bytes[i + 1];
        text += bBigEndian ? (wchar_t)((b0 << 8) | b1) : (wchar_t)((b1 << 8) | b0);
    }
    return text;
}

void CheckUtf16(const std::string& bytes, size_t nStart, bool bBigEndian, IniFileForm nGood, IniFileCheck& check)
{
    if ((bytes.size() - nStart) % 2 != 0)
    {
        check.nForm = IniFileNotText;
        return;
    }
    std::wstring text = Utf16(bytes, nStart, bBigEndian);
    if (text.find(L'\0') != std::wstring::npos)
    {
        check.nForm = IniFileNotText;
        return;
    }
    check.nLine = FindLongLine(text.data(), text.size());
    check.nForm = check.nLine != 0 ? IniFileLongLine : nGood;
}

// UTF-16LE without a mark: every unit is a character, and some are the
// brackets or equals signs of INI text.
bool LooksLikeUnmarkedUtf16(const std::string& bytes)
{
    if (bytes.size() < 2 || bytes.size() % 2 != 0)
        return false;
    std::wstring text = Utf16(bytes, 0, false);
    return text.find(L'\0') == std::wstring::npos && text.find_first_of(L"[=") != std::wstring::npos;
}

} // namespace

IniFileCheck CheckIniFile(LPCTSTR lpszFile)
{
    IniFileCheck check;
    std::string bytes;
    if (!ReadWholeFile(lpszFile, bytes, check))
        return check;
    const unsigned char* p = (const unsigned char*)bytes.data();
    size_t n = bytes.size();
    if (n >= 4 && ((p[0] == 0xFF && p[1] == 0xFE && p[2] == 0 && p[3] == 0) ||
                   (p[0] == 0 && p[1] == 0 && p[2] == 0xFE && p[3] == 0xFF)))
        check.nForm = IniFileNotText;   // UTF-32: no profile function reads it
    else if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE)
        CheckUtf16(bytes, 2, false, IniFileReadable, check);
    else if (n >= 2 && p[0] == 0xFE && p[1] == 0xFF)
        CheckUtf16(bytes, 2, true, IniFileReadable, check);
    else if (bytes.find('\0') == std::string::npos)
    {
        // ANSI, or UTF-8 with or without its mark: bytes up to each line end.
        check.nLine = FindLongLine(bytes.data(), bytes.size());
        check.nForm = check.nLine != 0 ? IniFileLongLine : IniFileReadable;
    }
    else if (LooksLikeUnmarkedUtf16(bytes))
        CheckUtf16(bytes, 0, false, IniFileUnmarked, check);
    else
        check.nForm = IniFileNotText;
    return check;
}

BOOL PrepareIniFile(LPCTSTR lpszFile, IniFileCheck* pCheck)
{
    IniFileCheck check = CheckIniFile(lpszFile);
    if (check.nForm == IniFileUnmarked)
    {
        // The same bytes behind the mark, moved in only when complete.
        std::string bytes;
        IniFileCheck reread;
        CString strTemp = CString(lpszFile) + L".tmp";
        BOOL bMarked = FALSE;
        if (ReadWholeFile(lpszFile, bytes, reread))
        {
            bytes.insert(0, "\xFF\xFE", 2);
            {
                CFileHandle hTemp(
                    ::CreateFileW(strTemp, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL));
                DWORD nWritten = 0;
                bMarked = hTemp.IsValid() && ::WriteFile(hTemp, bytes.data(), (DWORD)bytes.size(), &nWritten, NULL) &&
                          nWritten == bytes.size() && ::FlushFileBuffers(hTemp);
            }
            bMarked = bMarked && ::MoveFileExW(strTemp, lpszFile, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
            if (!bMarked)
            {
                check.dwError = ::GetLastError();
                ::DeleteFileW(strTemp);
            }
        }
        if (bMarked)
            check.nForm = IniFileReadable;
        else
            check.nForm = IniFileNotOpened;
    }
    if (pCheck != NULL)
        *pCheck = check;
    return check.nForm == IniFileMissing || check.nForm == IniFileReadable;
}
