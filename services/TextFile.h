#pragma once
// Line-oriented text files in whatever encoding their byte-order mark names.
#include "framework/Afx.h"
#include <cstdio>

enum TextFileEncoding
{
    TEXTFILE_OEM = 0,      // 8-bit text in the OEM code page, no mark
    TEXTFILE_UTF16LE = 1,
    TEXTFILE_UTF16BE = 2,
    TEXTFILE_UTF32LE = 3,
    TEXTFILE_UTF32BE = 4,
    TEXTFILE_UTF8 = 5,
};

class CTextFile
{
public:
    // pszMode as for _wfopen; "r" skips the mark, "w" writes the mark of the
    // encoding the file had before it was opened.
    CTextFile(LPCWSTR pszFileName, LPCWSTR pszMode);
    CTextFile(LPCSTR pszFileName, LPCSTR pszMode);
    ~CTextFile();

    BOOL IsOpen() const { return m_bOpen; }
    TextFileEncoding GetEncoding() const { return m_nEncoding; }
    // FALSE once a line could not be read as text of the file's encoding: a
    // zero character, a U+FFFF unit in UTF-16, an invalid byte sequence, a
    // half unit at the end, or a UTF-32 file, which delivers no lines. A
    // U+FFFF unit stays in its line and the lines after it are read. A
    // caller must not write back what it read from such a file.
    BOOL IsReadClean() const { return m_bReadClean; }

    // TRUE for a line ended by a line feed (the feed is dropped, a carriage
    // return before it stays); FALSE at the end, with the unended rest in strLine.
    BOOL ReadLine(CString& strLine);
    // Writes the text in the file's encoding followed by CR LF.
    BOOL WriteLine(LPCWSTR pszText);
    BOOL WriteLine(LPCSTR pszText);
    void Close();

    // From the byte-order mark; without one, UTF-16 is told from 8-bit text
    // by its zero bytes, as editors that save UTF-16 without a mark expect.
    // pnMarkLength (optional) gets the length of the mark found, 0 for none.
    static TextFileEncoding DetectEncoding(LPCWSTR pszFileName, size_t* pnMarkLength = nullptr);
    // The unmarked guess alone, over the first bytes of a file.
    static TextFileEncoding GuessUnmarkedEncoding(const unsigned char* pBytes, size_t nSize);

    CTextFile(const CTextFile&) = delete;
    CTextFile& operator=(const CTextFile&) = delete;

private:
    void Open(LPCWSTR pszFileName, LPCWSTR pszMode);
    BOOL ReadByteLine(CString& strLine, UINT nCodePage);
    BOOL ReadUnitLine(CString& strLine, BOOL bSwap);
    BOOL WriteBytes(const void* pData, size_t nSize);

    FILE* m_pFile;
    TextFileEncoding m_nEncoding;
    BOOL m_bOpen;
    BOOL m_bReadClean;
};
