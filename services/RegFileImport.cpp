// The importer of CRegFile: reads a registry-editor file in chunks and applies
// it line by line; a malformed line is skipped and noted, the rest applied.
#include "services/RegFile.h"
#include "services/RegKeyTarget.h"

#include <algorithm>

namespace {

const int kUnicodeChunkBytes = 131072;
const int kAnsiChunkBytes = 65536;
// Longest names and texts accepted: the registry's own limits and beyond.
const size_t kMaxValueNameChars = 16383;
const size_t kMaxKeyLineChars = 262144;
const size_t kMaxDataBytes = 64u * 1024 * 1024;
const size_t kMaxTextChars = kMaxDataBytes / sizeof(wchar_t) - 1;
// The old format's limits: subkey name and text.
const size_t kMaxOldSubKeyChars = 511;
const size_t kMaxOldTextChars = 16383;

bool IsBlank(int c)
{
    return c == L' ' || c == L'\t';
}

bool IsLineEnd(int c)
{
    return c == L'\r' || c == L'\n' || c < 0;
}

int HexValue(int c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

bool IsLetterOrDigit(int c)
{
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

UINT ThreadAnsiCodePage()
{
    wchar_t szCodePage[8] = {};
    if (GetLocaleInfoW(GetThreadLocale(), LOCALE_IDEFAULTANSICODEPAGE, szCodePage, 8))
    {
        UINT nCodePage = (UINT)_wtoi(szCodePage);
        if (nCodePage != 0)
            return nCodePage;
    }
    return GetACP();
}

// How many of the bytes can be converted without cutting a character in two.
// A line feed byte never belongs to a longer character, in the double-byte
// code pages nor in UTF-8, so the text is cut after the last one.
size_t WholeCharacterPrefix(const BYTE* pBytes, size_t nBytes, UINT nCodePage)
{
    for (size_t i = nBytes; i > 0; --i)
    {
        if (pBytes[i - 1] == '\n')
            return i;
    }
    if (nCodePage == CP_UTF8)
    {
        size_t nStart = nBytes;
        while (nStart > 0 && (pBytes[nStart - 1] & 0xC0) == 0x80)
            --nStart;
        if (nStart == 0)
            return nBytes;
        BYTE lead = pBytes[nStart - 1];
        size_t nNeed = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        return nBytes - (nStart - 1) >= nNeed ? nBytes : nStart - 1;
    }
    size_t i = 0;
    while (i < nBytes)
    {
        if (IsDBCSLeadByteEx(nCodePage, pBytes[i]))
        {
            if (i + 1 >= nBytes)
                return i;
            i += 2;
        }
        else
        {
            ++i;
        }
    }
    return nBytes;
}

// Closes the file of an import on every way out of it.
class CReadFileGuard
{
public:
    explicit CReadFileGuard(HANDLE& hFile) : m_hFile(hFile) {}
    ~CReadFileGuard()
    {
        if (m_hFile != INVALID_HANDLE_VALUE)
            CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
    }
    CReadFileGuard(const CReadFileGuard&) = delete;
    CReadFileGuard& operator=(const CReadFileGuard&) = delete;
private:
    HANDLE& m_hFile;
};

void ReportOpenFailure(DWORD dwError)
{
    wchar_t szMessage[96];
    wsprintfW(szMessage, L"REGEDIT:  CreateFile failed, GetLastError() = %d\n", (int)dwError);
    OutputDebugStringW(szMessage);
}

} // namespace

void CRegFile::NoteImportFailure(DWORD dwError, DWORD dwReason)
{
    if (m_dwImportResult == ERROR_SUCCESS)
    {
        m_dwImportResult = dwError;
        m_nFailedLine = m_nStatementLine;
        m_strFailedKey = m_strImportKey;
        m_dwFailedReason = dwReason != ERROR_SUCCESS ? dwReason : dwError;
    }
}

DWORD CRegFile::ImportFile(LPCWSTR pszFileName, REGSAM samView)
{
    m_samImportView = samView & (KEY_WOW64_32KEY | KEY_WOW64_64KEY);
    m_pCheckRule = NULL;
    return ReadFileBody(pszFileName);
}

DWORD CRegFile::CheckFile(LPCWSTR pszFileName, const RegKeyRule& fnRule, int& nLine)
{
    return CheckFile(pszFileName, fnRule, RegValueSink(), nLine);
}

DWORD CRegFile::CheckFile(LPCWSTR pszFileName, const RegKeyRule& fnRule, const RegValueSink& fnValues, int& nLine)
{
    return CheckSource(pszFileName, NULL, fnRule, fnValues, nLine);
}

DWORD CRegFile::CheckBytes(const std::vector<BYTE>& bytes, const RegKeyRule& fnRule, const RegValueSink& fnValues,
                           int& nLine)
{
    return CheckSource(NULL, &bytes, fnRule, fnValues, nLine);
}

DWORD CRegFile::CheckSource(LPCWSTR pszFileName, const std::vector<BYTE>* pBytes, const RegKeyRule& fnRule,
                            const RegValueSink& fnValues, int& nLine)
{
    // The import's own reading, so that the check and the import can never
    // see different lines in one file.
    m_samImportView = 0;
    m_pCheckRule = &fnRule;
    m_pCheckValues = fnValues ? &fnValues : NULL;
    DWORD dwResult = pBytes != NULL ? ReadBytesBody(*pBytes) : ReadFileBody(pszFileName);
    m_pCheckRule = NULL;
    m_pCheckValues = NULL;
    nLine = dwResult == ERROR_SUCCESS || m_bStopped ? 0 : m_nFailedLine;
    return dwResult;
}

DWORD CRegFile::ImportBytes(const std::vector<BYTE>& bytes, REGSAM samView)
{
    m_samImportView = samView & (KEY_WOW64_32KEY | KEY_WOW64_64KEY);
    m_pCheckRule = NULL;
    return ReadBytesBody(bytes);
}

DWORD CRegFile::CheckFileInView(LPCWSTR pszFileName, REGSAM samView, const RegKeyTargetRule& fnRule, int& nLine)
{
    // Every key line is judged as the key the import in that view opens.
    m_samImportView = samView & (KEY_WOW64_32KEY | KEY_WOW64_64KEY);
    REGSAM samImport = m_samImportView;
    RegKeyRule fnLineRule = [&fnRule, samImport](const CString& strKeyPath) {
        RegKeyTarget target = ResolveRegKeyTarget(strKeyPath, samImport);
        return fnRule(target.m_strPath, target.m_samView);
    };
    m_pCheckRule = &fnLineRule;
    DWORD dwResult = ReadFileBody(pszFileName);
    m_pCheckRule = NULL;
    nLine = dwResult == ERROR_SUCCESS || m_bStopped ? 0 : m_nFailedLine;
    return dwResult;
}

bool CRegFile::HasCurrentKey() const
{
    return m_pCheckRule != NULL ? m_nCheckKey != RegKeyRefused : m_currentKey.IsOpen();
}

void CRegFile::BeginRead()
{
    m_dwImportResult = ERROR_SUCCESS;
    m_currentKey.Close();
    m_nCheckKey = RegKeyRefused;
    m_nLine = 1;
    m_nStatementLine = 1;
    m_nFailedLine = 0;
    m_strImportKey.Empty();
    m_strFailedKey.Empty();
    m_dwFailedReason = ERROR_SUCCESS;
    m_bStopped = false;
}

DWORD CRegFile::ReadFileBody(LPCWSTR pszFileName)
{
    BeginRead();
    wchar_t szPath[MAX_PATH];
    DWORD dwLength = SearchPathW(NULL, pszFileName, NULL, MAX_PATH, szPath, NULL);
    if (dwLength == 0 || dwLength >= MAX_PATH)
    {
        DWORD dwError = dwLength == 0 ? ::GetLastError() : (DWORD)ERROR_FILENAME_EXCED_RANGE;
        ReportOpenFailure(dwError);
        return dwError != ERROR_SUCCESS ? dwError : (DWORD)ERROR_FILE_NOT_FOUND;
    }

    m_hReadFile = CreateFileW(szPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (m_hReadFile == INVALID_HANDLE_VALUE)
    {
        DWORD dwError = ::GetLastError();
        ReportOpenFailure(dwError);
        return dwError != ERROR_SUCCESS ? dwError : (DWORD)ERROR_OPEN_FAILED;
    }
    CReadFileGuard closeFile(m_hReadFile);
    return ParseSource();
}

DWORD CRegFile::ReadBytesBody(const std::vector<BYTE>& bytes)
{
    BeginRead();
    m_pSource = &bytes;
    m_nSourcePos = 0;
    DWORD dwResult = ParseSource();
    m_pSource = NULL;
    return dwResult;
}

bool CRegFile::ReadSource(BYTE* pTarget, DWORD dwWanted, DWORD& dwRead)
{
    dwRead = 0;
    if (m_pSource == NULL)
        return ReadFile(m_hReadFile, pTarget, dwWanted, &dwRead, NULL) != FALSE;
    size_t nLeft = m_pSource->size() - m_nSourcePos;
    dwRead = (DWORD)std::min<size_t>(dwWanted, nLeft);
    if (dwRead > 0)
        memcpy(pTarget, m_pSource->data() + m_nSourcePos, dwRead);
    m_nSourcePos += dwRead;
    return true;
}

DWORD CRegFile::ParseSource()
{
    // Bytes in memory need buffers no larger than themselves.
    m_nChunkLimit = kUnicodeChunkBytes;
    if (m_pSource != NULL)
        m_nChunkLimit = std::min<size_t>(kUnicodeChunkBytes, std::max<size_t>(m_pSource->size() + 2, 16) & ~(size_t)1);
    if (m_bytes.size() < m_nChunkLimit)
        m_bytes.resize(m_nChunkLimit);
    // A UTF-16 chunk gives half as many characters, an ANSI one at most 64 Ki.
    size_t nChars = std::min<size_t>(m_nChunkLimit, kAnsiChunkBytes);
    if (m_chars.size() < nChars)
        m_chars.resize(nChars);
    m_nCount = 0;
    m_nAvailable = 0;
    m_nCarry = 0;
    m_bEndOfFile = false;
    m_nVersion = 0;
    m_nCodePage = ThreadAnsiCodePage();

    BYTE bom[2] = {};
    DWORD dwRead = 0;
    if (!ReadSource(bom, 2, dwRead))
        return ::GetLastError();
    m_bUnicode = dwRead == 2 && bom[0] == 0xFF && bom[1] == 0xFE;
    if (!m_bUnicode)
    {
        if (m_pSource != NULL)
            m_nSourcePos = 0;
        else
            SetFilePointer(m_hReadFile, 0, NULL, FILE_BEGIN);
    }

    if (!ParseHeader() || (m_pCheckRule != NULL && m_nVersion == 0x310))
    {
        // A check passes no file of the old form: it writes classes only.
        NoteImportFailure(ERROR_BAD_FORMAT);
        return m_dwImportResult;
    }
    if (m_nVersion == 0x310)
        ParseOldFormat();
    else
        ParseBody();
    m_currentKey.Close();
    return m_bStopped ? (DWORD)ERROR_CANCELLED : m_dwImportResult;
}

bool CRegFile::FillBuffer()
{
    m_nCount = 0;
    m_nAvailable = 0;
    while (m_nAvailable == 0 && !m_bEndOfFile)
    {
        size_t nChunk = std::min<size_t>(m_bUnicode ? kUnicodeChunkBytes : kAnsiChunkBytes, m_nChunkLimit);
        DWORD dwRead = 0;
        if (!ReadSource(m_bytes.data() + m_nCarry, (DWORD)(nChunk - m_nCarry), dwRead))
        {
            NoteImportFailure(::GetLastError());
            dwRead = 0;
        }
        if (dwRead == 0)
            m_bEndOfFile = true;
        size_t nBytes = m_nCarry + dwRead;

        size_t nUsed = 0;
        if (m_bUnicode)
        {
            // An odd byte waits for its partner; at the end it is dropped.
            nUsed = nBytes & ~(size_t)1;
            memcpy(m_chars.data(), m_bytes.data(), nUsed);
            m_nAvailable = (int)(nUsed / sizeof(wchar_t));
        }
        else
        {
            nUsed = m_bEndOfFile ? nBytes : WholeCharacterPrefix(m_bytes.data(), nBytes, m_nCodePage);
            if (nUsed > 0)
            {
                m_nAvailable = MultiByteToWideChar(m_nCodePage, MB_PRECOMPOSED, reinterpret_cast<LPCSTR>(m_bytes.data()),
                                                   (int)nUsed, m_chars.data(), (int)m_chars.size());
                if (m_nAvailable == 0)
                    NoteImportFailure(ERROR_NO_UNICODE_TRANSLATION);
            }
        }
        m_nCarry = m_bEndOfFile ? 0 : nBytes - nUsed;
        if (m_nCarry > 0)
            memmove(m_bytes.data(), m_bytes.data() + nUsed, m_nCarry);
    }
    return m_nAvailable > 0;
}

int CRegFile::Peek()
{
    if (m_nCount >= m_nAvailable && !FillBuffer())
        return -1;
    return m_chars[m_nCount];
}

void CRegFile::SkipBlanks()
{
    while (IsBlank(Peek()))
        ++m_nCount;
}

void CRegFile::SkipComment()
{
    while (!IsLineEnd(Peek()))
        ++m_nCount;
}

void CRegFile::SkipLine()
{
    for (;;)
    {
        int c = Peek();
        if (c < 0)
            return;
        ++m_nCount;
        if (c == L'\n')
        {
            ++m_nLine;
            return;
        }
        if (c == L'\r')
        {
            if (Peek() == L'\n')
                ++m_nCount;
            ++m_nLine;
            return;
        }
    }
}

void CRegFile::RejectLine()
{
    NoteImportFailure(ERROR_INVALID_DATA);
    SkipLine();
}

bool CRegFile::ParseHeader()
{
    SkipBlanks();
    static const wchar_t kSignature[] = L"Windows Registry Editor Version";
    size_t nMatched = 0;
    while (kSignature[nMatched] && Peek() == kSignature[nMatched])
    {
        ++m_nCount;
        ++nMatched;
    }

    if (kSignature[nMatched] == 0)
    {
        SkipBlanks();
        // Each letter or digit becomes one hexadecimal digit: "5.00" is 0x500.
        int nVersion = 0, nMajorDigits = 0;
        while (Peek() != L'.')
        {
            int c = Peek();
            if (!IsLetterOrDigit(c) || ++nMajorDigits > 4)
                return false;
            nVersion = nVersion * 16 + (c <= L'9' ? c - L'0' : 0);
            ++m_nCount;
        }
        ++m_nCount;
        for (int i = 0; i < 2; ++i)
        {
            int c = Peek();
            if (!IsLetterOrDigit(c))
                return false;
            nVersion = nVersion * 16 + (c <= L'9' ? c - L'0' : 0);
            ++m_nCount;
        }
        if (nVersion != 0x500)
            return false;
        m_nVersion = 0x500;
        SkipBlanks();
        return true;
    }

    static const wchar_t kOldSignature[] = L"REGEDIT";
    for (size_t i = 0; kOldSignature[i]; ++i)
    {
        if (Peek() != kOldSignature[i])
            return false;
        ++m_nCount;
    }
    m_nVersion = 0x310;
    if (Peek() == L'4')
    {
        m_nVersion = 0x400;
        ++m_nCount;
    }
    SkipBlanks();
    if (!IsLineEnd(Peek()))
        return false;
    SkipLine();
    return true;
}

void CRegFile::ParseBody()
{
    for (;;)
    {
        // A check stops at its first refusal, and at any line on a stop: it
        // writes nothing, so nothing is left half done.
        if (m_pCheckRule != NULL && (m_dwImportResult != ERROR_SUCCESS || StopRequested()))
            break;
        SkipBlanks();
        m_nStatementLine = m_nLine;
        int c = Peek();
        if (c < 0)
            break;
        if (c == L'\r' || c == L'\n')
        {
            SkipLine();
        }
        else if (c == L'[')
        {
            // An import stops only here, between two keys: the key it was
            // writing has all its values, and no later key is touched.
            if (StopRequested())
                break;
            ++m_nCount;
            m_currentKey.Close();
            m_nCheckKey = RegKeyRefused;
            ParseKeyLine();
        }
        else if (c == L'"' || c == L'@')
        {
            ++m_nCount;
            if (!HasCurrentKey())
            {
                // Its key failed, was deleted, or is a bare root.
                NoteImportFailure(ERROR_CANTOPEN);
                SkipLine();
                continue;
            }
            std::wstring strName;
            if (c == L'"' && !ParseQuoted(strName, kMaxValueNameChars))
            {
                RejectLine();
                continue;
            }
            ParseValueLine(strName);
        }
        else if (c == L';')
        {
            SkipLine();
        }
        else
        {
            RejectLine();
        }
    }
}

void CRegFile::ParseKeyLine()
{
    bool bDelete = false;
    if (Peek() == L'-')
    {
        bDelete = true;
        ++m_nCount;
    }
    m_strImportKey.Empty();
    std::wstring strLine;
    if (!ReadLine(strLine, kMaxKeyLineChars))
    {
        NoteImportFailure(ERROR_INVALID_DATA);
        return;
    }
    // Anything after the last "]" is ignored.
    size_t nClose = strLine.rfind(L']');
    if (nClose == std::wstring::npos)
    {
        NoteImportFailure(ERROR_INVALID_DATA);
        return;
    }
    // The registry would take the name only up to a zero, and no key this
    // program writes has a control character in its name: the check and the
    // import refuse such a line alike.
    for (size_t i = 0; i < nClose; ++i)
    {
        if (strLine[i] < 0x20 || strLine[i] == 0x7F)
        {
            NoteImportFailure(ERROR_INVALID_DATA);
            return;
        }
    }
    CString strPath(strLine.data(), (int)nClose);
    m_strImportKey = strPath;
    if (m_pCheckRule != NULL)
    {
        m_nCheckKey = bDelete ? RegKeyRefused : (*m_pCheckRule)(strPath);
        if (m_nCheckKey != RegKeyWithoutValues && m_nCheckKey != RegKeyWithValues)
        {
            m_nCheckKey = RegKeyRefused;
            NoteImportFailure(ERROR_ACCESS_DENIED);
        }
        return;
    }
    HKEY hKey = NULL;
    ::SetLastError(ERROR_SUCCESS);
    LONG nResult = OpenKeyByPath(&hKey, strPath, bDelete ? RegKeyPathDelete : RegKeyPathCreate, m_samImportView);
    if (nResult != ERROR_SUCCESS)
    {
        // The registry's own refusal behind ERROR_CANTOPEN, for the report.
        NoteImportFailure(nResult, ::GetLastError());
        return;
    }
    *m_currentKey.Receive() = hKey;
}

bool CRegFile::ReadLine(std::wstring& strLine, size_t nMaxChars)
{
    bool bFits = true;
    for (;;)
    {
        int c = Peek();
        if (IsLineEnd(c))
            break;
        if (strLine.size() < nMaxChars)
            strLine += (wchar_t)c;
        else
            bFits = false;
        ++m_nCount;
    }
    SkipLine();
    return bFits;
}

bool CRegFile::ParseQuoted(std::wstring& strText, size_t nMaxChars)
{
    // The opening quote is read; a line end before the closing one, a
    // backslash before anything but a quote or a backslash, or too long a
    // text rejects the line. Line ends are left for the caller to skip.
    for (;;)
    {
        int c = Peek();
        if (IsLineEnd(c))
            return false;
        ++m_nCount;
        if (c == L'"')
            return true;
        if (c == L'\\')
        {
            c = Peek();
            if (c != L'"' && c != L'\\')
                return false;
            ++m_nCount;
        }
        if (strText.size() >= nMaxChars)
            return false;
        strText += (wchar_t)c;
    }
}

bool CRegFile::ParseHexBytes(std::vector<BYTE>& data)
{
    for (;;)
    {
        SkipBlanks();
        if (Peek() == L'\\')
        {
            // A check may end within a long value too: it writes nothing.
            if (m_pCheckRule != NULL && StopRequested())
                return false;
            // A continuation: only blanks and a comment may follow on the line.
            ++m_nCount;
            SkipBlanks();
            if (Peek() == L';')
                SkipComment();
            int c = Peek();
            if (c != L'\r' && c != L'\n')
                return false;
            SkipLine();
            SkipBlanks();
        }
        int nHigh = HexValue(Peek());
        if (nHigh < 0)
            return true;
        ++m_nCount;
        int nValue = nHigh;
        int nLow = HexValue(Peek());
        if (nLow >= 0)
        {
            ++m_nCount;
            nValue = nValue * 16 + nLow;
        }
        if (data.size() >= kMaxDataBytes)
            return false;
        data.push_back((BYTE)nValue);
        SkipBlanks();
        if (Peek() != L',')
            return true;
        ++m_nCount;
    }
}

void CRegFile::ParseValueLine(const std::wstring& strName)
{
    SkipBlanks();
    if (Peek() != L'=')
    {
        RejectLine();
        return;
    }
    ++m_nCount;
    SkipBlanks();

    bool bDelete = false;
    DWORD dwType = REG_NONE;
    std::vector<BYTE> data;
    int c = Peek();
    if (c == L'"')
    {
        ++m_nCount;
        std::wstring strText;
        if (!ParseQuoted(strText, kMaxTextChars))
        {
            RejectLine();
            return;
        }
        dwType = REG_SZ;
        const BYTE* pText = reinterpret_cast<const BYTE*>(strText.c_str());
        data.assign(pText, pText + (strText.size() + 1) * sizeof(wchar_t));
    }
    else if (c == L'-')
    {
        ++m_nCount;
        bDelete = true;
    }
    else if (c == L'd')
    {
        for (const wchar_t* p = L"dword:"; *p; ++p)
        {
            if (Peek() != *p)
            {
                RejectLine();
                return;
            }
            ++m_nCount;
        }
        SkipBlanks();
        DWORD dwValue = 0;
        int nDigits = 0;
        for (int nDigit; (nDigit = HexValue(Peek())) >= 0; ++m_nCount)
        {
            if (++nDigits > 8)
            {
                RejectLine();
                return;
            }
            dwValue = dwValue * 16 + (DWORD)nDigit;
        }
        if (nDigits == 0)
        {
            RejectLine();
            return;
        }
        dwType = REG_DWORD;
        data.assign(reinterpret_cast<const BYTE*>(&dwValue), reinterpret_cast<const BYTE*>(&dwValue) + 4);
    }
    else if (c == L'h')
    {
        for (const wchar_t* p = L"hex"; *p; ++p)
        {
            if (Peek() != *p)
            {
                RejectLine();
                return;
            }
            ++m_nCount;
        }
        dwType = REG_BINARY;
        if (Peek() == L'(')
        {
            ++m_nCount;
            dwType = 0;
            int nDigits = 0;
            for (int nDigit; (nDigit = HexValue(Peek())) >= 0; ++m_nCount)
            {
                if (++nDigits > 8)
                {
                    RejectLine();
                    return;
                }
                dwType = dwType * 16 + (DWORD)nDigit;
            }
            if (nDigits == 0 || Peek() != L')')
            {
                RejectLine();
                return;
            }
            ++m_nCount;
        }
        if (Peek() != L':')
        {
            RejectLine();
            return;
        }
        ++m_nCount;
        if (!ParseHexBytes(data))
        {
            RejectLine();
            return;
        }
    }
    else
    {
        RejectLine();
        return;
    }

    // Only blanks and a comment may follow the data.
    SkipBlanks();
    if (Peek() == L';')
        SkipComment();
    if (!IsLineEnd(Peek()))
    {
        RejectLine();
        return;
    }
    SkipLine();

    if (m_pCheckRule != NULL)
    {
        if (bDelete || m_nCheckKey != RegKeyWithValues)
            NoteImportFailure(ERROR_ACCESS_DENIED);
        else if (m_pCheckValues != NULL)
            (*m_pCheckValues)(CString(strName.c_str()), dwType, data);
        return;
    }
    LONG nResult;
    if (bDelete)
    {
        nResult = RegDeleteValueW(m_currentKey, strName.c_str());
        if (nResult == ERROR_FILE_NOT_FOUND)
            nResult = ERROR_SUCCESS;
    }
    else if (m_nVersion == 0x400 && (dwType == REG_EXPAND_SZ || dwType == REG_MULTI_SZ))
    {
        // Such files hold these two types as ANSI bytes.
        int nBytes = WideCharToMultiByte(m_nCodePage, 0, strName.c_str(), -1, NULL, 0, NULL, NULL);
        std::vector<char> name(std::max(nBytes, 1));
        WideCharToMultiByte(m_nCodePage, 0, strName.c_str(), -1, name.data(), (int)name.size(), NULL, NULL);
        nResult = RegSetValueExA(m_currentKey, name.data(), 0, dwType, data.data(), (DWORD)data.size());
    }
    else
    {
        // The registry counts one more character for a text whose last one
        // is not zero while the next one in memory is: a non-zero pair after
        // the data keeps every value as long as the file gives it.
        DWORD dwSize = (DWORD)data.size();
        data.push_back(0xFF);
        data.push_back(0xFF);
        nResult = RegSetValueExW(m_currentKey, strName.c_str(), 0, dwType, data.data(), dwSize);
    }
    if (nResult != ERROR_SUCCESS)
        NoteImportFailure(nResult);
}

void CRegFile::ParseOldFormat()
{
    CRegKeyHandle classes;
    LONG nResult = RegOpenKeyExW(HKEY_CLASSES_ROOT, NULL, 0, KEY_SET_VALUE | m_samImportView, classes.Receive());
    if (nResult != ERROR_SUCCESS)
    {
        NoteImportFailure(nResult);
        return;
    }
    for (;;)
    {
        // Each line sets one value whole: a stop is seen between two.
        if (Peek() < 0 || StopRequested())
            break;
        std::wstring strLine;
        if (!ReadLine(strLine, kMaxOldSubKeyChars + kMaxOldTextChars + 64))
        {
            NoteImportFailure(ERROR_INVALID_DATA);
            continue;
        }
        if (strLine.empty())
            continue;

        size_t nPos = 0;
        if (strLine.compare(0, 18, L"HKEY_CLASSES_ROOT\\") == 0)
            nPos = 18;
        else if (strLine.compare(0, 10, L"\\.classes\\") == 0)
            nPos = 10;
        else
        {
            NoteImportFailure(ERROR_INVALID_DATA);
            continue;
        }
        size_t nEnd = strLine.find(L' ', nPos);
        if (nEnd == std::wstring::npos)
            nEnd = strLine.size();
        std::wstring strSubKey = strLine.substr(nPos, nEnd - nPos);
        nPos = nEnd;
        while (nPos < strLine.size() && IsBlank(strLine[nPos]))
            ++nPos;
        if (nPos < strLine.size() && strLine[nPos] == L'=')
        {
            ++nPos;
            if (nPos < strLine.size() && strLine[nPos] == L' ')
                ++nPos;
        }
        std::wstring strText = strLine.substr(nPos);
        if (strSubKey.size() > kMaxOldSubKeyChars || strText.size() > kMaxOldTextChars)
        {
            NoteImportFailure(ERROR_INVALID_DATA);
            continue;
        }
        nResult = RegSetValueW(classes, strSubKey.c_str(), REG_SZ, strText.c_str(), (DWORD)(strText.size() * sizeof(wchar_t)));
        if (nResult != ERROR_SUCCESS)
            NoteImportFailure(nResult);
    }
    RegFlushKey(classes);
}
