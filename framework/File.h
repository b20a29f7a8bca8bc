#pragma once
// Files over Win32 handles. Nothing here throws: Open returns FALSE (and
// fills the optional CFileException), Read returns the bytes read (0 at the
// end or on failure), Write returns TRUE only when every byte was written.
#include <string>
#include "framework/AfxDefs.h"
#include "framework/String.h"
#include "framework/Time.h"

// Why an Open failed; filled, never thrown.
class CFileException
{
public:
    enum { none = 0, genericException, fileNotFound, badPath, tooManyOpenFiles, accessDenied,
           invalidFile, removeCurrentDir, directoryFull, badSeek, hardIO, sharingViolation,
           lockViolation, diskFull, endOfFile };

    CFileException() : m_cause(none), m_lOsError(0) {}
    static int PASCAL OsErrorToCause(LONG lOsError);

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};

struct CFileStatus
{
    CTime m_ctime;      // creation
    CTime m_mtime;      // last write
    CTime m_atime;      // last access
    ULONGLONG m_size;
    BYTE m_attribute;   // low byte of the file attributes
    WCHAR m_szFullName[MAX_PATH];
};

class CFile
{
public:
    enum OpenFlags {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
        osNoBuffer = 0x10000,
        osWriteThrough = 0x20000,
        osRandomAccess = 0x40000,
        osSequentialScan = 0x80000,
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };
    static constexpr ULONGLONG kSeekFailed = ~0ULL;
    static inline const HANDLE hFileNull = INVALID_HANDLE_VALUE;

    CFile() : m_hFile(INVALID_HANDLE_VALUE), m_bCloseOnDelete(FALSE) {}
    explicit CFile(HANDLE hFile);  // not owned: Close leaves it open
    CFile(LPCWSTR lpszFileName, UINT nOpenFlags);  // check m_hFile
    virtual ~CFile();

    HANDLE m_hFile;
    operator HANDLE() const { return m_hFile; }

    virtual BOOL Open(LPCWSTR lpszFileName, UINT nOpenFlags, CFileException* pError = NULL);
    virtual UINT Read(void* lpBuf, UINT nCount);
    virtual BOOL Write(const void* lpBuf, UINT nCount);
    // The new position, or kSeekFailed.
    virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    virtual ULONGLONG GetPosition() const;
    virtual ULONGLONG GetLength() const;
    virtual BOOL SetLength(ULONGLONG dwNewLen);
    virtual BOOL Flush();
    virtual void Close();
    virtual void Abort() { Close(); }
    BOOL IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }

    virtual CString GetFileName() const;
    virtual CString GetFileTitle() const;
    virtual CString GetFilePath() const { return m_strFileName; }
    virtual void SetFilePath(LPCWSTR lpszNewName) { m_strFileName = lpszNewName; }

    BOOL GetStatus(CFileStatus& rStatus) const;
    static BOOL PASCAL GetStatus(LPCWSTR lpszFileName, CFileStatus& rStatus);
    static BOOL PASCAL Remove(LPCWSTR lpszFileName);
    static BOOL PASCAL Rename(LPCWSTR lpszOldName, LPCWSTR lpszNewName);

protected:
    BOOL m_bCloseOnDelete;
    CString m_strFileName;

private:
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
};

// Line-oriented access. Lines end at "\n"; a "\r" before it is dropped.
// Text is the ANSI code page, as files of this kind are written; use
// CTextFile-style classes for UTF-16 files.
class CStdioFile : public CFile
{
public:
    CStdioFile() {}
    CStdioFile(LPCWSTR lpszFileName, UINT nOpenFlags) { Open(lpszFileName, nOpenFlags); }

    BOOL Open(LPCWSTR lpszFileName, UINT nOpenFlags, CFileException* pError = NULL) override;
    UINT Read(void* lpBuf, UINT nCount) override;
    BOOL Write(const void* lpBuf, UINT nCount) override;
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
    ULONGLONG GetPosition() const override;
    void Close() override;

    // FALSE at the end of the file (nothing read).
    virtual BOOL ReadString(CString& rString);
    // Reads at most nMax - 1 characters of one line, keeping its "\n";
    // NULL at the end of the file.
    virtual LPWSTR ReadString(LPWSTR lpsz, UINT nMax);
    // In text mode "\n" is written as "\r\n".
    virtual BOOL WriteString(LPCWSTR lpsz);

protected:
    // The raw read under the line buffer; internet files replace it.
    virtual UINT ReadDirect(void* lpBuf, UINT nCount) { return CFile::Read(lpBuf, nCount); }
    BOOL FillBuffer();
    void DropBuffer();

    std::string m_strPending;  // read ahead, not yet handed out
    BOOL m_bTextMode = FALSE;
};
