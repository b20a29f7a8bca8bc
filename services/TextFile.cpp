#include "services/TextFile.h"
#include <string>
#include <vector>

namespace {

struct ByteOrderMark
{
    TextFileEncoding nEncoding;
    unsigned char bytes[4];
    size_t nLength;
};

// Tested in this order: the UTF-32LE mark also starts with the UTF-16LE one.
const ByteOrderMark kMarks[] = {
    { TEXTFILE_UTF32LE, { 0xFF, 0xFE, 0x00, 0x00 }, 4 },
    { TEXTFILE_UTF32BE, { 0x00, 0x00, 0xFE, 0xFF }, 4 },
    { TEXTFILE_UTF8, { 0xEF, 0xBB, 0xBF, 0 }, 3 },
    { TEXTFILE_UTF16LE, { 0xFF, 0xFE, 0, 0 }, 2 },
    { TEXTFILE_UTF16BE, { 0xFE, 0xFF, 0, 0 }, 2 },
};

const ByteOrderMark* FindMark(TextFileEncoding nEncoding)
{
    for (const ByteOrderMark& mark : kMarks)
        if (mark.nEncoding == nEncoding)
            return &mark;
    return nullptr;
}

CString Widen(LPCSTR psz)
{
    return psz ? CString(psz) : CString();
}

} // namespace

CTextFile::CTextFile(LPCWSTR pszFileName, LPCWSTR pszMode)
    : m_pFile(nullptr), m_nEncoding(TEXTFILE_OEM), m_bOpen(FALSE), m_bReadClean(TRUE)
{
    Open(pszFileName, pszMode);
}

CTextFile::CTextFile(LPCSTR pszFileName, LPCSTR pszMode)
    : m_pFile(nullptr), m_nEncoding(TEXTFILE_OEM), m_bOpen(FALSE), m_bReadClean(TRUE)
{
    CString strName = Widen(pszFileName), strMode = Widen(pszMode);
    Open(strName, strMode);
}

CTextFile::~CTextFile()
{
    Close();
}

TextFileEncoding CTextFile::GuessUnmarkedEncoding(const unsigned char* pBytes, size_t nSize)
{
    // 8-bit text holds no zero bytes; UTF-16 of mostly Latin text has one in
    // every other byte: the high byte, second in little-endian units.
    size_t nEvenZeros = 0, nOddZeros = 0;
    for (size_t i = 0; i < nSize; i++)
    {
        if (pBytes[i] == 0)
            ++((i & 1) ? nOddZeros : nEvenZeros);
    }
    size_t nUnits = nSize / 2;
    if (nUnits == 0 || nOddZeros + nEvenZeros == 0)
        return TEXTFILE_OEM;
    // A quarter of the units is far above what a stray zero gives, and low
    // enough for text with a share of non-Latin characters.
    if (nOddZeros > nEvenZeros && nOddZeros * 4 >= nUnits)
        return TEXTFILE_UTF16LE;
    if (nEvenZeros > nOddZeros && nEvenZeros * 4 >= nUnits)
        return TEXTFILE_UTF16BE;
    return TEXTFILE_OEM;
}

TextFileEncoding CTextFile::DetectEncoding(LPCWSTR pszFileName, size_t* pnMarkLength)
{
    if (pnMarkLength)
        *pnMarkLength = 0;
    if (!pszFileName)
        return TEXTFILE_OEM;
    FILE* pFile = _wfopen(pszFileName, L"rb");
    if (!pFile)
        return TEXTFILE_OEM;
    unsigned char bytes[4096] = {};
    size_t nRead = fread(bytes, 1, sizeof(bytes), pFile);
    fclose(pFile);
    if (nRead < 2)
        return TEXTFILE_OEM;
    for (const ByteOrderMark& mark : kMarks)
    {
        if (nRead >= mark.nLength && memcmp(bytes, mark.bytes, mark.nLength) == 0)
        {
            if (pnMarkLength)
                *pnMarkLength = mark.nLength;
            return mark.nEncoding;
        }
    }
    return GuessUnmarkedEncoding(bytes, nRead);
}

void CTextFile::Open(LPCWSTR pszFileName, LPCWSTR pszMode)
{
    if (!pszFileName || !pszMode)
        return;
    size_t nMarkLength = 0;
    m_nEncoding = DetectEncoding(pszFileName, &nMarkLength);

    // Text mode would turn 0x1A bytes into an end of file and pair bytes up as
    // CR LF inside multi-byte units, so marked files are always read as binary.
    std::wstring strMode = pszMode;
    if (m_nEncoding != TEXTFILE_OEM && strMode.find(L'b') == std::wstring::npos)
    {
        size_t nText = strMode.find(L't');
        if (nText != std::wstring::npos)
            strMode[nText] = L'b';
        else
            strMode.insert(strMode.find(L'+') == std::wstring::npos ? strMode.size() : strMode.find(L'+'), 1, L'b');
    }
    m_pFile = _wfopen(pszFileName, strMode.c_str());
    if (!m_pFile)
        return;
    m_bOpen = TRUE;

    // An unmarked file stays unmarked.
    const ByteOrderMark* pMark = nMarkLength > 0 ? FindMark(m_nEncoding) : nullptr;
    if (!pMark)
        return;
    if (wcschr(pszMode, L'w'))
        WriteBytes(pMark->bytes, pMark->nLength);
    else if (wcschr(pszMode, L'r'))
        fseek(m_pFile, (long)pMark->nLength, SEEK_SET);
}

void CTextFile::Close()
{
    if (m_pFile)
        fclose(m_pFile);
    m_pFile = nullptr;
    m_bOpen = FALSE;
}

BOOL CTextFile::ReadLine(CString& strLine)
{
    strLine.Empty();
    if (!m_bOpen)
        return FALSE;
    switch (m_nEncoding)
    {
    case TEXTFILE_OEM:
        return ReadByteLine(strLine, CP_OEMCP);
    case TEXTFILE_UTF8:
        return ReadByteLine(strLine, CP_UTF8);
    case TEXTFILE_UTF16LE:
        return ReadUnitLine(strLine, FALSE);
    case TEXTFILE_UTF16BE:
        return ReadUnitLine(strLine, TRUE);
    default:
        // UTF-32 files deliver no lines: what they hold is not read.
        if (fgetc(m_pFile) != EOF)
            m_bReadClean = FALSE;
        return FALSE;
    }
}

BOOL CTextFile::ReadByteLine(CString& strLine, UINT nCodePage)
{
    std::string bytes;
    BOOL bEnded = FALSE;
    int ch;
    while ((ch = fgetc(m_pFile)) != EOF)
    {
        if (ch == '\n')
        {
            bEnded = TRUE;
            break;
        }
        bytes += (char)ch;
    }
    if (!bytes.empty())
    {
        // A zero byte is no character of 8-bit text and would cut the line.
        if (bytes.find('\0') != std::string::npos)
            m_bReadClean = FALSE;
        DWORD dwFlags = nCodePage == CP_UTF8 ? 0 : MB_PRECOMPOSED;
        if (nCodePage == CP_UTF8 &&
            MultiByteToWideChar(nCodePage, MB_ERR_INVALID_CHARS, bytes.data(), (int)bytes.size(), nullptr, 0) <= 0)
            m_bReadClean = FALSE;
        int nChars = MultiByteToWideChar(nCodePage, dwFlags, bytes.data(), (int)bytes.size(), nullptr, 0);
        if (nChars > 0)
        {
            std::wstring text((size_t)nChars, L'\0');
            MultiByteToWideChar(nCodePage, dwFlags, bytes.data(), (int)bytes.size(), &text[0], nChars);
            strLine = CString(text);
        }
        else
            m_bReadClean = FALSE;
    }
    return bEnded;
}

BOOL CTextFile::ReadUnitLine(CString& strLine, BOOL bSwap)
{
    std::wstring text;
    unsigned char pair[2];
    size_t nRead;
    while ((nRead = fread(pair, 1, 2, m_pFile)) == 2)
    {
        wchar_t ch = bSwap ? (wchar_t)((pair[0] << 8) | pair[1]) : (wchar_t)((pair[1] << 8) | pair[0]);
        if (ch == L'\n')
        {
            strLine = CString(text);
            return TRUE;
        }
        // A zero unit would cut the line short; U+FFFF is no character, but
        // no end of the file either: it stays in the line, reading goes on.
        if (ch == L'\0' || ch == 0xFFFF)
            m_bReadClean = FALSE;
        text += ch;
    }
    if (nRead == 1)
        m_bReadClean = FALSE;
    strLine = CString(text);
    return FALSE;
}

BOOL CTextFile::WriteBytes(const void* pData, size_t nSize)
{
    return nSize == 0 || fwrite(pData, 1, nSize, m_pFile) == nSize;
}

BOOL CTextFile::WriteLine(LPCWSTR pszText)
{
    if (!m_bOpen)
        return FALSE;
    std::wstring text = pszText ? pszText : L"";
    switch (m_nEncoding)
    {
    case TEXTFILE_OEM:
    case TEXTFILE_UTF8:
    {
        UINT nCodePage = m_nEncoding == TEXTFILE_UTF8 ? CP_UTF8 : CP_ACP;
        std::string bytes;
        if (!text.empty())
        {
            int nBytes = WideCharToMultiByte(nCodePage, 0, text.data(), (int)text.size(), nullptr, 0, nullptr, nullptr);
            if (nBytes <= 0)
                return FALSE;
            bytes.resize((size_t)nBytes);
            WideCharToMultiByte(nCodePage, 0, text.data(), (int)text.size(), &bytes[0], nBytes, nullptr, nullptr);
        }
        bytes += "\r\n";
        return WriteBytes(bytes.data(), bytes.size());
    }
    case TEXTFILE_UTF16LE:
    case TEXTFILE_UTF16BE:
    {
        text += L"\r\n";
        std::vector<unsigned char> bytes;
        bytes.reserve(text.size() * 2);
        for (wchar_t ch : text)
        {
            unsigned char lo = (unsigned char)(ch & 0xFF), hi = (unsigned char)(ch >> 8);
            if (m_nEncoding == TEXTFILE_UTF16LE)
                bytes.insert(bytes.end(), { lo, hi });
            else
                bytes.insert(bytes.end(), { hi, lo });
        }
        return WriteBytes(bytes.data(), bytes.size());
    }
    default:
        return FALSE;
    }
}

BOOL CTextFile::WriteLine(LPCSTR pszText)
{
    return WriteLine((LPCWSTR)Widen(pszText));
}
